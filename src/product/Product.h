#pragma once
#include "core/Scheduler.h"
#include "product/Presentation.h"
#include "product/RecordedTick.h"
#include "product/RunJournal.h"
#include "product/RunLog.h"
#include "product/UnsavedRuns.h"
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QObject;
class TTimer;
class TComPort;
class TLogMemo;

// The abstract product handler: one per heater model, exactly one alive at a time (CurrentProduct).
// It owns its four timers, its receive buffer, its decoded values and the run being recorded; it uses
// the shared port, the log and the windows (through the presentation interface). The link cycle that
// every family shares lives here: the search tick, the reply watchdog, the connection loss, the
// recording and the once-a-second presentation. A family supplies its frames, decoders, texts,
// periods and tables; operations a model does not have refuse with a message box.
class TProduct {
public:
    TProduct();
    virtual ~TProduct();
    TProduct(const TProduct &) = delete;
    TProduct &operator=(const TProduct &) = delete;

    // "TOrvel" and the like: used in log lines and by the control panel's class checks.
    virtual QString ClassName() const = 0;
    // The model's menu caption, e.g. "Hydrel-7S".
    virtual QString ModelName() const = 0;

    // The operations that the timers and the windows call.
    virtual void UpdateStateText() = 0;
    virtual void ParseData() = 0;
    virtual void TimerEvent(QObject *sender) = 0;
    // Counts a silent interval; past the watchdog limit the connection is lost.
    virtual void ErTimerEvent(QObject *sender);
    // The presentation tick: the grid, then while a run is recorded the charts and the run log.
    virtual void TransmitTimerEvent(QObject *sender);
    // Identification requests until the heater answers, then the status flow.
    virtual void OnSearchTimer(QObject *sender);
    virtual void ReadEDR() = 0;
    virtual void RequestSerialNumber() = 0;
    virtual void RequestVersion() = 0;
    virtual void StartPolling() = 0;
    virtual void StopPolling() = 0;
    virtual void Start() = 0;
    virtual void StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                                   quint8 power);
    virtual void ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                               quint8 power);
    virtual void Stop() = 0;
    virtual void SetBlower(quint8 rps) = 0;
    virtual void PumpFuel(quint8 count);
    virtual void CalibrateFI();
    virtual void ApplySettingsOld(quint8 workMode, quint8 setpointIndex, quint8 rcSetpointIndex,
                                  quint8 power);
    virtual void SetPumpType(bool bosch);
    virtual void RunPump(quint16 minutes);

    // What in the heater's answers since it was identified does not fit this model, as short facts
    // ("supply 0 V", "flame indicator -148 °C"); empty while everything fits.
    virtual QStringList MisfitFacts() const;

    // The port's receive event: reads count bytes, appends them to RxData, calls ParseData.
    void ComPortRxChar(QObject *sender, int count);

    // Index of the first byte equal to value, or -1.
    static int FindByte(quint8 value, const QByteArray &bytes);
    // Waits ms while timers fire and bytes are parsed. Returns false, at once and without waiting,
    // once the handler is to be torn down: a waiting operation must then end.
    bool Delay(int ms);

    // Tear-down, called by the main window before deleting the handler: the family's last duties
    // (such as saving a recorded run), then the timers and the port binding in their fixed order.
    void Destroy();
    // True while an operation of this handler waits in Delay.
    bool Busy() const { return DelayDepth > 0; }
    // Asks for the handler to be replaced or the program closed: every Delay returns at once from
    // now on, and whenReleased runs (from the event loop) once no operation waits any more.
    void RequestTearDown(std::function<void()> whenReleased);

    // The heater's memory as the last completed EDR reading left it; empty for a model without one.
    virtual QByteArray EdrImage() const { return {}; }

    // The run being recorded: its CSV header and one row per presentation tick.
    QStringList RunLog() const { return RunLogLines.Lines(); }
    // The stage key's colour of a stage number, for the families whose stages 0..4 are the key's five.
    static std::optional<QColor> StageKeyColor(int stage);

    // Shared fields, in the order of the handler record.
    bool EdrReading = false;
    bool Running = false;
    bool StartRequested = false;
    bool StatusActive = false;
    bool LogSaved = false;
    TTimer *Timer = nullptr;
    qint32 ErrorCount = 0;
    TTimer *ErTimer = nullptr;
    TTimer *TransmitTimer = nullptr;
    TTimer *SearchTimer = nullptr;
    QByteArray RxData;
    TComPort *Port = nullptr;
    QString VersionText;
    QString SerialNumberText;
    QString SerialLowText;
    qint32 SerialHigh = 0;
    QString SerialHighText;
    qint32 SerialLow = 0;
    QString StateText;
    quint8 Stage = 0;
    quint8 PrevStage = 0;
    quint8 Mode = 0;
    qint32 WorkTime = 0;
    qint32 StageTime = 0;
    qint32 ModeTime = 0;
    quint8 FaultCode = 0;
    QString FaultText;
    quint8 RawByte[4] = {0, 0, 0, 0};
    // Measurement values with a fixed role in every family.
    double Voltage = 0;
    double FlameIndicator = 0;
    double TempExternal = 0;
    double TempPlate = 0;
    double BlowerSet = 0;
    double BlowerActual = 0;
    double FuelPumpFrequency = 0;
    double PlugPwm = 0;
    // Temperatures that some families measure.
    double TempLiquid = 0;
    double TempLiquid1 = 0;
    double TempLiquid2 = 0;
    double TempOverheat = 0;
    double TempOut = 0;
    quint8 RawValue[2] = {0, 0};
    TLogMemo *LogMemo = nullptr;
    // Set by the version answer, cleared by a connection loss.
    bool Identified = false;
    // The presentation clock: ticks of the current recording and the tick at which the stage began.
    qint64 Tick = 0;
    qint64 StageStartTick = 0;

