#pragma once
#include "current/CurrentModel.h"
#include "product/Product.h"
#include <QStringList>
#include <array>

// What the four current-family handlers share: the frame layer, the search requests, the status
// scheme, the recording triggers, the EDR reader and the command set. A model supplies its
// descriptor, its status offsets, its texts and its grid, row and report details.
class TCurrentProduct : public TProduct {
public:
    // Applies the model's descriptor: port speed, title, windows; then the search begins.
    explicit TCurrentProduct(const TCurrentModel &model);

    void ParseData() override;
    QByteArray EdrImage() const override
    {
        return QByteArray(reinterpret_cast<const char *>(EepromImage.data()), EepromSize);
    }
    void TimerEvent(QObject *sender) override;
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

    // The run log's header for a run and for fuel pumping (by default the same).
    virtual QString RunLogHeader() const = 0;
    virtual QString PumpFuelRunLogHeader() const { return RunLogHeader(); }
    using TProduct::RunLogRow;

    static constexpr int EepromSize = 1024;
    std::array<quint8, EepromSize> EepromImage{};
    bool EepromAnswered = false;
    int EepromWait = 0;

protected:
    const TCurrentModel &Model;
    // The stream was asked for and not switched off since; a status came since the last keep-alive.
    bool StreamAsked = false;
    bool StatusSinceTick = false;

    QString SearchingTitle() const override;
    QString IdentifiedTitle() const;
    // The external sensor keeps its last reading when the line is lost.
    void ClearDecodedValues() override;

    // Writes a built frame to the port, and arms the reply watchdog after a command went out.
    virtual void WriteFrame(const QByteArray &frame);
    virtual void ArmWatchdogOnSend();

    // Status answer: the model's fields from a normal status answer.
    virtual void DecodeStatusFields(const QByteArray &frame) = 0;
    // Fault names by code; an empty text means the code has no name.
    virtual QString FaultName(quint8 code) const = 0;
    // Whether a command-1 answer is the short start acknowledgement.
    virtual bool IsStartAcknowledgement(const QByteArray &frame) const;
    // Stop and re-arm tests of a status answer, run before its times are decoded.
    virtual void ApplyRecordingTests();

    // Whether the blower may be set while the heater runs (in its ventilation mode, say).
    virtual bool BlowerAllowedWhileLaunched() const = 0;

    // The EDR: the blocks to read and the report of the image.
    struct TEdrBlocks {
        int Count;
        int Length;
        int PauseMs; // wait before each block
    };
    virtual TEdrBlocks EdrBlocks() const { return {4, 64, 300}; }
    virtual QStringList EdrReport() const = 0;

    // A byte of a received frame; offsets beyond the payload read as 0.
    static quint8 FrameByte(const QByteArray &frame, int offset);
    static quint32 FrameBE(const QByteArray &frame, int offset, int width);

private:
    void DispatchFrame(const QByteArray &frame);
    void DecodeStatus(const QByteArray &frame);
    void DecodeSerialNumber(const QByteArray &frame);
    void DecodeVersion(const QByteArray &frame);
    void DecodeEepromBlock(const QByteArray &frame);
    // One block with its attempts; false when it stayed unanswered or the handler is going away.
    enum class TBlockResult { Answered, Unanswered, TornDown, Cancelled };
    TBlockResult ReadEepromBlock(int address, int length);
    QByteArray SettingsPayload(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                               quint8 power) const;
    void RefuseLaunched() const;

    bool Parsing = false;
};
