// Presentation and recording of a run: once a second the grid, and while a run is recorded one
// chart point per series, one stage bar and one run-log row. The run log is begun by a start, saved
// to a file once the heater is back at rest, and never lost when the line or the handler goes away:
// while it is recorded it is written through to a journal that survives the program, and a save
// that fails keeps the rows, says why at once and is tried again by itself.
#include "product/Product.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "product/Presentation.h"
#include "product/RunLogFile.h"
#include "serial/ComPort.h"
#include <QDateTime>
#include <QDir>

namespace {
// How long a run whose file could not be written waits before the next attempt.
constexpr int SaveRetryMs = 5000;
} // namespace

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
    CheckFit();
    // An answer confirms the ticks up to the next one, recorded or not: one heard before a silence
    // must not vouch for the first tick of a run begun after it.
    if (!Running) {
        AnswerSinceTick = false;
        return;
    }
    guarded("RecordTick", [this] { RecordTick(); });
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

void TProduct::RecordTick()
{
    const double x = double(Tick) / 86400;
    TRecordedTick tick;
    if (const std::optional<QColor> color = StageBandColor()) {
        tick.AddBandBar(TBand::Lower, double(StageStartTick) / 86400, x, *color);
        tick.AddBandBar(TBand::Upper, double(StageStartTick) / 86400, x, *color);
    }
    AddChartPoints(tick, x);
    tick.Row = RunLogRow();
    ++Tick;
    // With the adapter gone nothing the heater says can arrive: the values are the last ones heard,
    // not the heater's, so the time passes without rows or points. An answer heard before the adapter
    // went cannot vouch for the first tick after it is back.
    if (Port && Port->Lost()) {
        AnswerSinceTick = false;
        ShowRecordingFigures();
        return;
    }
    if (AnswerSinceTick) {
        AnswerSinceTick = false;
        ShowTick(tick);
    } else {
        HeldTicks.append(tick);
    }
    ShowRecordingFigures();
}

void TProduct::ShowRecordingFigures()
{
    View().ShowRecording(Tick - RunLogBeganTick, RunLogLines.RowCount());
}

void TProduct::NoteAnswer()
{
    AnswerSinceTick = true;
    if (Identified)
        ++AnswersSinceIdentified;
    for (const TRecordedTick &tick : std::exchange(HeldTicks, {}))
        ShowTick(tick);
}

void TProduct::ShowTick(const TRecordedTick &tick)
{
    tick.DrawOn(View());
    WriteThrough(RunLogLines.Append(tick.Row));
}

void TProduct::WriteThrough(const QByteArray &line)
{
    if (JournalBroken)
        return;
    const bool written = Journal->IsOpen() ? Journal->Append(line) : Journal->Begin(SerialNumberText, line);
    if (written)
        return;
    Log(TimeText() + QStringLiteral(" The run cannot be written through to \"%1\": %2. It is kept in memory only.")
                         .arg(QDir::toNativeSeparators(Journal->Path()), Journal->Error()));
    Journal->Keep();
    JournalBroken = true;
}

void TProduct::BeginRunLog(const QString &header)
{
    Journal = std::make_unique<TRunJournal>();
    JournalBroken = false;
    RunLogLines.Begin(header);
    WriteThrough(RunLogLines.Bytes());
    LogSaved = false;
    Running = true;
    RunLogBeganTick = Tick;
    ShowRecordingFigures();
}

void TProduct::BeginRecording(const QString &header)
{
    if (Running)
        return;
    View().ClearCharts();
    View().SetSavePath(QString());
    Tick = 1;
    StageStartTick = 0;
    BeginRunLog(header);
}

void TProduct::ResumeRecording(const QString &header)
{
    if (Running)
        return;
    BeginRunLog(header);
}

void TProduct::SaveRecording()
{
    HeldTicks.clear();
    if (!Running)
        return;
    Running = false;
    View().EndRecording();
    WriteRun();
}

void TProduct::WriteRun()
{
    // A run without a single row is no run: nothing is written.
    if (!RunLogLines.HasRows()) {
        Journal->Remove();
        RunLogLines.Clear();
        return;
    }
    const QByteArray bytes = RunLogLines.Bytes();
    const QDateTime ended = QDateTime::currentDateTime();
    RunLogLines.Clear();
    const TRunLogSave saved = SaveRunLog(bytes, SerialNumberText, ended);
    LogSaved = saved.Saved;
    if (saved.Saved) {
        Journal->Remove();
        View().SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(saved.Path));
        View().NoteRunSaved(ModelName(), saved.Path);
        return;
    }
    Unsaved.Add({bytes, SerialNumberText, ended, std::exchange(Journal, std::make_unique<TRunJournal>())});
    ReportFailedSave(saved.Error);
    ScheduleSaveRetry();
}

void TProduct::ReportFailedSave(const QString &error)
{
    // The same cause again (the disk still full) is not repeated every few seconds.
    if (error == LastSaveError)
        return;
    LastSaveError = error;
    Log(TimeText() + QStringLiteral(" The run log was not saved. ") + error
        + QStringLiteral(" The run's rows are kept and saved as soon as the disk allows."));
    ShowNotice(QStringLiteral("The run log was not saved. %1\nThe run's rows are kept; the program saves them by "
                              "itself as soon as it can.")
                   .arg(error));
}

void TProduct::SaveUnsavedRuns()
{
    const TUnsavedRuns::TOutcome outcome = Unsaved.SaveAgain();
    for (const QString &path : outcome.SavedPaths) {
        Log(TimeText() + QStringLiteral(" Log saved to ") + QDir::toNativeSeparators(path));
        View().SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(path));
        View().NoteRunSaved(ModelName(), path);
    }
    if (Unsaved.IsEmpty())
        LastSaveError.clear();
    else
        ReportFailedSave(outcome.Error);
}

void TProduct::ScheduleSaveRetry()
{
    if (SaveRetry)
        return;
    TScheduler &loop = TScheduler::Instance();
    SaveRetry = loop.CallAt(loop.Now() + SaveRetryMs, [this] {
        SaveRetry = 0;
        SaveUnsavedRuns();
        if (!Unsaved.IsEmpty())
            ScheduleSaveRetry();
    });
}

void TProduct::CancelSaveRetry()
{
    if (SaveRetry)
        TScheduler::Instance().Cancel(SaveRetry);
    SaveRetry = 0;
}

void TProduct::BeforeDestroy()
{
    SaveRecording();
    CancelSaveRetry();
    if (Unsaved.IsEmpty())
        return;
    SaveUnsavedRuns();
    for (const QString &journal : Unsaved.JournalPaths())
        Log(TimeText() + QStringLiteral(" The unsaved run is kept for recovery in \"%1\".")
                             .arg(QDir::toNativeSeparators(journal)));
}