protected:
    // The windows; never null (a handler without windows talks to one that shows nothing).
    TPresentation &View() const { return *Presentation; }

    // Link cycle hooks.
    virtual QString SearchingTitle() const = 0;
    // The first log line of a search tick.
    virtual void LogSearchTick() const;
    // The identification requests of one search tick; false when a wait was cut short by tear-down.
    // By default the stream is stopped twice, then serial number and version are asked for.
    virtual bool SearchBurst();
    // Starts the status flow once the heater is identified: the keep-alive timer and the stream.
    virtual void BeginPolling();
    // Consecutive silent watchdog intervals that are tolerated; the next one loses the connection.
    virtual int WatchdogLimit() const { return 5; }
    // A valid frame arrived: the watchdog starts a new full interval.
    void RestartWatchdog();
    // The heater has answered its identification: Identified is set and the windows are told.
    void MarkIdentified();
    // An answer this model cannot give (an identity or status answer of another length): a fact for
    // the warning that the chosen model does not fit, kept until the connection is lost.
    void NoteMisfit(const QString &fact);
    // Warns at once with the facts noted: for a fact that the line proves by itself, without waiting
    // for the values to be judged.
    void WarnMisfit();
    // Consecutive presentation ticks a value that no heater can show must last before it counts. One
    // for a line whose frames carry a checksum strong enough that noise does not pass for an answer;
    // a family whose answers noise can imitate waits until the value has been asked again.
    virtual int MisfitTicks() const { return 1; }
    // Clears identity, state and measurements after a connection loss; a family keeps what its
    // heater's sensors still tell.
    virtual void ClearDecodedValues();
    // A line of the model's own timer tracing (" TimerEvent" and the like); none by default.
    virtual void TraceTimerEvent(const QString &) const {}

    // Presentation hooks.
    virtual void FillStringGrid() = 0;
    // One point per series of the current values at x, to the charts given.
    virtual void AddChartPoints(TPresentation &charts, double x) = 0;
    // The band colour of the current stage, or none for a stage without one.
    virtual std::optional<QColor> StageBandColor() const;
    virtual QString RunLogRow() const = 0;
    // One tick of the run: its chart points, stage bars and run-log row.
    void RecordTick();

    // Recording: the one lifecycle of a run, the same for every family. Families call these and never
    // set Running or LogSaved themselves.
    // A run begins (a start from the panel, fuel pumping, blowing from standstill): the graphs are
    // cleared, a new run log with this header and its journal begin. A run already recorded (the
    // heater was found running while the start was still on its way) goes on instead of being split.
    void BeginRecording(const QString &header);
    // The heater runs without a start of ours (found running, started from its own control, back
    // after a loss still burning): recorded from now on as a run of its own, the graphs kept.
    void ResumeRecording(const QString &header);
    // The run ends (the heater back at rest, the line lost, the handler going): the ticks that no
    // answer confirmed go, the rest is written to its file.
    void SaveRecording();
    // A status answer of the heater: the ticks kept back since the last one are shown and recorded.
    // Only an answer that carries the values a row holds confirms it: a reply to a keep-alive or a
    // command proves the line alive, not the row's values.
    void NoteAnswer();

    // The family's last duty before the timers go; a recorded run is saved here.
    virtual void BeforeDestroy();
    // One line to LogMemo, when it is set.
    void Log(const QString &line) const;
    // One line straight to the log window's memo, whatever LogMemo is (tear-down and tracing lines).
    void LogToProgram(const QString &line) const;
    // The time of day as the log lines begin with it.
    static QString TimeText();
    // "<time> <Class>.<operation>(<args>) Exception: <ErrorClass>: <message>"
    void LogOperationError(const QString &operation, const QString &arguments,
                           const std::exception &error) const;
    // "<time> <Class>.<operation> Exception: <message>"
    void LogOperationError(const QString &operation, const std::exception &error) const;
    // The main window's title, the connection status line.
    void SetTitle(const QString &title) const;
    static QString SenderName(QObject *sender);
    // Shows the refusal for an operation this model does not have.
    void RefuseUnsupported(const QString &operation) const;

