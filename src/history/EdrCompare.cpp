#include "history/EdrCompare.h"
#include <QMap>
#include <tuple>

namespace {

bool IsSeconds(const TEdrCounter &counter)
{
    return counter.Unit == QLatin1String("s");
}

// A count as it is; seconds in the largest unit that keeps the amount readable.
QString AmountText(quint64 amount, bool seconds)
{
    if (!seconds)
        return QString::number(amount);
    if (amount >= 3600)
        return QString::number(amount / 3600.0, 'f', 1) + QStringLiteral(" hours");
    if (amount >= 60)
        return QString::number(amount / 60) + QStringLiteral(" minutes");
    return QString::number(amount) + QStringLiteral(" seconds");
}

QString ValueText(const TEdrCounter &counter)
{
    return IsSeconds(counter) ? QString::number(counter.Value / 3600.0, 'f', 1) + QStringLiteral(" h")
                              : QString::number(counter.Value);
}

// The name in the middle of a sentence: its first letter small, unless the second is a capital too.
QString InSentence(const QString &name)
{
    if (name.size() > 1 && name[1].isUpper())
        return name;
    return name.left(1).toLower() + name.mid(1);
}

QString TimesText(int times)
{
    if (times == 1)
        return QStringLiteral("once");
    if (times == 2)
        return QStringLiteral("twice");
    return QStringLiteral("%1 times").arg(times);
}

QString FaultText(const TEdrFault &fault)
{
    QString text = QStringLiteral("fault ") + QString::number(fault.Code);
    if (!fault.Name.isEmpty())
        text += QStringLiteral(" '") + fault.Name + QLatin1Char('\'');
    return text;
}

using TRecordKey = std::tuple<int, qint64, int>;
TRecordKey KeyOf(const TEdrFault &fault)
{
    return {fault.Code, fault.Time, fault.Count};
}

// The newer read's records that the older one does not hold, each record of the older read
// accounting for one of the newer.
QList<TEdrFault> NewRecords(const QList<TEdrFault> &older, const QList<TEdrFault> &newer)
{
    QMap<TRecordKey, int> known;
    for (const TEdrFault &fault : older)
        ++known[KeyOf(fault)];
    QList<TEdrFault> fresh;
    for (const TEdrFault &fault : newer) {
        int &left = known[KeyOf(fault)];
        if (left > 0)
            --left;
        else
            fresh << fault;
    }
    return fresh;
}

int RecordsOf(const QList<TEdrFault> &faults, int code)
{
    int count = 0;
    for (const TEdrFault &fault : faults)
        count += fault.Code == code ? 1 : 0;
    return count;
}

QString SinceText(const QDateTime &older, const QDateTime &newer)
{
    const bool sameDay = older.date() == newer.date();
    return older.toString(sameDay ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("yyyy-MM-dd"));
}

} // namespace

TEdrComparison CompareEdrReads(const TEdrRead &older, const TEdrRead &newer)
{
    TEdrComparison result;
    QStringList grown, back;
    for (const TEdrCounter &after : newer.Summary.Counters) {
        const auto before = std::find_if(older.Summary.Counters.cbegin(), older.Summary.Counters.cend(),
                                         [&](const TEdrCounter &c) { return c.Name == after.Name; });
        if (before == older.Summary.Counters.cend() || before->Value == after.Value)
            continue;
        const bool seconds = IsSeconds(after);
        TEdrChangeRow row{after.Name, ValueText(*before), ValueText(after), QString()};
        if (after.Value > before->Value) {
            const quint64 amount = after.Value - before->Value;
            row.Change = QLatin1Char('+') + AmountText(amount, seconds);
            grown << InSentence(after.Name) + QStringLiteral(" up by ") + AmountText(amount, seconds);
        } else {
            row.Change = QLatin1Char('-') + AmountText(before->Value - after.Value, seconds) + QStringLiteral(" (went back)");
            back << InSentence(after.Name) + QStringLiteral(" from ") + ValueText(*before) + QStringLiteral(" to ")
                        + ValueText(after);
        }
        result.Rows << row;
    }

    // New records grouped by fault code, in the order they first appear in the newer read.
    QList<TEdrFault> firstOfCode;
    QMap<int, int> newByCode;
    for (const TEdrFault &fault : NewRecords(older.Summary.Faults, newer.Summary.Faults))
        if (newByCode[fault.Code]++ == 0)
            firstOfCode << fault;
    QStringList faults;
    for (const TEdrFault &fault : firstOfCode) {
        const int times = newByCode.value(fault.Code);
        faults << FaultText(fault) + QLatin1Char(' ') + TimesText(times);
        const QString what = FaultText(fault);
        result.Rows << TEdrChangeRow{what.left(1).toUpper() + what.mid(1),
                                     QString::number(RecordsOf(older.Summary.Faults, fault.Code)),
                                     QString::number(RecordsOf(newer.Summary.Faults, fault.Code)),
                                     QStringLiteral("+%1 %2").arg(times).arg(times == 1 ? QStringLiteral("record")
                                                                                        : QStringLiteral("records"))};
    }

    const QString since = SinceText(older.At, newer.At);
    result.Changed = !result.Rows.isEmpty();
    if (!result.Changed) {
        result.Text = QStringLiteral("Nothing changed since %1: the same counters and no new fault records.").arg(since);
        return result;
    }
    QStringList sentences;
    if (!grown.isEmpty() || !faults.isEmpty()) {
        QStringList parts;
        if (!grown.isEmpty())
            parts << grown.join(QStringLiteral(", "));
        if (!faults.isEmpty())
            parts << QStringLiteral("new fault records: ") + faults.join(QStringLiteral(", "));
        else
            parts << QStringLiteral("no new fault records");
        sentences << QStringLiteral("Since %1: %2.").arg(since, parts.join(QStringLiteral("; ")));
    }
    if (!back.isEmpty())
        sentences << QStringLiteral("Counters went backwards since %1, so the control unit was replaced or its "
                                    "recorder was reset: %2.")
                         .arg(since, back.join(QStringLiteral(", ")));
    result.Text = sentences.join(QLatin1Char(' '));
    return result;
}
