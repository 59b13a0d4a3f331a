#pragma once
// Every run-log file the program writes, as it writes it: the calls that put a run log on the disk go
// through here while the object lives, so a test sees each save whole (even one that a later save of
// the same name replaced within the same second) and can fill the disk up and make room again. The
// system's own calls come back when the object goes.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

class TSaveCapture {
public:
    struct TSave {
        QString Path;     // the run-log file's path
        QByteArray Bytes; // everything written to it
        qint64 AtMs = 0;  // the scheduler's clock when it reached the disk
    };

    TSaveCapture();
    ~TSaveCapture();
    TSaveCapture(const TSaveCapture &) = delete;
    TSaveCapture &operator=(const TSaveCapture &) = delete;

    // While full, every write fails as on a full disk (ENOSPC).
    void SetFull(bool full);
    bool Full() const;
    // The files written whole, in order.
    const QList<TSave> &Saves() const;
    // Writes that met the full disk.
    int FailedWrites() const;
};
