// The EDR report of the pre-heater "Corva-Mini": its counters and plain-second times, 44 fault
// records of 17 bytes from image index 48 in four-character columns, and the text the heater keeps
// at image 800..1023.
#include "current/EdrReport.h"
#include <QStringDecoder>

namespace {

constexpr int RecordCount = 44;
constexpr int FirstRecord = 48;
constexpr int RecordLength = 17;
constexpr int TextStart = 800;

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
    lines << QStringLiteral("Ignition attempts: ") + QString::number(be(8, 2));
    lines << QStringLiteral("Attempts reached the stage W: ") + QString::number(be(10, 2));
    lines << QStringLiteral("Attempts completed without faults: ") + QString::number(be(12, 2));
    lines << QStringLiteral("Attempts completed with faults: ") + QString::number(be(14, 2));
    lines << QStringLiteral("Power resets while working: ") + QString::number(byte(17));
    lines << QStringLiteral("Total operation time: ") + QString::number(be(18, 4));
    lines << QStringLiteral("Operation time at full mode: ") + QString::number(be(22, 4));
    lines << QStringLiteral("Operation time at middle mode: ") + QString::number(be(26, 4));
    lines << QStringLiteral("Operation time at low mode: ") + QString::number(be(30, 4));
    lines << QStringLiteral("Starts at the first attempt: ") + QString::number(byte(34));
    lines << QStringLiteral("Starts at the second attempt: ") + QString::number(byte(35));
    lines << QStringLiteral("The number of failed launches: ") + QString::number(byte(36));
    lines << QStringLiteral("Number of the last record of failure: ") + QString::number(byte(47));
    lines << QString();

    QList<int> starts;
    for (int record = 0; record < RecordCount; ++record)
        starts << FirstRecord + RecordLength * record;
    auto row = [&](const QString &label, const std::function<QString(int b)> &cell) {
        lines << EdrTableLine(label, starts, cell);
    };
    row(QStringLiteral("                              N:"),
        [&](int b) { return Cell((b - FirstRecord) / RecordLength); });
    row(QStringLiteral("FaultCode                       "), [&](int b) { return Cell(byte(b)); });
    row(QStringLiteral("Attempts count                  "), [&](int b) { return Cell(byte(b + 1)); });
    row(QStringLiteral("Stage                           "), [&](int b) { return Cell(byte(b + 2)); });
    row(QStringLiteral("Mode                            "), [&](int b) { return Cell(byte(b + 3)); });
    row(QStringLiteral("Total operation time            "), [&](int b) { return Cell(be(b + 4, 2)); });
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
