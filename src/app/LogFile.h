#pragma once
#include <QFile>
#include <QObject>
#include <QString>

class TLogMemo;

// The --log-file: every line of the program's log, written through to the file line by line (each
// flushed, so the file can be followed while the program runs). When a write fails (a full disk, a
// device gone) the file is given up and the failure is told once: a line in the log and a message
// box; the program goes on without the file.
class TLogFile : public QObject {
    Q_OBJECT
public:
    explicit TLogFile(TLogMemo *log, QObject *parent = nullptr);

    // Opens the file for appending; false with the reason in error when it cannot be opened.
    bool Open(const QString &path, QString &error);
    bool Failed() const { return HasFailed; }

private:
    void Write(const QString &line);
    void GiveUp(const QString &reason);

    TLogMemo *Log;
    QFile File;
    bool HasFailed = false;
};
