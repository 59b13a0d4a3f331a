#include "support/RecordingOracle.h"
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

using TTick = TRecordingSpy::TTick;
using TPoints = TRecordingSpy::TPoints;

// The columns of a run log that show what a chart series shows, by their names in the header.
struct TColumn {
    TSeries Series;
    QStringList Names;
};
const TColumn Columns[] = {
    {TSeries::Vust, {QStringLiteral("SB")}},
    {TSeries::Vcalc, {QStringLiteral("ASB")}},
    {TSeries::DP, {QStringLiteral("FI")}},
    {TSeries::Tplate, {QStringLiteral("T plate")}},
    {TSeries::U, {QStringLiteral("Voltage"), QStringLiteral("U")}},
};

// Series -> column index, for the columns this header has.
QMap<TSeries, int> ColumnsOf(const QString &header)
{
    const QStringList names = header.split(QLatin1Char(';'));
    QMap<TSeries, int> found;
    for (const TColumn &column : Columns)
        for (const QString &name : column.Names)
            if (const qsizetype at = names.indexOf(name); at >= 0 && !found.contains(column.Series))
                found.insert(column.Series, int(at));
    return found;
}

QStringList LinesOf(const QByteArray &bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The text a row holds for a value, as written with its own number of decimals.
bool Shows(const QString &field, double value)
{
    bool ok = false;
    const double written = QLocale::c().toDouble(field, &ok);
    if (!ok)
        return false;
    const qsizetype point = field.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(field.size() - point - 1);
    return std::abs(written - value) <= 0.5 * std::pow(10.0, -decimals) + 1e-9;
}

// Whether a row and a tick's chart points show the same values; at least two columns must be compared.
bool Agree(const QString &row, const QMap<TSeries, int> &columns, const TPoints &points)
{
    const QStringList fields = row.split(QLatin1Char(';'));
    int compared = 0;
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        if (!points.Values.contains(it.key()) || it.value() >= fields.size())
            continue;
        if (!Shows(fields[it.value()], points.Values.value(it.key())))
            return false;
        ++compared;
    }
    return compared >= 2;
}

QString Seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000, 'f', 1) + QStringLiteral(" s");
}

QString Describe(const TTick &tick)
{
    return QStringLiteral("tick %1 of handler %2 at %3%4%5%6")
        .arg(tick.Tick)
        .arg(tick.Handler)
        .arg(Seconds(tick.AtMs), tick.Answered ? QStringLiteral(", answered") : QStringLiteral(", unanswered"),
             tick.Away ? QStringLiteral(", adapter away") : QString(),
             tick.Running ? QString() : QStringLiteral(", not recording"));
}

QString Describe(const TPoints &points)
{
    QStringList values;
    for (auto it = points.Values.cbegin(); it != points.Values.cend(); ++it)
        values << QString::number(it.value());
    return QStringLiteral("points of tick %1 (%2)").arg(points.Tick).arg(values.join(QLatin1Char(' ')));
}

class TFaults {
public:
    // The first fault of a kind is kept with its detail; the others are counted.
    void Add(const QString &kind, const QString &detail)
    {
        if (const qsizetype at = Index.value(kind, -1); at >= 0) {
            ++More[at];
            return;
        }
        Index.insert(kind, List.size());
        List.append({kind, detail});
        More.append(0);
    }
    QList<TRecordingFault> Result() const
    {
        QList<TRecordingFault> result = List;
        for (qsizetype i = 0; i < result.size(); ++i)
            if (More[i] > 0)
                result[i].Detail += QStringLiteral(" (and %1 more)").arg(More[i]);
        return result;
    }

private:
    QList<TRecordingFault> List;
    QList<int> More;
    QHash<QString, qsizetype> Index;
};

} // namespace

