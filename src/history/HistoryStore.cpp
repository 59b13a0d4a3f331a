#include "history/HistoryStore.h"
#include "history/HistorySchema.h"
#include <QAtomicInt>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
// How long a statement waits for another connection (the window, an import, a second program) to
// finish writing before it gives up as locked.
constexpr int BusyTimeoutMs = 2000;

// SQLite's own words for the cause; Qt's text adds its own "Unable to execute statement".
QString Reason(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}

QString NewConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("history-%1").arg(counter.fetchAndAddRelaxed(1));
}

QSqlDatabase Db(const QString &name)
{
    return QSqlDatabase::database(name, false);
}

qint64 Ms(const QDateTime &time)
{
    return time.toMSecsSinceEpoch();
}

QDateTime Time(const QVariant &value)
{
    return QDateTime::fromMSecsSinceEpoch(value.toLongLong());
}

QString Day(const QDateTime &time)
{
    return time.toLocalTime().date().toString(Qt::ISODate);
}

// Qt binds a null string as NULL; the text columns hold "" for nothing.
QString Text(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// "%" and "_" typed in the search field are searched for as themselves.
QString ContainsPattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

THeaterRecord HeaterOf(const QSqlQuery &query)
{
    return {query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString(), Time(query.value(4)), Time(query.value(5))};
}
} // namespace

THistoryStore::THistoryStore() : ConnectionName(NewConnectionName()) {}

THistoryStore::~THistoryStore()
{
    if (QSqlDatabase::contains(ConnectionName)) {
        Db(ConnectionName).close();
        QSqlDatabase::removeDatabase(ConnectionName);
    }
}

bool THistoryStore::Fail(const QString &what, const QString &reason)
{
    LastError = what + QStringLiteral(": ") + reason;
    return false;
}

