#include "legacy_air/AirEdrReport.h"
#include "legacy_air/AirProduct.h"
#include <iterator>

namespace {
constexpr int Records = 18;
constexpr int RecordSize = 12;
constexpr int FirstRecord = 24;
constexpr int Column = 11;
constexpr int WorkAt = 6;
constexpr int FaultCodeAt = 10;
constexpr int FaultCountAt = 11;

// The summary counters at the report's end: the label as the report pads it, where the value sits,
// and 'N' for a count or 'T' for seconds.
struct TCounterField {
    const char *Label;
    int Offset;
    char Kind;
};
constexpr TCounterField CounterFields[] = {{"Total starts count           ", 4, 'N'},
                                           {"Ingnitions count                  ", 8, 'N'},
                                           {"Ingnition faults count            ", 12, 'N'},
                                           {"Total operation time, D-HH:MM:SS   ", 16, 'T'},
                                           {"Interrupts count   ", 20, 'N'}};
constexpr int FirstCounterLine = 9;

// The label without its padding and the unit of its times: the counter's name.
QString CounterName(const TCounterField &field)
{
    const QString label = QString::fromLatin1(field.Label).trimmed();
    return label.left(label.indexOf(QLatin1Char(',')));
}

quint32 ImageBE(const QByteArray &image, int offset, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | (offset + i < image.size() ? quint8(image[offset + i]) : 0u);
    return value;
}

QString TwoDigits(quint32 value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}
} // namespace

QString FormatEdrValue(char kind, quint32 value)
{
    if (kind != 'T')
        return QString::number(value);
    return QString::number(value / 86400) + QLatin1Char('-') + TwoDigits(value % 86400 / 3600) + QLatin1Char(':')
           + TwoDigits(value % 3600 / 60) + QLatin1Char(':') + TwoDigits(value % 60);
}

QStringList AirEdrReport(const QByteArray &image, bool showsFiCalibration)
{
    QStringList lines{QString(33, QLatin1Char(' ')),
                      QStringLiteral("T air before start, °C         "),
                      QStringLiteral("Ignition attempts                  "),
                      QStringLiteral("Worktime before +15°C, D-HH:MM:SS       "),
                      QStringLiteral("Worktime, D-HH:MM:SS         "),
                      QStringLiteral("FaultCode                "),
                      QStringLiteral("Faults count                "),
                      showsFiCalibration ? QStringLiteral("FI calibration value               ") : QString(),
                      QStringLiteral("Min. T air before start, °C      ")};
    for (const TCounterField &field : CounterFields)
        lines << QString::fromLatin1(field.Label);
    for (int k = 1; k <= Records; ++k)
        lines[0] += QString::number(k).rightJustified(Column, QLatin1Char(' '));
    auto value = [&](char kind, int offset, int width) { return FormatEdrValue(kind, ImageBE(image, offset, width)); };
    if (showsFiCalibration)
        lines[7] += value('N', 0, 1);
    lines[8] += value('N', 3, 1);
    for (int k = 0; k < int(std::size(CounterFields)); ++k)
        lines[FirstCounterLine + k] += value(CounterFields[k].Kind, CounterFields[k].Offset, 4);
    for (int k = 0; k < Records; ++k) {
        const int at = FirstRecord + RecordSize * k;
        auto cell = [&](char kind, int offset, int width) {
            return value(kind, at + offset, width).rightJustified(Column, QLatin1Char(' '));
        };
        lines[1] += cell('N', 0, 1);
        lines[2] += cell('N', 1, 1);
        lines[3] += cell('T', 2, 4);
        lines[4] += cell('T', WorkAt, 4);
        lines[5] += cell('N', FaultCodeAt, 1);
        lines[6] += cell('N', FaultCountAt, 1);
    }
    lines.prepend(QString());
    return lines;
}

TEdrSummary AirEdrSummary(const QByteArray &image)
{
    TEdrSummary summary;
    for (const TCounterField &field : CounterFields)
        summary.Counters << TEdrCounter{CounterName(field),
                                        field.Kind == 'T' ? QStringLiteral("s") : QString(),
                                        ImageBE(image, field.Offset, 4)};
    for (int k = 0; k < Records; ++k) {
        const int at = FirstRecord + RecordSize * k;
        const quint8 code = quint8(ImageBE(image, at + FaultCodeAt, 1));
        if (code != 0)
            summary.Faults << TEdrFault{k + 1, code, TAirProduct::FaultName(code), qint64(ImageBE(image, at + WorkAt, 4)),
                                        int(ImageBE(image, at + FaultCountAt, 1))};
    }
    return summary;
}
