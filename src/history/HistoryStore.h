#pragma once
#include "history/HistoryRecords.h"
#include "history/RunSummary.h"
#include <QList>
#include <QString>
#include <optional>

// The service history in one SQLite file: the heaters identified, their runs and EDR reads, and the
// days each was seen. Each store is one connection of its own, used by the thread that opened it; a
// writer thread and the History window each hold one, and the file's write-ahead log lets the window
// read while the writer writes. Nothing here throws: a failed statement returns false (or nothing)
// and leaves its reason in Error().
class THistoryStore {
public:
    THistoryStore();
    ~THistoryStore();
    THistoryStore(const THistoryStore &) = delete;
    THistoryStore &operator=(const THistoryStore &) = delete;

    // Opens the file (created when missing), switches on foreign keys and the write-ahead log and
    // brings the tables up to the latest version.
    bool Open(const QString &path);
    bool IsOpen() const { return Opened; }
    QString Error() const { return LastError; }
    QString Path() const { return FilePath; }

    // The heater of this model and serial number was seen at this time: added when new, its
    // firmware and last sighting brought up to date, the day noted as a visit. A heater of the same
    // serial number listed under several models (an import) becomes this model's. Its id.
    std::optional<qint64> NoteHeater(const QString &model, const QString &serialNumber, const QString &firmware,
                                     const QDateTime &at);
    // Adds a run (its file's path is the key: a file already recorded is refused) and notes the visit.
    bool AddRun(qint64 heaterId, const QString &csvPath, const QDateTime &ended, const TRunSummary &summary);
    bool HasRun(const QString &csvPath);
    bool AddEdrRead(qint64 heaterId, const QDateTime &readAt, const QByteArray &image, const QString &report);
    // Many writes as one transaction (an import, a benchmark's fill).
    bool Begin();
    bool Commit();

    // Heaters whose serial number or model contains the text (all for an empty text), the ones seen
    // last first, limit of them from offset.
    THeaterPage Heaters(const QString &search, int offset, int limit);
    // The heaters of a serial number, whatever their model.
    QList<THeaterRecord> HeatersWithSerial(const QString &serialNumber);
    QList<TVisitRecord> Visits(qint64 heaterId);
    QList<TRunRecord> Runs(qint64 heaterId);
    // A heater's EDR reads, oldest first, without their images; EdrRead gives one whole.
    QList<TEdrReadRecord> EdrReads(qint64 heaterId);
    std::optional<TEdrReadRecord> EdrRead(qint64 id);

private:
    bool Fail(const QString &what, const QString &reason);
    bool NoteVisit(qint64 heaterId, const QDateTime &at);

    QString ConnectionName;
    QString FilePath;
    QString LastError;
    bool Opened = false;
};
