#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class THistoryStore;

// File > "Import run logs...": the run-log files of a folder ("[serial] YYYY-MM-DD HH-MM-SS.csv") into
// the history, each under the heater its name and header tell (the serial number from the name, the
// model from the header; a header several models write goes to the one of them the history already
// knows with that serial number). A file already in the history is not taken twice; a file that cannot
// be read is named, with the reason, and skipped.
struct TImportOutcome {
    int Imported = 0;
    QStringList Skipped; // "<file name> (<reason>)"
    // "Imported 3 run logs, skipped 1: [1] 2026-01-01 10-00-00.csv (Line 4: the last line is cut short.)"
    QString Summary() const;
};

// log receives one line per file skipped.
TImportOutcome ImportRunLogs(THistoryStore &store, const QString &folder,
                             const std::function<void(const QString &)> &log);
