#include "product/RunLogFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString RunLogFileName(const QString &serialNumber, const QDateTime &localTime)
{
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    return QString::asprintf("[%s] %.4d-%.2d-%.2d %.2d-%.2d-%.2d.csv", serialNumber.toUtf8().constData(), date.year(),
                             date.month(), date.day(), time.hour(), time.minute(), time.second());
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.Error = QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        result.Error = QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
        file.cancelWriting();
        return result;
    }
    result.Saved = true;
    return result;
}

TRunLogSave SaveRunLog(const QByteArray &bytes, const QString &serialNumber, const QDateTime &localTime,
                       const QString &programFolder)
{
    return WriteRunLog(RunLogFolder(programFolder) + RunLogFileName(serialNumber, localTime), bytes);
}
