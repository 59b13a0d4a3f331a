#pragma once
// What the tests of the real binaries share: where the binaries are, ending a process, reading the
// heater simulator's pseudo-terminal path, and reading the program's --log-file.
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace ProcessTest {

inline QString Binary(const char *name)
{
    return qEnvironmentVariable("THERMORYX_BIN_DIR") + QLatin1Char('/') + QLatin1String(name);
}

// Ends a process politely, then firmly.
inline void End(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// The first line the simulator prints: the path of its pseudo-terminal (empty when none came).
inline QString PtyPath(QProcess &heater)
{
    QDeadlineTimer deadline(10000);
    while (!heater.canReadLine() && !deadline.hasExpired() && heater.state() == QProcess::Running)
        heater.waitForReadyRead(200);
    return QString::fromLocal8Bit(heater.readLine()).trimmed();
}

inline QStringList LogLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline int CountContaining(const QStringList &lines, const QString &text)
{
    return int(std::count_if(lines.begin(), lines.end(), [&](const QString &line) { return line.contains(text); }));
}

} // namespace ProcessTest
