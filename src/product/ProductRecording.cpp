// Presentation and recording of a run: once a second the grid, and while a run is recorded one
// chart point per series, one stage bar and one run-log row. The run log is begun by a start, saved
// to a file once the heater is back at rest, and never lost when the line or the handler goes away:
// while it is recorded it is written through to a journal that survives the program, and a save
// that fails keeps the rows and tells the technician why.
#include "product/Product.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "product/Presentation.h"
#include "product/RunLogFile.h"
#include <QDateTime>
#include <QDir>

void TProduct::TransmitTimerEvent(QObject *)
{
    TraceTimerEvent(QStringLiteral(" TransmitTimerEvent"));
    auto guarded = [this](const char *step, auto &&work) {
        try {
            work();
        } catch (const std::exception &error) {
            Log(TimeText() + QStringLiteral(" TransmitTimerEvent(") + QLatin1String(step) + QStringLiteral(").Exception: ")
                + ErrorClassName(error) + QStringLiteral(": ") + ErrorMessage(error));
        }
    };
    guarded("FillStringGrid", [this] { FillStringGrid(); });
    if (!Running)
        return;
    guarded("FillCharts", [this] { FillCharts(); });
    guarded("FillLog", [this] { FillLog(); });
}

std::optional<QColor> TProduct::StageBandColor() const
{
    return StageKeyColor(Stage);
}

std::optional<QColor> TProduct::StageKeyColor(int stage)
{
    static const QColor stageColors[] = {StageColor::Pause, StageColor::Preparing, StageColor::Ignition,
                                         StageColor::Burning, StageColor::SwitchingOff};
    if (stage >= 0 && stage <= 4)
        return stageColors[stage];
    return std::nullopt;
}

void TProduct::FillCharts()
{
    if (const std::optional<QColor> color = StageBandColor()) {
        const double start = double(StageStartTick) / 86400;
        const double end = double(Tick) / 86400;
        View().AddBandBar(TBand::Lower, start, end, *color);
        View().AddBandBar(TBand::Upper, start, end, *color);
    }
    AddChartPoints(double(Tick) / 86400);
    ++Tick;
}

void TProduct::FillLog()
{
    WriteThrough(RunLogLines.Append(RunLogRow()));
    if (AnswerSinceRow) {
        AnsweredRunSize = RunLogLines.Size();
        AnswerSinceRow = false;
    }
}

void TProduct::DropRowsAfterLastAnswer()
{
    if (LogSaved || AnsweredRunSize < 0 || AnsweredRunSize >= RunLogLines.Size())
        return;
    RunLogLines.Truncate(AnsweredRunSize);
    if (Journal.IsOpen() && !Journal.Truncate(AnsweredRunSize))
        Journal.Keep();
}

void TProduct::WriteThrough(const QByteArray &line)
{
    // Rows recorded after a run was saved are not saved again, so they need no journal either.
    if (LogSaved || JournalBroken)
        return;
    const bool written = Journal.IsOpen() ? Journal.Append(line) : Journal.Begin(SerialNumberText, RunLogLines.Bytes());
    if (written)
        return;
    Log(TimeText() + QStringLiteral(" The run cannot be written through to \"%1\": %2. It is kept in memory only.")
                         .arg(QDir::toNativeSeparators(Journal.Path()), Journal.Error()));
    Journal.Keep();
    JournalBroken = true;
}

void TProduct::BeginJournal()
{
    Journal.Keep();
    JournalBroken = false;
    WriteThrough(QByteArray());
}

void TProduct::BeginRecording(const QString &header)
{
    // The rows of a run whose save failed are written before a new run takes their place; when
    // that fails again, their journal stays for the recovery at the next start.
    if (!LogSaved && !RunLogLines.IsEmpty()) {
        SaveUnsavedRun(QStringLiteral("BeginRecording"));
        if (!LogSaved && Journal.IsOpen())
            Log(TimeText() + QStringLiteral(" The unsaved run is kept for recovery in \"%1\".")
                                 .arg(QDir::toNativeSeparators(Journal.Path())));
    }
    View().ClearCharts();
    View().SetSavePath(QString());
    Tick = 1;
    StageStartTick = 0;
    RunLogLines.Begin(header);
    AnsweredRunSize = -1;
    AnswerSinceRow = false;
    LogSaved = false;
    BeginJournal();
    Running = true;
}

void TProduct::ResumeRecording(const QString &header)
{
    LogSaved = false;
    if (RunLogLines.IsEmpty()) {
        RunLogLines.Begin(header);
        AnsweredRunSize = -1;
        BeginJournal();
    }
    Running = true;
}

void TProduct::SaveRecording()
{
    Running = false;
    if (!LogSaved) {
        const TRunLogSave saved = SaveRunLog(RunLogLines.Bytes(), SerialNumberText, QDateTime::currentDateTime());
        // The lines stay for the next save; the technician is told at once.
        if (!saved.Saved) {
            ShowMessage(QStringLiteral("The run log was not saved. %1\nThe run's rows are kept and saved at the next "
                                       "chance.")
                            .arg(saved.Error));
            throw Exception(saved.Error);
        }
        View().SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(saved.Path));
        LogSaved = true;
    }
    Journal.Remove();
    RunLogLines.Clear();
}

void TProduct::SaveUnsavedRun(const QString &operation)
{
    if (LogSaved || RunLogLines.IsEmpty())
        return;
    try {
        SaveRecording();
    } catch (const std::exception &error) {
        LogOperationError(operation, error);
    }
}

void TProduct::BeforeDestroy()
{
    SaveUnsavedRun(QStringLiteral("Destroy"));
}
