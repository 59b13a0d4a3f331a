#include "app/RunLogImport.h"
#include "app/RunLogReplay.h"
#include "history/HistoryStore.h"
#include "history/RunSummary.h"
#include "product/RunLogFile.h"
#include "product/RunLogReader.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The model a file goes under: the one its header names, or of the models writing that header the
// one already known with this serial number; the list of them when none or several are.
QString ModelOf(THistoryStore &store, const QString &serialNumber, const QString &headerModels)
{
    const QStringList candidates = headerModels.split(QStringLiteral(" / "));
    if (candidates.size() == 1)
        return candidates.first();
    QStringList known;
    for (const THeaterRecord &heater : store.HeatersWithSerial(serialNumber))
        if (candidates.contains(heater.Model))
            known << heater.Model;
    return known.size() == 1 ? known.first() : headerModels;
}
} // namespace

QString TImportOutcome::Summary() const
{
    QString text = QStringLiteral("Imported %1 run log%2, skipped %3").arg(Imported).arg(Imported == 1 ? QString() : QStringLiteral("s")).arg(Skipped.size());
    return Skipped.isEmpty() ? text + QLatin1Char('.') : text + QStringLiteral(": ") + Skipped.join(QStringLiteral("; "));
}

TImportOutcome ImportRunLogs(THistoryStore &store, const QString &folder,
                             const std::function<void(const QString &)> &log)
{
    TImportOutcome outcome;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.csv"), QStringLiteral("*.CSV")}, QDir::Files, QDir::Name);
    if (!store.Begin()) {
        outcome.Skipped << QStringLiteral("all files (%1)").arg(store.Error());
        return outcome;
    }
    for (const QString &name : names) {
        const QString path = QFileInfo(dir.filePath(name)).absoluteFilePath();
        auto skip = [&](const QString &reason) {
            outcome.Skipped << QStringLiteral("%1 (%2)").arg(name, reason);
            log(QStringLiteral("Run log not imported: \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
        };
        const std::optional<TRunLogName> fileName = ParseRunLogName(name);
        if (!fileName) {
            skip(QStringLiteral("the name is not \"[serial] YYYY-MM-DD HH-MM-SS.csv\""));
            continue;
        }
        if (fileName->SerialNumber == UnidentifiedSerialNumber()) {
            skip(QStringLiteral("the heater was never identified"));
            continue;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            skip(file.errorString());
            continue;
        }
        const TRunLogContent content = ReadRunLogBytes(file.readAll());
        if (!content.Error.isEmpty()) {
            skip(content.Error);
            continue;
        }
        const QString models = RunLogModels(content);
        if (models.isEmpty()) {
            skip(RunLogHeaderProblem(content));
            continue;
        }
        if (store.HasRun(path)) {
            skip(QStringLiteral("already in the history"));
            continue;
        }
        const QString model = ModelOf(store, fileName->SerialNumber, models);
        const std::optional<qint64> heater = store.NoteHeater(model, fileName->SerialNumber, QString(), fileName->Saved);
        if (!heater || !store.AddRun(*heater, path, fileName->Saved, SummariseRun(content))) {
            skip(store.Error());
            continue;
        }
        ++outcome.Imported;
    }
    if (!store.Commit()) {
        log(QStringLiteral("The imported run logs could not be written to the history: %1").arg(store.Error()));
        outcome.Skipped = {QStringLiteral("all files (%1)").arg(store.Error())};
        outcome.Imported = 0;
    }
    return outcome;
}
