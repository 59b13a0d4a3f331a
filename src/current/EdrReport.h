#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

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

// One line of a fault-record table: the label, then one cell per record, the cell given the image
// index at which its record starts.
QString EdrTableLine(const QString &label, const QList<int> &recordStarts, const std::function<QString(int b)> &cell);
// A number right-aligned in 7 characters and a space; a text likewise.
QString EdrColumn(qint64 value);
QString EdrTextColumn(const QString &text);

// The report of the air heater "Zephal-1": its header lines, then seven 25-byte fault records.
QStringList Zephal1EdrReport(const TEepromImage &image);
// The report of the pre-heater "Corva-Mini": its header lines, 44 17-byte fault records, and the
// printable text the heater keeps at the end of its EEPROM.
QStringList CorvaMiniEdrReport(const TEepromImage &image);
