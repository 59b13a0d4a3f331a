#pragma once
#include "history/HistoryStore.h"
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

// The history's writing side, away from the line: it lives on a thread of its own with a store of
// its own, and is given its work as queued calls. The file is opened with the first piece of work.
// The first failure (the file cannot be opened, is locked, read-only, not a database, the disk is
// full) is reported once through Failed; from then on the work is dropped, so the program goes on
// without history and nothing else changes.
class THistoryWriter : public QObject {
    Q_OBJECT
public:
    explicit THistoryWriter(const QString &path);

    void NoteHeater(const QString &model, const QString &serialNumber, const QString &firmware, const QDateTime &at);
    // A run's file was saved by the handler of this model: read back, summarised, recorded under the
    // serial number its name carries. A run of a heater never identified belongs to no heater.
    void NoteRun(const QString &model, const QString &csvPath, const QDateTime &ended);
    void NoteEdrRead(const QString &model, const QString &serialNumber, const QString &firmware,
                     const QDateTime &readAt, const QByteArray &image, const QString &report);
    bool Broken() const { return IsBroken; }

signals:
    // Once, with the reason and the file's path.
    void Failed(const QString &message);

private:
    // Runs a piece of work when the store is (or can be made) usable; a failure or an error thrown
    // inside breaks the history.
    void Guarded(const std::function<bool()> &work);
    bool Open();
    void Break(const QString &reason);

    QString FilePath;
    THistoryStore Store;
    bool IsBroken = false;
};