private:
    void ReleaseTimers();
    // Warns once per identification, in the log and the status bar, when the answers do not fit.
    void CheckFit();
    // Starts the fit check afresh for the next identification.
    void ForgetFit();
    // The connection state for the windows, passed on only when it changes.
    void ReportConnection(TConnectionState state, const QString &detail = QString());
    // True when the port went away and did not come back on this tick's attempt.
    bool AdapterAway();
    // The port reports that it cannot read any more (the adapter was pulled out): shown at once.
    void AdapterLost();
    // An error of a write or read on a port whose adapter is away: the loss has been logged once.
    bool PortAwayError(const std::exception &error) const;

    TPresentation *Presentation;
    TLogMemo *ProgramLog;
    TRunLog RunLogLines;
    // The tick at which the run log being recorded began: each tick since is one second of the run.
    qint64 RunLogBeganTick = 0;
    // The run written through to the disk while it is recorded.
    std::unique_ptr<TRunJournal> Journal = std::make_unique<TRunJournal>();
    bool JournalBroken = false;
    // A status answer came since the last tick; the ticks since the last answer, not yet shown.
    bool AnswerSinceTick = false;
    QList<TRecordedTick> HeldTicks;
    // Runs whose file could not be written, and the next attempt to write them.
    TUnsavedRuns Unsaved;
    TScheduler::TaskId SaveRetry = 0;
    QString LastSaveError;
    // A tick's points to the graphs and its row to the run log and the journal.
    void ShowTick(const TRecordedTick &tick);
    // A new run log (and journal) with this header.
    void BeginRunLog(const QString &header);
    void WriteThrough(const QByteArray &line);
    // The run's length and rows to the status bar.
    void ShowRecordingFigures();
    // Writes the run's file, or keeps the run among the unsaved ones; the run log is empty afterwards.
    void WriteRun();
    void ReportFailedSave(const QString &error);
    void SaveUnsavedRuns();
    void ScheduleSaveRetry();
    void CancelSaveRetry();
    int DelayDepth = 0;
    bool TearDownWanted = false;
    bool TearingDown = false;
    bool TornDown = false;
    std::function<void()> WhenReleased;
    std::optional<std::pair<TConnectionState, QString>> ReportedConnection;
    QStringList NotedMisfits;
    int AnswersSinceIdentified = 0;
    int TicksSinceIdentified = 0;
    // Per measured value out of what a heater can show: the fact, and for how many ticks in a row.
    QHash<QString, std::pair<QString, int>> ValueMisfits;
    void TrackValueMisfits();
    bool MisfitWarned = false;
    // The warning given last: a heater that is found again after every loss is not warned about
    // again in the same words (the status bar still shows it).
    QString LastMisfitWarning;
};
