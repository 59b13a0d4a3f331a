#pragma once
#include "product/Product.h"
#include <QStringList>
#include <array>

// What the four current-family handlers share: the frame layer, the search and watchdog, the status
// scheme and its presentation, the recording, the EDR reader and the command set. A model supplies
// its names, its status offsets, its texts and its grid, row and report details.
class TCurrentProduct : public TProduct {
public:
    void ParseData() override;
    void TimerEvent(QObject *sender) override;
    void ErTimerEvent(QObject *sender) override;
    void TransmitTimerEvent(QObject *sender) override;
    void OnSearchTimer(QObject *sender) override;
    void ReadEDR() override;
    void RequestSerialNumber() override;
    void RequestVersion() override;
    void StartPolling() override;
    void StopPolling() override;
    void Start() override;
    void StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                           quint8 power) override;
    void ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                       quint8 power) override;
    void Stop() override;
    void SetBlower(quint8 rps) override;
    void PumpFuel(quint8 count) override;

    // Builds one frame and writes it; errors are logged, never raised.
    void SendCommand(quint8 address, quint8 subAddress, quint8 command, const QByteArray &payload = {});

    // The plug voltage computed from PlugPwm and Voltage; may be negative.
    double PlugVoltage() const;
    // "-" without a fault, else "[code]" and the fault's name.
    QString MakeFaultText(quint8 code) const;

    bool Identified = false;
    // Seconds of the current recording and the tick at which the current stage began.
    qint64 Tick = 0;
    qint64 StageStartTick = 0;
    static constexpr int EepromSize = 1024;
    std::array<quint8, EepromSize> EepromImage{};
    bool EepromAnswered = false;
    int EepromWait = 0;

protected:
    // The name in the main window's title ("Hydrel-7S").
    virtual QString TitleName() const = 0;
    // The name in the refusals ("Unable to perform: Hydrel-7S launched.").
    virtual QString RefusalName() const = 0;
    virtual QString SearchingTitle() const;
    QString IdentifiedTitle() const;
    // The identification requests of one search tick; false when a wait was cut short by tear-down.
    virtual bool SearchBurst();

    // Status answer: the model's fields from a normal status answer (length byte >= 7).
    virtual void DecodeStatusFields(const QByteArray &frame) = 0;
    virtual void DecodeSerialNumber(const QByteArray &frame);
    virtual void DecodeVersion(const QByteArray &frame);
    // Fault names by code; an empty text means the code has no name.
    virtual QString FaultName(quint8 code) const = 0;
    // Whether a command-1 answer is the short start acknowledgement.
    virtual bool IsStartAcknowledgement(const QByteArray &frame) const;

    // Presentation and recording, per model.
    virtual void FillStringGrid() = 0;
    virtual void AddChartPoints(double x) = 0;
    virtual QString RunLogRow() const = 0;
    virtual QString RunLogHeader() const = 0;
    virtual QString PumpFuelRunLogHeader() const = 0;
    // Stop and re-arm tests of a status answer, run before its times are decoded.
    virtual void ApplyRecordingTests();

    // Commands, per model.
    virtual QString PumpFuelRefusal() const = 0;
    virtual bool BlowerAllowedWhileLaunched() const = 0;

    // The EDR: the blocks to read and the report of the image.
    struct TEdrBlocks {
        int Count;
        int Length;
        int PauseMs; // wait before each block
    };
    virtual TEdrBlocks EdrBlocks() const { return {4, 64, 300}; }
    virtual QStringList EdrReport() const = 0;
    virtual QString EdrRefusal() const = 0;

    // A byte of a received frame; offsets beyond the payload read as 0.
    static quint8 FrameByte(const QByteArray &frame, int offset);
    static quint32 FrameBE(const QByteArray &frame, int offset, int width);

    // Recording.
    void BeginRecording(const QString &header);
    // Ends the recording and writes the run log once per begin; raises an error if it cannot be written.
    void SaveRecording();
    // Saves a run that would otherwise be lost (connection lost, handler destroyed).
    void SaveUnsavedRun(const QString &operation);
    void FillLog();
    void FillCharts();
    void BeforeDestroy() override;

    // Clears identity, state and measurements after a connection loss (TempExternal stays).
    virtual void ClearDecodedValues();

    // TCorvaMini's send guards: no write to a closed port, and a missing ErTimer is reported.
    bool GuardedSend = false;

private:
    void DispatchFrame(const QByteArray &frame);
    void DecodeStatus(const QByteArray &frame);
    void DecodeEepromBlock(const QByteArray &frame);
    // One block with its attempts; false when it stayed unanswered or the handler is going away.
    enum class TBlockResult { Answered, Unanswered, TornDown };
    TBlockResult ReadEepromBlock(int address, int length);
    QByteArray SettingsPayload(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                               quint8 power) const;
    void RefuseLaunched() const;

    bool Parsing = false;
};
