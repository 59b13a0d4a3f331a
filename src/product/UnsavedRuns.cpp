#include "product/UnsavedRuns.h"
#include "product/RunLogFile.h"

TUnsavedRuns::TOutcome TUnsavedRuns::SaveAgain()
{
    TOutcome outcome;
    std::vector<TRun> left;
    for (TRun &run : Runs) {
        const TRunLogSave saved = SaveRunLog(run.Bytes, run.SerialNumber, run.Ended);
        if (!saved.Saved) {
            if (outcome.Error.isEmpty())
                outcome.Error = saved.Error;
            left.push_back(std::move(run));
            continue;
        }
        outcome.SavedPaths << saved.Path;
        if (run.Journal)
            run.Journal->Remove();
    }
    Runs = std::move(left);
    return outcome;
}

QStringList TUnsavedRuns::JournalPaths() const
{
    QStringList paths;
    for (const TRun &run : Runs)
        if (run.Journal && run.Journal->IsOpen())
            paths << run.Journal->Path();
    return paths;
}
