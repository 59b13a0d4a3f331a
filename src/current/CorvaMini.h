#pragma once
#include "current/CurrentProduct.h"

// The pre-heater's fault names by code; empty for a code without a name.
QString CorvaMiniFaultName(quint8 code);

// The pre-heater "Corva-Mini" on the current protocol, at 19200 baud. Each search tick wakes it with
// two byte pairs at 2400 baud; it traces its timer events into the log window and guards its writes.
class TCorvaMini : public TCurrentProduct {
public:
    TCorvaMini();

    QString ClassName() const override { return QStringLiteral("TCorvaMini"); }
    QString ModelName() const override { return QStringLiteral("Corva-mini"); }

    void UpdateStateText() override;
    void Start() override;
    void SetBlower(quint8 rps) override;
    // Not offered by this heater: refused as by any model without them.
    void StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                           quint8 power) override;
    void ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power) override;
    void PumpFuel(quint8 count) override;
    QString RunLogRow() const override;
    QString RunLogHeader() const override;

    // The pump and relay states of the status answer.
    quint8 Pump() const { return RawValue[0]; }
    quint8 Relay() const { return RawValue[1]; }

protected:
    void LogSearchTick() const override;
    bool SearchBurst() override;
    void TraceTimerEvent(const QString &event) const override;
    void WriteFrame(const QByteArray &frame) override;
    // A wake-up pair at the slow speed, written and noted like a frame.
    void WriteWakeUp(const QByteArray &pair);
    void ArmWatchdogOnSend() override;

    bool IsStartAcknowledgement(const QByteArray &frame) const override;
    void ApplyRecordingTests() override;
    void DecodeStatusFields(const QByteArray &frame) override;
    QString FaultName(quint8 code) const override;
    void FillStringGrid() override;
    void AddChartPoints(TPresentation &charts, double x) override;
    bool BlowerAllowedWhileLaunched() const override { return false; }
    TEdrBlocks EdrBlocks() const override { return {16, 64, 200}; }
    QStringList EdrReport() const override;
};
