#include "history/HistoryWriter.h"
#include "product/RunLogFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

THistoryWriter::THistoryWriter(const QString &path) : FilePath(path) {}

void THistoryWriter::Break(const QString &reason)
{
    if (IsBroken)
        return;
    IsBroken = true;
    emit Failed(QStringLiteral("The service history cannot be kept in \"%1\" (%2). The program goes on without it; "
                               "run logs are saved as before.")
                    .arg(QDir::toNativeSeparators(FilePath), reason));
}

bool THistoryWriter::Open()
{
    if (Store.IsOpen())
        return true;
    if (const QString folder = QFileInfo(FilePath).absolutePath(); !QDir().mkpath(folder)) {
        Break(QStringLiteral("the folder cannot be made"));
        return false;
    }
    if (Store.Open(FilePath))
        return true;
    Break(Store.Error());
    return false;
}

void THistoryWriter::Guarded(const std::function<bool()> &work)
{
    if (IsBroken || !Open())
        return;
    try {
        if (!work())
            Break(Store.Error());
    } catch (const std::exception &error) {
        Break(QString::fromLocal8Bit(error.what()));
    }
}

void THistoryWriter::NoteHeater(const QString &model, const QString &serialNumber, const QString &firmware,
                                const QDateTime &at)
{
    Guarded([&] { return Store.NoteHeater(model, serialNumber, firmware, at).has_value(); });
}

void THistoryWriter::NoteRun(const QString &model, const QString &csvPath, const QDateTime &ended)
{
    const std::optional<TRunLogName> name = ParseRunLogName(QFileInfo(csvPath).fileName());
    if (!name || name->SerialNumber == UnidentifiedSerialNumber())
        return;
    QFile file(csvPath);
    // The file was written whole a moment ago; one that cannot be read back is no fault of the history.
    if (!file.open(QIODevice::ReadOnly))
        return;
    const TRunSummary summary = SummariseRun(ReadRunLogBytes(file.readAll()));
    Guarded([&] {
        const std::optional<qint64> heater = Store.NoteHeater(model, name->SerialNumber, QString(), ended);
        return heater && Store.AddRun(*heater, QFileInfo(csvPath).absoluteFilePath(), ended, summary);
    });
}

void THistoryWriter::NoteEdrRead(const QString &model, const QString &serialNumber, const QString &firmware,
                                 const QDateTime &readAt, const QByteArray &image, const QString &report)
{
    if (serialNumber.isEmpty())
        return;
    Guarded([&] {
        const std::optional<qint64> heater = Store.NoteHeater(model, serialNumber, firmware, readAt);
        return heater && Store.AddEdrRead(*heater, readAt, image, report);
    });
}
