#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QObject;
class TTimer;
class TSerialPort;
class TLogMemo;
class TStringGrid;

// The abstract product handler: one per heater model, exactly one alive at a time (CurrentProduct).
// It owns its four timers, its receive buffer and its decoded values; it uses the shared port, the
// log and the windows. Families implement the protocol operations; operations a model does not have
// refuse with a message box.
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
    virtual void ErTimerEvent(QObject *sender) = 0;
    virtual void TransmitTimerEvent(QObject *sender) = 0;
    virtual void OnSearchTimer(QObject *sender) = 0;
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
    TSerialPort *Port = nullptr;
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
    TStringGrid *DataGrid = nullptr;

protected:
    // The family's last duty before the timers go (a recorded run is saved here).
    virtual void BeforeDestroy() {}
    // One line to LogMemo, when it is set.
    void Log(const QString &line) const;
    // The time of day as the log lines begin with it.
    static QString TimeText();
    // "<time> <Class>.<operation>(<args>) Exception: <ErrorClass>: <message>"
    void LogOperationError(const QString &operation, const QString &arguments,
                           const std::exception &error) const;
    // "<time> <Class>.<operation> Exception: <message>"
    void LogOperationError(const QString &operation, const std::exception &error) const;
    // The main window's title, the connection status line.
    static void SetTitle(const QString &title);
    // Shows the refusal for an operation this model does not have.
    void RefuseUnsupported(const QString &operation) const;

private:
    void ReleaseTimers();

    int DelayDepth = 0;
    bool TearDownWanted = false;
    bool TearingDown = false;
    bool TornDown = false;
    std::function<void()> WhenReleased;
};
