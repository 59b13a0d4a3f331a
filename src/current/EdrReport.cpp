#include "current/EdrReport.h"
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

int HeaterEdrRecordStart(int record)
{
    return 79 + 29 * record;
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

constexpr int RecordCount = 6;

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
    lines << QStringLiteral("Ignition attempts: ") + QString::number(be(13, 2));
    lines << QStringLiteral("Attempts reached the stage W: ") + QString::number(be(15, 2));
    lines << QStringLiteral("Attempts completed without faults: ") + QString::number(be(17, 2));
    lines << QStringLiteral("Attempts completed with faults: ") + QString::number(byte(19));
    lines << QStringLiteral("Power resets while working: ") + QString::number(byte(22));
    lines << QStringLiteral("Total operation time: ") + EdrHours(image, 23);
    for (int power = 0; power <= 9; ++power)
        lines << QStringLiteral("Operation time at power %1: ").arg(power) + EdrHours(image, 27 + 4 * power);
    lines << QStringLiteral("Working at ventilation mode: ") + EdrHours(image, 67);
    lines << QStringLiteral("Starts at the first attempt: ") + QString::number(be(71, 2));
    lines << QStringLiteral("Starts at the second attempt: ") + QString::number(be(73, 2));
    lines << QStringLiteral("The number of failed launches: ") + QString::number(be(75, 2));
    lines << QStringLiteral("Number of the last record of failure: ") + QString::number(byte(78));
    lines << QString();

    QList<int> starts;
    for (int record = 0; record < RecordCount; ++record)
        starts << HeaterEdrRecordStart(record);
    auto row = [&](const char *label, const std::function<QString(int b)> &cell) {
        lines << EdrTableLine(QString::fromLatin1(label), starts, cell);
    };
    row("Faultcode                       ", [&](int b) { return EdrColumn(byte(b)); });
    row("Attempts count                  ", [&](int b) { return EdrColumn(byte(b + 1)); });
    row("Stage/Mode                      ",
        [&](int b) { return QString::asprintf("%3u/%3u ", unsigned(byte(b + 2)), unsigned(byte(b + 3))); });
    row("Total operation time            ", [&](int b) { return EdrColumn(be(b + 4, 4)); });
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
