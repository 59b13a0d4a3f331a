#include "core/LogMemo.h"
#include "core/Timer.h"
#include <QRegularExpression>

namespace {
const QRegularExpression &TimePrefix()
{
    static const QRegularExpression prefix(QStringLiteral("^(\\d{1,2}:\\d\\d:\\d\\d)\\s"));
    return prefix;
}
} // namespace

TLogMemo::TLogMemo(QObject *parent) : QObject(parent), FoldTimer(new TTimer(FoldReportMs, this))
{
    FoldTimer->SetOnTimer([this](QObject *) { ReportRepeats(); });
}

QString TLogMemo::KeyOf(const QString &line)
{
    const QRegularExpressionMatch match = TimePrefix().match(line);
    return match.hasMatch() ? line.mid(match.capturedLength()) : line;
}

void TLogMemo::Append(const QString &line)
{
    Show(line);
    emit LineRecorded(line);
}

void TLogMemo::Show(const QString &line)
{
    const QString key = KeyOf(line);
    if (Group.contains(key)) {
        ++Repeats;
        if (!RepeatedKeys.contains(key))
            RepeatedKeys.append(key);
        const QRegularExpressionMatch match = TimePrefix().match(line);
        LastTime = match.hasMatch() ? match.captured(1) : QString();
        FoldTimer->SetEnabled(true);
        return;
    }
    if (Repeats > 0) {
        ReportRepeats();
        Group.clear();
    }
    if (Group.size() == FoldWidth)
        Group.removeFirst();
    Group.append(key);
    emit LineShown(line);
}

void TLogMemo::ReportRepeats()
{
    FoldTimer->SetEnabled(false);
    if (Repeats == 0)
        return;
    // The line right above repeating is counted as its repeats. Otherwise the folded lines repeat one
    // or several of the lines shown since the last break, not necessarily the last one: the count says
    // how many lines are not shown and how many of the lines above they repeat.
    QString text;
    if (RepeatedKeys != QStringList{Group.last()}) {
        const QString lines = Repeats == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(Repeats);
        const QString which = RepeatedKeys.size() == 1 ? QStringLiteral("one") : QString::number(RepeatedKeys.size());
        text = QStringLiteral("… (%1 not shown, repeating %2 of the lines above").arg(lines, which);
    } else if (Repeats == 1) {
        text = QStringLiteral("… (repeated once");
    } else {
        text = QStringLiteral("… (repeated %1 times").arg(Repeats);
    }
    if (!LastTime.isEmpty())
        text += QStringLiteral(", the last at ") + LastTime;
    text += QLatin1Char(')');
    Repeats = 0;
    RepeatedKeys.clear();
    emit LineShown(text);
}
