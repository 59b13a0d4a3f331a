#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// A run written through to the disk while it is recorded, so that a run survives a crash, a kill or
// a power cut. The journal is a file in the program's data folder: one line with the heater's
// serial number, then the run-log file's own bytes, appended and flushed row by row. It goes once
// the run is saved. A journal that no running program holds any more is turned into the run-log
// file it would have been at the next start. The open journal is locked by its program; the lock
// ends with the program, however it ends.
class TRunJournal {
public:
    TRunJournal();
    // Closes the journal and leaves it on the disk: only a saved run removes it.
    ~TRunJournal();
    TRunJournal(const TRunJournal &) = delete;
    TRunJournal &operator=(const TRunJournal &) = delete;

    // A new journal for a run of the heater with this serial number; its first bytes, the header
    // line. A journal still open is left behind for recovery. False when it cannot be written.
    bool Begin(const QString &serialNumber, const QByteArray &headerLine);
    // Appends and flushes one encoded line; false when it cannot be written.
    bool Append(const QByteArray &line);
    // The run is saved: the journal goes, also one closed by Keep.
    void Remove();
    // Stops writing: the journal stays for recovery unless its run is saved after all.
    void Keep();
    bool IsOpen() const { return File.isOpen(); }
    QString Path() const { return File.fileName(); }
    // Why the last write failed.
    QString Error() const { return File.errorString(); }

    // Where the journals are.
    static QString Folder();
    // Saves every journal left behind as its run-log file in the run-log folder (named after the
    // serial number and the journal's last change) and removes it once saved. A journal whose run
    // has no whole row, or whose run a file of that serial number written after its last row holds
    // already, goes without a new file. One log line per journal that held rows, saying where its
    // run went or why it stays.
    static QStringList RecoverLeftBehind(const QString &programFolder = QString());

private:
    QFile File;
};