bool THistoryStore::Open(const QString &path)
{
    FilePath = path;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Fail(QStringLiteral("opening"), QStringLiteral("the SQLite driver of Qt is not installed (libqt6sql6-sqlite)"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        return Fail(QStringLiteral("opening"), Reason(db.lastError()));
    QSqlQuery query(db);
    // The first statement reads the file: a file that is no database, or one locked, fails here.
    for (const QString &pragma : {QStringLiteral("PRAGMA foreign_keys = ON"), QStringLiteral("PRAGMA journal_mode = WAL"),
                                  QStringLiteral("PRAGMA synchronous = NORMAL")})
        if (!query.exec(pragma))
            return Fail(QStringLiteral("opening"), Reason(query.lastError()));
    QString error;
    if (!MigrateHistory(db, error))
        return Fail(QStringLiteral("opening"), error);
    Opened = true;
    return true;
}

bool THistoryStore::Begin()
{
    QSqlDatabase db = Db(ConnectionName);
    return db.transaction() || Fail(QStringLiteral("writing"), Reason(db.lastError()));
}

bool THistoryStore::Commit()
{
    QSqlDatabase db = Db(ConnectionName);
    if (db.commit())
        return true;
    Fail(QStringLiteral("writing"), Reason(db.lastError()));
    db.rollback();
    return false;
}

bool THistoryStore::NoteVisit(qint64 heaterId, const QDateTime &at)
{
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO visits(heater_id, day) VALUES(?, ?)"));
    query.addBindValue(heaterId);
    query.addBindValue(Day(at));
    return query.exec() || Fail(QStringLiteral("writing"), Reason(query.lastError()));
}

std::optional<qint64> THistoryStore::NoteHeater(const QString &model, const QString &serialNumber,
                                                const QString &firmware, const QDateTime &at)
{
    if (!Opened) {
        Fail(QStringLiteral("writing"), QStringLiteral("the history is not open"));
        return std::nullopt;
    }
    QSqlQuery query(Db(ConnectionName));
    // A heater imported under the models its run logs' header fits ("Hydrel-7S / Zephal-1 / ...") is
    // this one once it is seen as one of them: it takes the model, with its runs and reads.
    query.prepare(QStringLiteral(
        "UPDATE heaters SET model = :model WHERE serial = :serial AND model <> :model"
        " AND instr(' / ' || model || ' / ', ' / ' || :model || ' / ') > 0"
        " AND NOT EXISTS (SELECT 1 FROM heaters WHERE model = :model AND serial = :serial)"));
    query.bindValue(QStringLiteral(":model"), Text(model));
    query.bindValue(QStringLiteral(":serial"), Text(serialNumber));
    if (!query.exec()) {
        Fail(QStringLiteral("writing"), Reason(query.lastError()));
        return std::nullopt;
    }
    // A firmware already known is kept when this sighting does not tell one (an imported run log).
    query.prepare(QStringLiteral(
        "INSERT INTO heaters(model, serial, firmware, first_seen, last_seen) VALUES(:model, :serial, :firmware, :at, :at)"
        " ON CONFLICT(model, serial) DO UPDATE SET"
        " firmware = CASE WHEN excluded.firmware = '' THEN firmware ELSE excluded.firmware END,"
        " first_seen = min(first_seen, excluded.first_seen), last_seen = max(last_seen, excluded.last_seen)"));
    query.bindValue(QStringLiteral(":model"), Text(model));
    query.bindValue(QStringLiteral(":serial"), Text(serialNumber));
    query.bindValue(QStringLiteral(":firmware"), Text(firmware));
    query.bindValue(QStringLiteral(":at"), Ms(at));
    if (!query.exec()) {
        Fail(QStringLiteral("writing"), Reason(query.lastError()));
        return std::nullopt;
    }
    query.prepare(QStringLiteral("SELECT id FROM heaters WHERE model = ? AND serial = ?"));
    query.addBindValue(Text(model));
    query.addBindValue(Text(serialNumber));
    if (!query.exec() || !query.next()) {
        Fail(QStringLiteral("writing"), Reason(query.lastError()));
        return std::nullopt;
    }
    const qint64 id = query.value(0).toLongLong();
    if (!NoteVisit(id, at))
        return std::nullopt;
    return id;
}

bool THistoryStore::AddRun(qint64 heaterId, const QString &csvPath, const QDateTime &ended, const TRunSummary &summary)
{
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral(
        "INSERT INTO runs(heater_id, csv_path, started, ended, duration, stages, highest_temperatures, lowest_voltage,"
        " fault_codes) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // One row a second: the run began as many seconds before its end as it has rows.
    query.addBindValue(heaterId);
    query.addBindValue(csvPath);
    query.addBindValue(Ms(ended) - qint64(summary.Rows) * 1000);
    query.addBindValue(Ms(ended));
    query.addBindValue(summary.Rows);
    query.addBindValue(Text(summary.StagesText()));
    query.addBindValue(Text(summary.TemperaturesText()));
    query.addBindValue(summary.LowestVoltage ? QVariant(*summary.LowestVoltage) : QVariant(QMetaType(QMetaType::Double)));
    query.addBindValue(Text(summary.FaultCodesText()));
    if (!query.exec())
        return Fail(QStringLiteral("writing"), Reason(query.lastError()));
    return NoteVisit(heaterId, ended);
}

bool THistoryStore::HasRun(const QString &csvPath)
{
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("SELECT 1 FROM runs WHERE csv_path = ?"));
    query.addBindValue(csvPath);
    return query.exec() && query.next();
}

bool THistoryStore::AddEdrRead(qint64 heaterId, const QDateTime &readAt, const QByteArray &image, const QString &report)
{
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("INSERT INTO edr_reads(heater_id, read_at, image, report) VALUES(?, ?, ?, ?)"));
    query.addBindValue(heaterId);
    query.addBindValue(Ms(readAt));
    query.addBindValue(image.isNull() ? QByteArray("") : image);
    query.addBindValue(Text(report));
    if (!query.exec())
        return Fail(QStringLiteral("writing"), Reason(query.lastError()));
    return NoteVisit(heaterId, readAt);
}

THeaterPage THistoryStore::Heaters(const QString &search, int offset, int limit)
{
    THeaterPage page;
    const QString text = search.trimmed();
    const QString where = text.isEmpty()
        ? QString()
        : QStringLiteral(" WHERE serial LIKE :p ESCAPE '\\' OR model LIKE :p ESCAPE '\\'");
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("SELECT count(*) FROM heaters") + where);
    if (!text.isEmpty())
        query.bindValue(QStringLiteral(":p"), ContainsPattern(text));
    if (!query.exec() || !query.next()) {
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
        return page;
    }
    page.Total = query.value(0).toLongLong();
    query.prepare(QStringLiteral("SELECT id, model, serial, firmware, first_seen, last_seen FROM heaters") + where
                  + QStringLiteral(" ORDER BY last_seen DESC LIMIT :limit OFFSET :offset"));
    if (!text.isEmpty())
        query.bindValue(QStringLiteral(":p"), ContainsPattern(text));
    query.bindValue(QStringLiteral(":limit"), limit);
    query.bindValue(QStringLiteral(":offset"), offset);
    if (!query.exec()) {
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
        return page;
    }
    while (query.next())
        page.Heaters << HeaterOf(query);
    return page;
}

