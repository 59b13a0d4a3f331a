#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The EEPROM image a model's simulated heater keeps, as its EDR read stores it, and that model's
// EDR report of an image: the two sides a summary of the image must agree with.
QByteArray SimulatedEdrImage(const QString &model);
QStringList EdrReportOf(const QString &model, const QByteArray &image);
// Whether the model keeps its numbers least significant byte first.
bool EdrLittleEndian(const QString &model);
// Writes value into image[at..at+width-1] in the model's byte order.
void PokeEdrImage(QByteArray &image, const QString &model, int at, quint32 value, int width);
