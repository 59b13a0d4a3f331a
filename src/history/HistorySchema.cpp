#include "history/HistorySchema.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {
// Times are milliseconds since the epoch (UTC); a visit's day is the local date, as the workshop saw it.
const QStringList Steps[] = {
    // 1: heaters, their runs and EDR reads.
    {QStringLiteral("CREATE TABLE heaters(id INTEGER PRIMARY KEY, model TEXT NOT NULL, serial TEXT NOT NULL,"
                    " firmware TEXT NOT NULL DEFAULT '', first_seen INTEGER NOT NULL, last_seen INTEGER NOT NULL,"
                    " UNIQUE(model, serial))"),
     QStringLiteral("CREATE TABLE runs(id INTEGER PRIMARY KEY,"
                    " heater_id INTEGER NOT NULL REFERENCES heaters(id) ON DELETE CASCADE,"
                    " csv_path TEXT NOT NULL, started INTEGER NOT NULL, ended INTEGER NOT NULL,"
                    " duration INTEGER NOT NULL, stages TEXT NOT NULL, highest_temperatures TEXT NOT NULL,"
                    " lowest_voltage REAL, fault_codes TEXT NOT NULL)"),
     QStringLiteral("CREATE TABLE edr_reads(id INTEGER PRIMARY KEY,"
                    " heater_id INTEGER NOT NULL REFERENCES heaters(id) ON DELETE CASCADE,"
                    " read_at INTEGER NOT NULL, image BLOB NOT NULL, report TEXT NOT NULL)")},
    // 2: the days each heater was seen, filled from what version 1 holds.
    {QStringLiteral("CREATE TABLE visits(heater_id INTEGER NOT NULL REFERENCES heaters(id) ON DELETE CASCADE,"
                    " day TEXT NOT NULL, PRIMARY KEY(heater_id, day)) WITHOUT ROWID"),
     QStringLiteral("INSERT OR IGNORE INTO visits SELECT id, date(first_seen / 1000, 'unixepoch', 'localtime') FROM heaters"),
     QStringLiteral("INSERT OR IGNORE INTO visits SELECT id, date(last_seen / 1000, 'unixepoch', 'localtime') FROM heaters"),
     QStringLiteral("INSERT OR IGNORE INTO visits SELECT heater_id, date(ended / 1000, 'unixepoch', 'localtime') FROM runs"),
     QStringLiteral("INSERT OR IGNORE INTO visits SELECT heater_id, date(read_at / 1000, 'unixepoch', 'localtime') FROM edr_reads")},
    // 3: indexes for the window's first page and a heater's lists, and one row per run file (a file
    // recorded twice by version 1 keeps its first row).
    {QStringLiteral("CREATE INDEX heaters_last_seen ON heaters(last_seen)"),
     QStringLiteral("CREATE INDEX heaters_serial ON heaters(serial)"),
     QStringLiteral("CREATE INDEX runs_heater ON runs(heater_id, started)"),
     QStringLiteral("CREATE INDEX edr_reads_heater ON edr_reads(heater_id, read_at)"),
     QStringLiteral("DELETE FROM runs WHERE id NOT IN (SELECT min(id) FROM runs GROUP BY csv_path)"),
     QStringLiteral("CREATE UNIQUE INDEX runs_file ON runs(csv_path)")},
};

// SQLite's own words for the cause.
QString Reason(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}
} // namespace

int LatestHistoryVersion()
{
    return int(std::size(Steps));
}

int HistoryVersion(QSqlDatabase &db, QString &error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        error = Reason(query.lastError());
        return -1;
    }
    return query.value(0).toInt();
}

bool MigrateHistory(QSqlDatabase &db, QString &error)
{
    QSqlQuery query(db);
    // Each step reads the version inside a write transaction: two connections opening a new file at
    // once (the writer thread and the History window) do not both run the same step.
    for (;;) {
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            error = Reason(query.lastError());
            return false;
        }
        const int stored = HistoryVersion(db, error);
        if (stored < 0 || stored > LatestHistoryVersion()) {
            if (stored > LatestHistoryVersion())
                error = QStringLiteral("the file is of a newer version (%1) than this program knows (%2)")
                            .arg(stored)
                            .arg(LatestHistoryVersion());
            query.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
        if (stored == LatestHistoryVersion()) {
            if (query.exec(QStringLiteral("COMMIT")))
                return true;
            error = Reason(query.lastError());
            query.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
        const int version = stored + 1;
        QStringList statements = Steps[version - 1];
        statements << QStringLiteral("PRAGMA user_version = %1").arg(version);
        for (const QString &statement : statements)
            if (!query.exec(statement)) {
                error = QStringLiteral("upgrade to version %1: %2").arg(version).arg(Reason(query.lastError()));
                query.exec(QStringLiteral("ROLLBACK"));
                return false;
            }
        if (!query.exec(QStringLiteral("COMMIT"))) {
            error = Reason(query.lastError());
            query.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
}
