#include "product/RunJournal.h"
#include "product/RunLogFile.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTime>
#include <sys/file.h>

namespace {
const QString Suffix = QStringLiteral(".runjournal");

// An exclusive lock on the open file; the system releases it when the program ends.
bool LockOpenFile(const QFile &file)
{
    return ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
}

QString TimeText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

// The run-log file of this serial number that already holds the run: a program that ended after
// saving the run and before removing its journal left the run twice. Only a file written at or after
// the journal's last row counts, so that an earlier run that happens to hold the same rows is not
// taken for this one.
QString SavedCopy(const QString &folder, const QString &serialNumber, const QByteArray &run, const QDateTime &lastRow)
{
    const QString sample = RunLogFileName(serialNumber, lastRow);
    const QString prefix = sample.left(sample.indexOf(QStringLiteral("] ")) + 2);
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.csv")}, QDir::Files);
    for (const QFileInfo &info : files) {
        if (!info.fileName().startsWith(prefix) || info.size() != run.size() || info.lastModified() < lastRow)
            continue;
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly) && file.readAll() == run)
            return info.filePath();
    }
    return QString();
}

QString Recover(const QString &journal, const QString &programFolder)
{
    const QString native = QDir::toNativeSeparators(journal);
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        return TimeText() + QStringLiteral(" Unsaved run in \"%1\" cannot be read: %2").arg(native, file.errorString());
    // A journal whose program still runs is that program's run.
    if (!LockOpenFile(file))
        return QString();
    const QString serialNumber = QString::fromUtf8(file.readLine()).chopped(1);
    QByteArray run = file.readAll();
    const QDateTime lastRow = QFileInfo(file).lastModified().toLocalTime();
    // A line cut short by a power cut is not a row.
    const qsizetype lastLineEnd = run.lastIndexOf("\r\n");
    run.truncate(lastLineEnd < 0 ? 0 : lastLineEnd + 2);
    // The header alone, or not even that: the run had no row yet, and a file of it would be empty.
    if (run.count("\r\n") < 2) {
        file.remove();
        return QString();
    }
    const QString folder = RunLogFolder(programFolder);
    if (const QString copy = SavedCopy(folder, serialNumber, run, lastRow); !copy.isEmpty()) {
        file.remove();
        return TimeText() + QStringLiteral(" Unsaved run of the last session had been saved already to ")
               + QDir::toNativeSeparators(copy);
    }
    const TRunLogSave saved = WriteRunLog(FreeRunLogPath(folder, serialNumber, lastRow), run);
    if (!saved.Saved)
        return TimeText() + QStringLiteral(" Unsaved run kept in \"%1\": %2").arg(native, saved.Error);
    file.remove();
    return TimeText() + QStringLiteral(" Unsaved run of the last session recovered. Log saved to ")
           + QDir::toNativeSeparators(saved.Path);
}
} // namespace

TRunJournal::TRunJournal() = default;

TRunJournal::~TRunJournal()
{
    Keep();
}

QString TRunJournal::Folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
}

bool TRunJournal::Begin(const QString &serialNumber, const QByteArray &headerLine)
{
    Keep();
    QDir().mkpath(Folder());
    // Two runs begun within the same millisecond still get journals of their own.
    static int sequence = 0;
    const QString path = Folder() + QStringLiteral("run-%1-%2-%3%4")
                                        .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")))
                                        .arg(QCoreApplication::applicationPid())
                                        .arg(++sequence)
                                        .arg(Suffix);
    File.setFileName(path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    LockOpenFile(File);
    const QByteArray first = serialNumber.toUtf8() + '\n';
    return File.write(first) == first.size() && Append(headerLine);
}

bool TRunJournal::Append(const QByteArray &line)
{
    if (!File.isOpen())
        return false;
    return File.write(line) == line.size() && File.flush();
}

void TRunJournal::Remove()
{
    if (!File.fileName().isEmpty())
        File.remove();
    File.setFileName(QString());
}

void TRunJournal::Keep()
{
    if (File.isOpen())
        File.close();
}

QStringList TRunJournal::RecoverLeftBehind(const QString &programFolder)
{
    QStringList lines;
    const QDir folder(Folder());
    for (const QString &name : folder.entryList({QLatin1Char('*') + Suffix}, QDir::Files, QDir::Name)) {
        const QString line = Recover(folder.filePath(name), programFolder);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}
