#pragma once
#include "product/RunJournal.h"
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Runs whose file could not be written (a full disk, a folder gone). Each keeps its bytes and its
// journal until its file is written: the handler tries again every few seconds and at close; a run
// still unsaved when the program ends stays in its journal for the recovery at the next start.
class TUnsavedRuns {
public:
    struct TRun {
        QByteArray Bytes;
        QString SerialNumber;
        // When the run ended: its file is named after this time, however late it is written.
        QDateTime Ended;
        std::unique_ptr<TRunJournal> Journal;
    };
    struct TOutcome {
        QStringList SavedPaths;
        // Why the first run still unsaved could not be written; empty when every run is saved.
        QString Error;
    };

    void Add(TRun run) { Runs.push_back(std::move(run)); }
    bool IsEmpty() const { return Runs.empty(); }
    // Writes every run again, oldest first; a written run and its journal go.
    TOutcome SaveAgain();
    // The journals that hold the runs still unsaved (a run whose journal broke has none).
    QStringList JournalPaths() const;

private:
    std::vector<TRun> Runs;
};