QList<THeaterRecord> THistoryStore::HeatersWithSerial(const QString &serialNumber)
{
    QList<THeaterRecord> heaters;
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("SELECT id, model, serial, firmware, first_seen, last_seen FROM heaters WHERE serial = ? ORDER BY id"));
    query.addBindValue(serialNumber);
    if (!query.exec())
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
    while (query.next())
        heaters << HeaterOf(query);
    return heaters;
}

QList<TVisitRecord> THistoryStore::Visits(qint64 heaterId)
{
    QList<TVisitRecord> visits;
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral(
        "SELECT v.day,"
        " (SELECT count(*) FROM runs r WHERE r.heater_id = v.heater_id"
        "  AND date(r.ended / 1000, 'unixepoch', 'localtime') = v.day),"
        " (SELECT count(*) FROM edr_reads e WHERE e.heater_id = v.heater_id"
        "  AND date(e.read_at / 1000, 'unixepoch', 'localtime') = v.day)"
        " FROM visits v WHERE v.heater_id = ? ORDER BY v.day"));
    query.addBindValue(heaterId);
    if (!query.exec())
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
    while (query.next())
        visits << TVisitRecord{QDate::fromString(query.value(0).toString(), Qt::ISODate), query.value(1).toInt(),
                               query.value(2).toInt()};
    return visits;
}

QList<TRunRecord> THistoryStore::Runs(qint64 heaterId)
{
    QList<TRunRecord> runs;
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("SELECT id, heater_id, csv_path, started, ended, duration, stages, highest_temperatures,"
                                 " lowest_voltage, fault_codes FROM runs WHERE heater_id = ? ORDER BY started, id"));
    query.addBindValue(heaterId);
    if (!query.exec())
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
    while (query.next()) {
        TRunRecord run;
        run.Id = query.value(0).toLongLong();
        run.HeaterId = query.value(1).toLongLong();
        run.CsvPath = query.value(2).toString();
        run.Started = Time(query.value(3));
        run.Ended = Time(query.value(4));
        run.DurationSeconds = query.value(5).toLongLong();
        run.Stages = query.value(6).toString();
        run.HighestTemperatures = query.value(7).toString();
        if (!query.value(8).isNull())
            run.LowestVoltage = query.value(8).toDouble();
        run.FaultCodes = query.value(9).toString();
        runs << run;
    }
    return runs;
}

QList<TEdrReadRecord> THistoryStore::EdrReads(qint64 heaterId)
{
    QList<TEdrReadRecord> reads;
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("SELECT id, heater_id, read_at FROM edr_reads WHERE heater_id = ? ORDER BY read_at, id"));
    query.addBindValue(heaterId);
    if (!query.exec())
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
    while (query.next())
        reads << TEdrReadRecord{query.value(0).toLongLong(), query.value(1).toLongLong(), Time(query.value(2)), {}, {}};
    return reads;
}

std::optional<TEdrReadRecord> THistoryStore::EdrRead(qint64 id)
{
    QSqlQuery query(Db(ConnectionName));
    query.prepare(QStringLiteral("SELECT id, heater_id, read_at, image, report FROM edr_reads WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        Fail(QStringLiteral("reading"), Reason(query.lastError()));
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return TEdrReadRecord{query.value(0).toLongLong(), query.value(1).toLongLong(), Time(query.value(2)),
                          query.value(3).toByteArray(), query.value(4).toString()};
}
