#pragma once
#include <QString>

class QSqlDatabase;

// The history's tables, versioned in PRAGMA user_version and brought up to date in place: each
// numbered step upgrades version n - 1 to n inside one transaction, so a file is always at one version
// or the next, never in between. A file newer than this program knows is left alone.
int LatestHistoryVersion();
// The stored version, or -1 when it cannot be read (with the reason in error).
int HistoryVersion(QSqlDatabase &db, QString &error);
// Runs every step from the stored version to the latest; false, with the reason, when one fails.
bool MigrateHistory(QSqlDatabase &db, QString &error);
