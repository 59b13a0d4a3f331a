#include "legacy_air/AirEdrReport.h"

namespace {
constexpr int Records = 18;
constexpr int RecordSize = 12;
constexpr int FirstRecord = 24;
constexpr int Column = 11;

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
                      QStringLiteral("Min. T air before start, °C      "),
                      QStringLiteral("Total starts count           "),
                      QStringLiteral("Ingnitions count                  "),
                      QStringLiteral("Ingnition faults count            "),
                      QStringLiteral("Total operation time, D-HH:MM:SS   "),
                      QStringLiteral("Interrupts count   ")};
    for (int k = 1; k <= Records; ++k)
        lines[0] += QString::number(k).rightJustified(Column, QLatin1Char(' '));
    auto value = [&](char kind, int offset, int width) { return FormatEdrValue(kind, ImageBE(image, offset, width)); };
    if (showsFiCalibration)
        lines[7] += value('N', 0, 1);
    lines[8] += value('N', 3, 1);
    lines[9] += value('N', 4, 4);
    lines[10] += value('N', 8, 4);
    lines[11] += value('N', 12, 4);
    lines[12] += value('T', 16, 4);
    lines[13] += value('N', 20, 4);
    for (int k = 0; k < Records; ++k) {
        const int at = FirstRecord + RecordSize * k;
        auto cell = [&](char kind, int offset, int width) {
            return value(kind, at + offset, width).rightJustified(Column, QLatin1Char(' '));
        };
        lines[1] += cell('N', 0, 1);
        lines[2] += cell('N', 1, 1);
        lines[3] += cell('T', 2, 4);
        lines[4] += cell('T', 6, 4);
        lines[5] += cell('N', 10, 1);
        lines[6] += cell('N', 11, 1);
    }
    lines.prepend(QString());
    return lines;
}
