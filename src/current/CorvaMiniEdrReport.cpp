// The EDR report of the pre-heater "Corva-Mini": its counters and plain-second times, 44 fault
// records of 17 bytes from image index 48 in four-character columns, and the text the heater keeps
// at image 800..1023.
#include "current/CorvaMini.h"
#include "current/EdrReport.h"
#include <QStringDecoder>

namespace {

const TEdrRecordLayout Records{.First = 48, .Length = 17, .Count = 44, .TimeWidth = 2};
constexpr int TextStart = 800;

// Its times are plain seconds, at three power modes.
QList<TEdrCounterField> Counters()
{
    return {
        {QStringLiteral("Ignition attempts"), 8, 2},
        {QStringLiteral("Attempts reached the stage W"), 10, 2},
        {QStringLiteral("Attempts completed without faults"), 12, 2},
        {QStringLiteral("Attempts completed with faults"), 14, 2},
        {QStringLiteral("Power resets while working"), 17, 1},
        {QStringLiteral("Total operation time"), 18, 4, TEdrValue::Seconds},
        {QStringLiteral("Operation time at full mode"), 22, 4, TEdrValue::Seconds},
        {QStringLiteral("Operation time at middle mode"), 26, 4, TEdrValue::Seconds},
        {QStringLiteral("Operation time at low mode"), 30, 4, TEdrValue::Seconds},
        {QStringLiteral("Starts at the first attempt"), 34, 1},
        {QStringLiteral("Starts at the second attempt"), 35, 1},
        {QStringLiteral("The number of failed launches"), 36, 1},
    };
}

QString Cell(qint64 value)
{
    return QString::asprintf("%4lld", static_cast<long long>(value));
}

// Tenths of a volt to whole volts, a half going to the even neighbour.
qint64 WholeVolts(quint32 tenths)
{
    qint64 volts = tenths / 10;
    const quint32 rest = tenths % 10;
    if (rest > 5 || (rest == 5 && volts % 2 == 1))
        ++volts;
    return volts;
}

} // namespace

QStringList CorvaMiniEdrReport(const TEepromImage &image)
{
    auto be = [&](int index, int width) { return ImageBE(image, index, width); };
    auto byte = [&](int index) { return quint32(be(index, 1)); };
    QStringList lines;
    lines << QStringLiteral("EDR version: ") + QString::number(byte(3));
    lines << QStringLiteral("Number: ") + QString::number(be(5, 3));
    lines << EdrCounterLines(image, Counters());
    lines << QStringLiteral("Number of the last record of failure: ") + QString::number(byte(47));
    lines << QString();

    const QList<int> starts = Records.Starts();
    auto row = [&](const QString &label, const std::function<QString(int b)> &cell) {
        lines << EdrTableLine(label, starts, cell);
    };
    row(QStringLiteral("                              N:"),
        [&](int b) { return Cell((b - Records.First) / Records.Length); });
    row(QStringLiteral("FaultCode                       "), [&](int b) { return Cell(byte(b + EdrRecordCodeAt)); });
    row(QStringLiteral("Attempts count                  "), [&](int b) { return Cell(byte(b + EdrRecordAttemptsAt)); });
    row(QStringLiteral("Stage                           "), [&](int b) { return Cell(byte(b + 2)); });
    row(QStringLiteral("Mode                            "), [&](int b) { return Cell(byte(b + 3)); });
    row(QStringLiteral("Total operation time            "),
        [&](int b) { return Cell(be(b + EdrRecordTimeAt, Records.TimeWidth)); });
    row(QStringLiteral("Worktime at mode                "), [&](int b) { return Cell(be(b + 6, 2)); });
    row(QStringLiteral("Voltage                         "), [&](int b) { return Cell(WholeVolts(be(b + 8, 2))); });
    row(QStringLiteral("T FI,°K                         "), [&](int b) { return Cell(be(b + 10, 2)); });
    row(QStringLiteral("T out,°C                        "), [&](int b) { return Cell(byte(b + 12)); });
    row(QStringLiteral("T in(overheat),°C               "), [&](int b) { return Cell(byte(b + 13)); });
    row(QStringLiteral("T plate,°C                      "), [&](int b) { return Cell(byte(b + 14)); });
    row(QStringLiteral("Starting attempt at stage H:    "), [&](int b) { return Cell(byte(b + 15)); });
    row(QStringLiteral("Flameouts count at stage W:     "), [&](int b) { return Cell(byte(b + 16)); });

    lines << QStringLiteral("==============================================");
    QByteArray text;
    for (size_t at = TextStart; at < image.size(); ++at)
        if (image[at] > 31)
            text.append(char(image[at]));
    lines << QStringDecoder("windows-1251").decode(text);
    return lines;
}

TEdrSummary CorvaMiniEdrSummary(const TEepromImage &image)
{
    return {EdrCounters(image, Counters()), EdrFaults(image, Records, CorvaMiniFaultName)};
}
