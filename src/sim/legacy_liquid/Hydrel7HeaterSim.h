#pragma once
#include "core/Scheduler.h"
#include "sim/HeaterFaults.h"
#include "sim/HeaterSimulator.h"
#include "sim/LineFaults.h"
#include "sim/legacy_liquid/Hydrel7Wire.h"
#include <QList>

// A Hydrel-7 liquid heater on the line at 1200 baud. It answers the serial number, version, EEPROM,
// FI and pump-type requests; once asked it streams its status cycle (work time and fault, fuel pump
// and blower, relay, plug, voltage and stage, plate temperature, liquid and flame temperatures, and
// the end of the cycle) once a second; a start runs it through test, ignition, warming up and
// burning until a stop, which purges it back to pause. Start and stop are confirmed.
//
// Failure modes (SetFailureMode):
//   "none"                 everything below off
//   the line faults of TLineFaults  "silence" (still hears and obeys), "bad-crc", "split-frames", "noise"
//   the heater faults of THeaterFaults  "retry-only" (a request is its code with its data byte),
//                          "restart" (back at pause, work time zero, nothing streamed)
//   "fault-N" (N = 1..255) reports fault code N while it runs; "fault-0" clears it
//   "fi-unanswered"        leaves the FI requests unanswered
//   "unconfirmed-once"     leaves the next start or stop request unconfirmed (it still obeys)
//   "edr-unanswered"       leaves EEPROM requests unanswered
class THydrel7HeaterSim : public THeaterSimulator {
public:
    explicit THydrel7HeaterSim(quint32 seed = 1);
    ~THydrel7HeaterSim() override;

    void Receive(const QByteArray &bytes) override;
    void LineBaudRateChanged(qint32 bitsPerSecond) override;
    bool SetFailureMode(const QString &name) override;
    QStringList FailureModes() const override;
    void SetSpeed(double factor) override;
    void StartByItself() override;
    void StopByItself() override;
    void CutPower(int ms) override;
    void SetIdentity(quint8 serialHigh, quint32 serialLow);

    bool Streaming() const { return StatusTask != 0; }
    quint8 Stage() const { return CurrentStage; }
    quint8 PumpType() const { return PumpTypeValue; }
    const QByteArray &Eeprom() const { return EepromImage; }
    // The code of every request heard, in order.
    const QList<quint8> &Heard() const { return HeardCodes; }

    static constexpr qint32 BaudRate = 1200;
    static constexpr int CyclePeriodMs = 1000;
    static constexpr int StepMs = 1000;

private:
    void Handle(const SimHydrel7::TRequest &request);
    void Reply(quint8 code, quint8 b5 = 0, quint8 b6 = 0, quint8 b7 = 0, quint8 b8 = 0);
    bool Confirm();
    void StartClock();
    void Step();
    void EnterStage(quint8 stage);
    // A start (at pause) and a stop (purging first), from the line or the heater's own control.
    void Ignite();
    void SwitchOff();
    void SendCycle();
    void PowerOn();

    SimHydrel7::TRequestReader Reader;
    QList<quint8> HeardCodes;
    TLineFaults Line;
    THeaterFaults Faults;
    QByteArray EepromImage;
    quint8 SerialHigh = 12;
    quint32 SerialLow = 345678;

    // The heater itself.
    quint8 CurrentStage = 0;
    int SecondsInStage = 0;
    int WorkSeconds = 0;
    double Liquid = 18;
    double FlameKelvin = 291;
    quint8 FaultCode = 0;
    quint8 FiStored = 72;
    quint8 PumpTypeValue = 1;
    bool Alternate = false;

    bool WrongLineSpeed = false;
    bool FiUnanswered = false;
    bool EdrUnanswered = false;
    bool SkipNextConfirmation = false;
    double Speed = 1.0;
    TScheduler::TaskId StepTask = 0;
    TScheduler::TaskId StatusTask = 0;
};
