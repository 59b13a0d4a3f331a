// Recording of a run: the run log in the graphs window's memo, begun by a start, saved to a file
// once the heater is back at rest, and never lost when the line or the handler goes away.
#include "current/CurrentProduct.h"
#include "app/Globals.h"
#include "core/Errors.h"
#include "product/RunLogFile.h"
#include "views/fGraph.h"
#include <QDateTime>
#include <QDir>

void TCurrentProduct::BeginRecording(const QString &header)
{
    frmGraph->ClearCharts();
    frmGraph->SetSavePath(QString());
    Tick = 1;
    StageStartTick = 0;
    frmGraph->ClearRunLog();
    frmGraph->AppendRunLog(header);
    Running = true;
    LogSaved = false;
}

void TCurrentProduct::SaveRecording()
{
    Running = false;
    if (!LogSaved) {
        const TRunLogSave saved = SaveRunLog(frmGraph->RunLog(), SerialNumberText, QDateTime::currentDateTime());
        // The lines stay in the memo for the next save.
        if (!saved.Saved)
            throw Exception(saved.Error);
        frmGraph->SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(saved.Path));
        LogSaved = true;
    }
    frmGraph->ClearRunLog();
}

void TCurrentProduct::SaveUnsavedRun(const QString &operation)
{
    if (LogSaved || !frmGraph || frmGraph->RunLog().isEmpty())
        return;
    try {
        SaveRecording();
    } catch (const std::exception &error) {
        LogOperationError(operation, error);
    }
}

void TCurrentProduct::BeforeDestroy()
{
    SaveUnsavedRun(QStringLiteral("Destroy"));
}

void TCurrentProduct::FillLog()
{
    frmGraph->AppendRunLog(RunLogRow());
}
