// Presentation and recording of a run: once a second the grid, and while a run is recorded one
// chart point per series, one stage bar and one run-log row. The run log is begun by a start, saved
// to a file once the heater is back at rest, and never lost when the line or the handler goes away.
#include "product/Product.h"
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
    static const QColor stageColors[] = {StageColor::Pause, StageColor::Preparing, StageColor::Ignition,
                                         StageColor::Burning, StageColor::SwitchingOff};
    if (Stage <= 4)
        return stageColors[Stage];
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
    RunLogLines.Append(RunLogRow());
}

void TProduct::BeginRecording(const QString &header)
{
    View().ClearCharts();
    View().SetSavePath(QString());
    Tick = 1;
    StageStartTick = 0;
    RunLogLines.Begin(header);
    Running = true;
    LogSaved = false;
}

void TProduct::ResumeRecording(const QString &header)
{
    if (RunLogLines.IsEmpty())
        RunLogLines.Begin(header);
    Running = true;
    LogSaved = false;
}

void TProduct::SaveRecording()
{
    Running = false;
    if (!LogSaved) {
        const TRunLogSave saved = SaveRunLog(RunLogLines.Bytes(), SerialNumberText, QDateTime::currentDateTime());
        // The lines stay for the next save.
        if (!saved.Saved)
            throw Exception(saved.Error);
        View().SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(saved.Path));
        LogSaved = true;
    }
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
