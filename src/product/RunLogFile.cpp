#include "product/RunLogFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
long SystemWrite(int fd, const char *data, unsigned long size)
{
    return long(::write(fd, data, size));
}

const TFileWriting SystemWriting{SystemWrite, ::fsync};
const TFileWriting *Writing = &SystemWriting;

QString Cause(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Every byte to fd, then to the disk; 0 when done, else the errno of the failing call. A write that
// takes nothing counts as a full disk.
int WriteAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const long written = Writing->Write(fd, data, (unsigned long)left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        data += written;
        left -= written;
    }
    return Writing->Sync(fd) == 0 ? 0 : errno;
}
} // namespace

void SetRunLogFileWriting(const TFileWriting *writing)
{
    Writing = writing ? writing : &SystemWriting;
}

QString HeaterFileStem(const QString &serialNumber, const QDateTime &localTime)
{
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    const QString name = serialNumber.isEmpty() ? UnidentifiedSerialNumber() : serialNumber;
    return QString::asprintf("[%s] %.4d-%.2d-%.2d %.2d-%.2d-%.2d", name.toUtf8().constData(), date.year(),
                             date.month(), date.day(), time.hour(), time.minute(), time.second());
}

QString RunLogFileName(const QString &serialNumber, const QDateTime &localTime)
{
    return HeaterFileStem(serialNumber, localTime) + QStringLiteral(".csv");
}

QString UnidentifiedSerialNumber()
{
    return QStringLiteral("unidentified");
}

QString FreeRunLogPath(const QString &folder, const QString &serialNumber, QDateTime localTime)
{
    QString path = folder + RunLogFileName(serialNumber, localTime);
    while (QFileInfo::exists(path)) {
        localTime = localTime.addSecs(1);
        path = folder + RunLogFileName(serialNumber, localTime);
    }
    return path;
}

QString RunLogFolder(const QString &programFolder)
{
    const QString preferred = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    const QFileInfo info(preferred);
    if (info.isDir() && info.isWritable())
        return QDir::cleanPath(preferred) + QLatin1Char('/');
    // An installed program's folder is read-only: the user's documents take the logs instead.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              + QStringLiteral("/Thermoryx Diagnostic/");
    QDir().mkpath(documents);
    return documents;
}

TRunLogSave WriteRunLog(const QString &path, const QByteArray &bytes)
{
    TRunLogSave result;
    result.Path = path;
    const QString nativePath = QDir::toNativeSeparators(path);
    const QByteArray temporary = QFile::encodeName(path + QStringLiteral(".part"));
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        result.Error = QStringLiteral("Cannot create file \"%1\". %2").arg(nativePath, Cause(errno));
        return result;
    }
    int error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        result.Error = QStringLiteral("Cannot write file \"%1\". %2").arg(nativePath, Cause(error));
        return result;
    }
    result.Saved = true;
    return result;
}

TRunLogSave SaveRunLog(const QByteArray &bytes, const QString &serialNumber, const QDateTime &localTime,
                       const QString &programFolder)
{
    return WriteRunLog(FreeRunLogPath(RunLogFolder(programFolder), serialNumber, localTime), bytes);
}