QList<TRecordingFault> CheckRecording(const TRecordingSpy &spy, const QList<TRunFile> &files, const QString &serialNumber)
{
    TFaults faults;
    const QList<TTick> &ticks = spy.Ticks();
    const QList<TPoints> &points = spy.Points();

    // Each group of chart points belongs to the latest tick that had its x, when it was added or before.
    QList<int> tickOfPoints(points.size(), -1);
    QHash<int, int> pointsOfTick;
    for (qsizetype p = 0; p < points.size(); ++p) {
        const TPoints &group = points[p];
        int at = group.DuringTick;
        while (at >= 0 && !(ticks[at].Handler == group.Handler && ticks[at].Charts == group.Charts && ticks[at].Tick == group.Tick))
            --at;
        if (at < 0) {
            faults.Add(QStringLiteral("chart point at no tick"), Describe(group));
            continue;
        }
        if (pointsOfTick.contains(at)) {
            faults.Add(QStringLiteral("two rows for one tick"), Describe(ticks[at]));
            continue;
        }
        tickOfPoints[p] = at;
        pointsOfTick.insert(at, int(p));
        const TTick &tick = ticks[at];
        if (!tick.Running)
            faults.Add(QStringLiteral("row at a tick that recorded nothing"), Describe(tick));
        else if (tick.Away)
            faults.Add(QStringLiteral("row while the adapter was away"), Describe(tick));
        else if (!tick.Answered && !spy.ConfirmedLater(tick))
            faults.Add(QStringLiteral("row the heater never confirmed"), Describe(tick));
    }
    for (qsizetype t = 0; t < ticks.size(); ++t) {
        const TTick &tick = ticks[t];
        if (tick.Running && !tick.Away && tick.Answered && !pointsOfTick.contains(int(t)))
            faults.Add(QStringLiteral("answered tick without a row"), Describe(tick));
    }

    // The points in the order of their ticks; each file is one stretch of them.
    QList<int> order;
    for (qsizetype p = 0; p < points.size(); ++p)
        if (tickOfPoints[p] >= 0)
            order << int(p);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return tickOfPoints[a] < tickOfPoints[b]; });
    QList<bool> covered(order.size(), false);
    qsizetype previousEnd = 0;
    for (const TRunFile &file : files) {
        const QStringList lines = LinesOf(file.Bytes);
        const QMap<TSeries, int> columns = lines.isEmpty() ? QMap<TSeries, int>() : ColumnsOf(lines.first());
        if (columns.size() < 3) {
            faults.Add(QStringLiteral("file without a header"), file.Name + QStringLiteral(", ") + file.Where);
            continue;
        }
        if (!file.Where.startsWith(QLatin1String("journal")) && !file.Name.startsWith(QLatin1Char('[') + serialNumber + QStringLiteral("] "))
            && !file.Name.startsWith(QLatin1String("[unidentified] ")))
            faults.Add(QStringLiteral("file not named after the heater"), file.Name + QStringLiteral(", heater ") + serialNumber);
        const QStringList rows = lines.mid(1);
        if (rows.isEmpty()) {
            faults.Add(QStringLiteral("file without rows"), file.Name + QStringLiteral(", ") + file.Where);
            continue;
        }
        auto matchesAt = [&](qsizetype start) {
            if (start + rows.size() > order.size())
                return false;
            for (qsizetype k = 0; k < rows.size(); ++k)
                if (covered[start + k] || !Agree(rows[k], columns, points[order[start + k]]))
                    return false;
            return true;
        };
        qsizetype found = -1;
        for (qsizetype start = previousEnd; found < 0 && start < order.size(); ++start)
            if (matchesAt(start))
                found = start;
        for (qsizetype start = 0; found < 0 && start < previousEnd; ++start)
            if (matchesAt(start))
                found = start;
        if (found < 0) {
            faults.Add(QStringLiteral("file rows differ from the graphs"),
                       QStringLiteral("%1 (%2), %3 rows from \"%4\" to \"%5\"")
                           .arg(file.Name, file.Where)
                           .arg(rows.size())
                           .arg(rows.first(), rows.last()));
            continue;
        }
        for (qsizetype k = 0; k < rows.size(); ++k)
            covered[found + k] = true;
        previousEnd = found + rows.size();
        const TTick &first = ticks[tickOfPoints[order[found]]];
        const TTick &last = ticks[tickOfPoints[order[found + rows.size() - 1]]];
        if (first.Handler != last.Handler || first.Charts != last.Charts)
            faults.Add(QStringLiteral("one file holds two runs"),
                       file.Name + QStringLiteral(": ") + Describe(first) + QStringLiteral(" to ") + Describe(last));
        else if (first.Losses != last.Losses)
            faults.Add(QStringLiteral("one file spans a connection loss"),
                       file.Name + QStringLiteral(": ") + Describe(first) + QStringLiteral(" to ") + Describe(last));
    }
    for (qsizetype k = 0; k < order.size(); ++k)
        if (!covered[k])
            faults.Add(QStringLiteral("row on the graphs in no file"),
                       Describe(ticks[tickOfPoints[order[k]]]) + QStringLiteral(", ") + Describe(points[order[k]]));
    return faults.Result();
}
