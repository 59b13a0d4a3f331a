#include "current/EdrReport.h"
#include "current/CurrentTables.h"
#include "product/NumberText.h"

quint32 ImageBE(const TEepromImage &image, int index, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i) {
        const int at = index + i;
        value = (value << 8) | (at >= 0 && at < int(image.size()) ? image[size_t(at)] : 0);
    }
    return value;
}

static QString Padded(quint32 value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

QString EdrHoursText(quint32 seconds)
{
    if (seconds == 0)
        return QStringLiteral("---");
    return Padded(seconds / 3600, 6) + QStringLiteral(" hours.(") + Padded(seconds / 86400, 3) + QLatin1Char('-')
           + Padded(seconds % 86400 / 3600, 2) + QLatin1Char(':') + Padded(seconds % 3600 / 60, 2) + QLatin1Char('.')
           + Padded(seconds % 60, 2) + QLatin1Char(')');
}

QString EdrHours(const TEepromImage &image, int index)
{
    return EdrHoursText(ImageBE(image, index, 4));
}

QStringList EdrCounterLines(const TEepromImage &image, const QList<TEdrCounterField> &fields)
{
    QStringList lines;
    for (const TEdrCounterField &field : fields) {
        const quint32 value = ImageBE(image, field.Offset, field.Width);
        const QString text = field.Kind == TEdrValue::Hours ? EdrHoursText(value) : QString::number(value);
        lines << field.Label + QStringLiteral(": ") + text;
    }
    return lines;
}

QList<TEdrCounter> EdrCounters(const TEepromImage &image, const QList<TEdrCounterField> &fields)
{
    QList<TEdrCounter> counters;
    for (const TEdrCounterField &field : fields)
        counters << TEdrCounter{field.Label, field.Kind == TEdrValue::Count ? QString() : QStringLiteral("s"),
                                ImageBE(image, field.Offset, field.Width)};
    return counters;
}

QList<int> TEdrRecordLayout::Starts() const
{
    QList<int> starts;
    for (int record = 0; record < Count; ++record)
        starts << Start(record);
    return starts;
}

QList<TEdrFault> EdrFaults(const TEepromImage &image, const TEdrRecordLayout &layout,
                           const std::function<QString(quint8 code)> &nameOf)
{
    QList<TEdrFault> faults;
    for (int record = 0; record < layout.Count; ++record) {
        const int b = layout.Start(record);
        const quint8 code = quint8(ImageBE(image, b + EdrRecordCodeAt, 1));
        if (code == 0)
            continue;
        faults << TEdrFault{record + 1, code, nameOf(code), qint64(ImageBE(image, b + EdrRecordTimeAt, layout.TimeWidth)),
                            int(ImageBE(image, b + EdrRecordAttemptsAt, 1))};
    }
    return faults;
}

QList<TEdrCounterField> PowerLevelCounters(int attemptsAt, int withFaultsWidth, int resetsAt)
{
    QList<TEdrCounterField> fields = {
        {QStringLiteral("Ignition attempts"), attemptsAt, 2},
        {QStringLiteral("Attempts reached the stage W"), attemptsAt + 2, 2},
        {QStringLiteral("Attempts completed without faults"), attemptsAt + 4, 2},
        {QStringLiteral("Attempts completed with faults"), attemptsAt + 6, withFaultsWidth},
        {QStringLiteral("Power resets while working"), resetsAt, 1},
        {QStringLiteral("Total operation time"), resetsAt + 1, 4, TEdrValue::Hours},
    };
    for (int power = 0; power <= 9; ++power)
        fields << TEdrCounterField{QStringLiteral("Operation time at power %1").arg(power), resetsAt + 5 + 4 * power,
                                   4, TEdrValue::Hours};
    fields << TEdrCounterField{QStringLiteral("Working at ventilation mode"), resetsAt + 45, 4, TEdrValue::Hours}
           << TEdrCounterField{QStringLiteral("Starts at the first attempt"), resetsAt + 49, 2}
           << TEdrCounterField{QStringLiteral("Starts at the second attempt"), resetsAt + 51, 2}
           << TEdrCounterField{QStringLiteral("The number of failed launches"), resetsAt + 53, 2};
    return fields;
}

TEdrRecordLayout HeaterEdrRecords()
{
    return {.First = 79, .Length = 29, .Count = 6};
}

int HeaterEdrRecordStart(int record)
{
    return HeaterEdrRecords().Start(record);
}

QString EdrColumn(qint64 value)
{
    return QString::asprintf("%7lld ", static_cast<long long>(value));
}

QString EdrTextColumn(const QString &text)
{
    return text.rightJustified(7) + QLatin1Char(' ');
}

QString EdrTableLine(const QString &label, const QList<int> &recordStarts, const std::function<QString(int b)> &cell)
{
    QString line = label;
    for (int b : recordStarts)
        line += cell(b);
    return line;
}

namespace {

QString WorkOnText(quint8 value)
{
    switch (value) {
    case 1:
        return QStringLiteral("Тplate");
    case 2:
        return QStringLiteral("Т RCU");
    case 3:
        return QStringLiteral("Тext.");
    default:
        return QStringLiteral("Pwr");
    }
}

} // namespace

QStringList HeaterEdrReport(const TEepromImage &image)
{
    auto be = [&](int index, int width) { return ImageBE(image, index, width); };
    auto byte = [&](int index) { return quint32(be(index, 1)); };
    QStringList lines;
    lines << QStringLiteral("Version: ") + QString::number(byte(2));
    // The number as the serial answer shows it: a two-digit prefix and a seven-digit number.
    lines << QStringLiteral("Number: ") + Padded(be(3, 2), 2) + QLatin1Char('-') + Padded(be(5, 3), 7);
    lines << EdrCounterLines(image, PowerLevelCounters(13, 1, 22));
    lines << QStringLiteral("Number of the last record of failure: ") + QString::number(byte(78));
    lines << QString();

    const QList<int> starts = HeaterEdrRecords().Starts();
    auto row = [&](const char *label, const std::function<QString(int b)> &cell) {
        lines << EdrTableLine(QString::fromLatin1(label), starts, cell);
    };
    row("Faultcode                       ", [&](int b) { return EdrColumn(byte(b + EdrRecordCodeAt)); });
    row("Attempts count                  ", [&](int b) { return EdrColumn(byte(b + EdrRecordAttemptsAt)); });
    row("Stage/Mode                      ",
        [&](int b) { return QString::asprintf("%3u/%3u ", unsigned(byte(b + 2)), unsigned(byte(b + 3))); });
    row("Total operation time            ", [&](int b) { return EdrColumn(be(b + EdrRecordTimeAt, 4)); });
    row("Worktime at mode                ", [&](int b) { return EdrColumn(be(b + 8, 4)); });
    row("Voltage                         ",
        [&](int b) { return FixedText(be(b + 12, 2) / 10.0, 1).rightJustified(7) + QLatin1Char(' '); });
    row("T FI                            ", [&](int b) { return EdrColumn(be(b + 14, 2)); });
    row("T RCP                           ", [&](int b) { return EdrColumn(byte(b + 16)); });
    row("T cabin sensor                  ", [&](int b) { return EdrColumn(byte(b + 17)); });
    row("T plate                         ", [&](int b) { return EdrColumn(byte(b + 18)); });
    row("Attempt ignition                ", [&](int b) { return EdrColumn(byte(b + 19)); });
    row("flame failures during operation ", [&](int b) { return EdrColumn(byte(b + 20)); });
    row("flameout border                 ", [&](int b) { return EdrColumn(be(b + 21, 2)); });
    row("T setpoint                      ", [&](int b) { return EdrColumn(byte(b + 23)); });
    row("given power                     ", [&](int b) { return EdrColumn(byte(b + 24)); });
    row("current power                   ", [&](int b) { return EdrColumn(byte(b + 25)); });
    row("Ventilation is permitted        ",
        [&](int b) { return EdrTextColumn(byte(b + 26) == 1 ? QStringLiteral("V") : QStringLiteral("X")); });
    row("Switches to ventilation         ", [&](int b) { return EdrColumn(byte(b + 27)); });
    row("Work on...                      ", [&](int b) { return EdrTextColumn(WorkOnText(quint8(byte(b + 28)))); });
    return lines;
}

TEdrSummary HeaterEdrSummary(const TEepromImage &image)
{
    return {EdrCounters(image, PowerLevelCounters(13, 1, 22)),
            EdrFaults(image, HeaterEdrRecords(), [](quint8 code) { return CurrentFaultName(code); })};
}
