#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>

// The run-log file rules of every heater family: the name from the serial number and the local date
// and time, the folder (the program's own, or Documents/Thermoryx Diagnostic/ when that cannot be
// written), one line each ended by CR LF, Windows-1251, written whole or not at all.

struct TRunLogSave {
    bool Saved = false;
    QString Path;  // where the file went (or was meant to go)
    QString Error; // why it was not written, with the system's own words for the cause
};

// "[<serial>] yyyy-mm-dd hh-mm-ss": how every file about one heater at one moment begins its name.
QString HeaterFileStem(const QString &serialNumber, const QDateTime &localTime);
// "[<serial>] yyyy-mm-dd hh-mm-ss.csv"; a heater never identified is named "[unidentified] ...".
QString RunLogFileName(const QString &serialNumber, const QDateTime &localTime);
// What stands for the serial number of a heater that was never identified.
QString UnidentifiedSerialNumber();
// The path of the run log in folder, at localTime or the next second whose name is not yet taken:
// a run never replaces another run's file.
QString FreeRunLogPath(const QString &folder, const QString &serialNumber, QDateTime localTime);
// The program's folder when it is a writable folder, else Documents + "/Thermoryx Diagnostic/"
// (created when missing). Without an argument: the folder of the running program.
QString RunLogFolder(const QString &programFolder = QString());
// Writes the file's bytes to path through a temporary file that replaces the old one only when
// every byte has reached the disk. A short or failed write, a failed sync or close is a failure
// and leaves the old file (or none) in place.
TRunLogSave WriteRunLog(const QString &path, const QByteArray &bytes);
// Names, places and writes a run log, under a name no other file has.
TRunLogSave SaveRunLog(const QByteArray &bytes, const QString &serialNumber, const QDateTime &localTime,
                       const QString &programFolder = QString());

// The system calls that put the bytes on disk, replaceable so that tests can fill the disk up.
// Each returns what the system call returns and leaves errno set on failure.
struct TFileWriting {
    long (*Write)(int fd, const char *data, unsigned long size);
    int (*Sync)(int fd);
};
// nullptr restores the system's own calls.
void SetRunLogFileWriting(const TFileWriting *writing);
