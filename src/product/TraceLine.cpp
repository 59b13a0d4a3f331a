#include "product/TraceLine.h"
#include "core/Errors.h"
#include <QFile>

namespace {
const QString SentMark = QStringLiteral("TX");
const QString ReceivedMark = QStringLiteral("RX");
const QString ValidMark = QStringLiteral("ok");
const QString DroppedMark = QStringLiteral("dropped");

int HexDigit(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

// Upper-case hex pairs separated by single spaces, and nothing else.
std::optional<QByteArray> HexBytes(const QString &text)
{
    if (text.isEmpty() || (text.size() + 1) % 3 != 0)
        return std::nullopt;
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); i += 3) {
        if (i + 2 < text.size() && text[i + 2] != QLatin1Char(' '))
            return std::nullopt;
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
    }
    return bytes;
}
} // namespace

QString TraceLineText(const TTraceEntry &entry)
{
    return entry.Time.toString(Qt::ISODateWithMs) + QLatin1Char('\t')
           + (entry.Direction == TFrameDirection::Sent ? SentMark : ReceivedMark) + QLatin1Char('\t')
           + QString::fromLatin1(entry.Bytes.toHex(' ').toUpper()) + QLatin1Char('\t')
           + (entry.Valid ? ValidMark : DroppedMark);
}

std::optional<TTraceEntry> ParseTraceLine(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 4)
        return std::nullopt;
    TTraceEntry entry;
    entry.Time = QDateTime::fromString(fields[0], Qt::ISODateWithMs);
    if (!entry.Time.isValid())
        return std::nullopt;
    if (fields[1] == SentMark)
        entry.Direction = TFrameDirection::Sent;
    else if (fields[1] == ReceivedMark)
        entry.Direction = TFrameDirection::Received;
    else
        return std::nullopt;
    const std::optional<QByteArray> bytes = HexBytes(fields[2]);
    if (!bytes)
        return std::nullopt;
    entry.Bytes = *bytes;
    if (fields[3] == ValidMark)
        entry.Valid = true;
    else if (fields[3] == DroppedMark)
        entry.Valid = false;
    else
        return std::nullopt;
    return entry;
}

TTraceReading ReadTraceFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Exception(QStringLiteral("Cannot read the trace ") + path + QStringLiteral(": ") + file.errorString());
    TTraceReading reading;
    int number = 0;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        ++number;
        if (line.isEmpty())
            continue;
        if (const std::optional<TTraceEntry> entry = ParseTraceLine(line))
            reading.Entries << *entry;
        else
            reading.Problems << QStringLiteral("Trace line %1 skipped: %2").arg(number).arg(line);
    }
    return reading;
}
