// The EDR report of the air heater "Zephal-1": its own header offsets, and seven 25-byte fault
// records from image index 75 with 16-bit times and Russian column captions where the heater's
// service sheet has them.
#include "current/EdrReport.h"
#include "current/CurrentTables.h"
#include "product/NumberText.h"

namespace {

const TEdrRecordLayout Records{.First = 75, .Length = 25, .Count = 7, .TimeWidth = 2};

QList<TEdrCounterField> Counters()
{
    return PowerLevelCounters(8, 2, 17);
}

QString WorkOnText(quint8 value)
{
    switch (value) {
    case 1:
        return QStringLiteral("Тplate");
    case 2:
        return QStringLiteral("Т RCU");
    case 3:
        return QStringLiteral("Т ext.");
    default:
        return QStringLiteral("Мощн");
    }
}

} // namespace

QStringList Zephal1EdrReport(const TEepromImage &image)
{
    auto be = [&](int index, int width) { return ImageBE(image, index, width); };
    auto byte = [&](int index) { return quint32(be(index, 1)); };
    QStringList lines;
    lines << QStringLiteral("Version: ") + QString::number(byte(3));
    lines << QStringLiteral("Number: ") + QString::number(be(5, 3));
    lines << EdrCounterLines(image, Counters());
    lines << QStringLiteral("Number of the last record of failure: ") + QString::number(byte(74));
    lines << QString();

    const QList<int> starts = Records.Starts();
    auto row = [&](const QString &label, const std::function<QString(int b)> &cell) {
        lines << EdrTableLine(label, starts, cell);
    };
    row(QStringLiteral("Faultcode                       "), [&](int b) { return EdrColumn(byte(b + EdrRecordCodeAt)); });
    row(QStringLiteral("Attempts count                  "), [&](int b) { return EdrColumn(byte(b + EdrRecordAttemptsAt)); });
    row(QStringLiteral("Стадия/Режим                    "),
        [&](int b) { return QString::asprintf("%3u/%3u ", unsigned(byte(b + 2)), unsigned(byte(b + 3))); });
    row(QStringLiteral("Total operation time            "),
        [&](int b) { return EdrColumn(be(b + EdrRecordTimeAt, Records.TimeWidth)); });
    row(QStringLiteral("Worktime at mode                "), [&](int b) { return EdrColumn(be(b + 6, 2)); });
    row(QStringLiteral("Voltage                         "),
        [&](int b) { return EdrTextColumn(FixedText(be(b + 8, 2) / 10.0, 1)); });
    row(QStringLiteral("T RCU                           "), [&](int b) { return EdrColumn(byte(b + 12)); });
    row(QStringLiteral("T cabin sensor                  "), [&](int b) { return EdrColumn(byte(b + 13)); });
    row(QStringLiteral("T plate                         "), [&](int b) { return EdrColumn(byte(b + 14)); });
    row(QStringLiteral("Attempt ignition                "), [&](int b) { return EdrColumn(byte(b + 15)); });
    row(QStringLiteral("flame failures during operation "), [&](int b) { return EdrColumn(byte(b + 16)); });
    row(QStringLiteral("flameout border                 "), [&](int b) { return EdrColumn(be(b + 17, 2)); });
    row(QStringLiteral("T setpoint                      "), [&](int b) { return EdrColumn(byte(b + 19)); });
    row(QStringLiteral("given power                     "), [&](int b) { return EdrColumn(byte(b + 20)); });
    row(QStringLiteral("current power                   "), [&](int b) { return EdrColumn(byte(b + 21)); });
    row(QStringLiteral("Ventilation is permitted        "),
        [&](int b) { return EdrTextColumn(byte(b + 22) == 1 ? QStringLiteral("V") : QStringLiteral("X")); });
    row(QStringLiteral("Switches to ventilation         "), [&](int b) { return EdrColumn(byte(b + 23)); });
    row(QStringLiteral("Work on...                      "), [&](int b) { return EdrTextColumn(WorkOnText(quint8(byte(b + 24)))); });
    return lines;
}

QString Zephal1FaultName(quint8 code)
{
    return CurrentFaultName(code, {{29, QStringLiteral("Flameout count exceeded")}});
}

TEdrSummary Zephal1EdrSummary(const TEepromImage &image)
{
    return {EdrCounters(image, Counters()), EdrFaults(image, Records, Zephal1FaultName)};
}
