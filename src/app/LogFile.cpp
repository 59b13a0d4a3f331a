#include "app/LogFile.h"
#include "core/Dialogs.h"
#include "core/LogMemo.h"
#include "core/Scheduler.h"
#include <QDir>

TLogFile::TLogFile(TLogMemo *log, QObject *parent) : QObject(parent), Log(log) {}

bool TLogFile::Open(const QString &path, QString &error)
{
    File.setFileName(path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        error = File.errorString();
        return false;
    }
    connect(Log, &TLogMemo::LineRecorded, this, &TLogFile::Write);
    return true;
}

void TLogFile::Write(const QString &line)
{
    if (HasFailed)
        return;
    const QByteArray bytes = line.toUtf8() + '\n';
    if (File.write(bytes) != bytes.size() || !File.flush())
        GiveUp(File.errorString());
}

void TLogFile::GiveUp(const QString &reason)
{
    HasFailed = true;
    File.close();
    disconnect(Log, &TLogMemo::LineRecorded, this, &TLogFile::Write);
    const QString text = QStringLiteral("The log file %1 could not be written (%2); the log is no longer written to it.")
                             .arg(QDir::toNativeSeparators(File.fileName()), reason);
    Log->Append(text);
    // The message box waits for the clock's next turn, so it does not run inside whatever was logging.
    TScheduler &clock = TScheduler::Instance();
    clock.CallAt(clock.Now(), [text] { ShowMessage(text); });
}
