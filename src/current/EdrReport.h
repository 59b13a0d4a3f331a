#pragma once
#include "product/EdrSummary.h"
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

// A counter of a report's header: its label (without the colon), where its number sits in the image
// and how the report shows it. The same table makes the report's lines and the summary's counters.
enum class TEdrValue { Count, Hours, Seconds };
struct TEdrCounterField {
    QString Label;
    int Offset = 0;
    int Width = 1;
    TEdrValue Kind = TEdrValue::Count;
};
// "Label: value", one line a counter, in the table's order.
QStringList EdrCounterLines(const TEepromImage &image, const QList<TEdrCounterField> &fields);
QList<TEdrCounter> EdrCounters(const TEepromImage &image, const QList<TEdrCounterField> &fields);

// The counters of the liquid heater's and the air heaters' reports, which differ only in where they
// sit: ignition attempts and the three attempt outcomes from attemptsAt (the last of withFaultsWidth
// bytes), then power resets at resetsAt followed by the operating times and the start counters.
QList<TEdrCounterField> PowerLevelCounters(int attemptsAt, int withFaultsWidth, int resetsAt);

// Where a report's fault records sit: the first one's index, their length and number, and within a
// record the fault code, the attempts count and the operating time (of TimeWidth bytes).
struct TEdrRecordLayout {
    int First = 0;
    int Length = 0;
    int Count = 0;
    int TimeWidth = 4;
    int Start(int record) const { return First + Length * record; }
    QList<int> Starts() const;
};
constexpr int EdrRecordCodeAt = 0;
constexpr int EdrRecordAttemptsAt = 1;
constexpr int EdrRecordTimeAt = 4;
// The records that hold a fault (code not 0), named by the model's fault names.
QList<TEdrFault> EdrFaults(const TEepromImage &image, const TEdrRecordLayout &layout,
                           const std::function<QString(quint8 code)> &nameOf);

// The report of the liquid heater and of the new-revision air heater: header lines, an empty line,
// then the six fault records side by side.
QStringList HeaterEdrReport(const TEepromImage &image);
// Its counters and fault records as values.
TEdrSummary HeaterEdrSummary(const TEepromImage &image);
// Where its fault records sit: six of 29 bytes, one after another behind the number of the last.
TEdrRecordLayout HeaterEdrRecords();
int HeaterEdrRecordStart(int record);

// One line of a fault-record table: the label, then one cell per record, the cell given the image
// index at which its record starts.
QString EdrTableLine(const QString &label, const QList<int> &recordStarts, const std::function<QString(int b)> &cell);
// A number right-aligned in 7 characters and a space; a text likewise.
QString EdrColumn(qint64 value);
QString EdrTextColumn(const QString &text);

// The report of the air heater "Zephal-1": its header lines, then seven 25-byte fault records.
QStringList Zephal1EdrReport(const TEepromImage &image);
TEdrSummary Zephal1EdrSummary(const TEepromImage &image);
// Its fault names: the family's, with its own name for code 29.
QString Zephal1FaultName(quint8 code);
// The report of the pre-heater "Corva-Mini": its header lines, 44 17-byte fault records, and the
// printable text the heater keeps at the end of its EEPROM.
QStringList CorvaMiniEdrReport(const TEepromImage &image);
TEdrSummary CorvaMiniEdrSummary(const TEepromImage &image);
