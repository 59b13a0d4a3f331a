#pragma once
#include <QString>
#include <QStringList>
#include <array>

// The EEPROM image of a current-family heater and the texts of its EDR report. Numbers in the image
// are unsigned and big-endian.
using TEepromImage = std::array<quint8, 1024>;

quint32 ImageBE(const TEepromImage &image, int index, int width);
// A number of seconds at image[index..index+3] as "hhhhhh hours.(ddd-hh:mm.ss)", or "---" for 0.
QString EdrHours(const TEepromImage &image, int index);
QString EdrHoursText(quint32 seconds);

// The report of the liquid heater and of the new-revision air heater: header lines, an empty line,
// then the six fault records side by side.
QStringList HeaterEdrReport(const TEepromImage &image);
// Where fault record r (0..5) starts in that image: the 29-byte records follow the number of the last
// record one after another.
int HeaterEdrRecordStart(int record);
