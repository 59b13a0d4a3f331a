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
    // One line repeating is the line right above; a cycle of several says how many of the lines above it went through.
    QString text;
    if (RepeatedKeys != QStringList{Group.last()})
        text = QStringLiteral("… (%1 more repeating %2 of the lines above").arg(Repeats).arg(RepeatedKeys.size());
    else if (Repeats == 1)
        text = QStringLiteral("… (repeated once");
    else
        text = QStringLiteral("… (repeated %1 times").arg(Repeats);
    if (!LastTime.isEmpty())
        text += QStringLiteral(", the last at ") + LastTime;
    text += QLatin1Char(')');
    Repeats = 0;
    RepeatedKeys.clear();
    emit LineShown(text);
}
