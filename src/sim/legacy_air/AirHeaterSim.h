#pragma once
#include "core/Scheduler.h"
#include "sim/HeaterFaults.h"
#include "sim/HeaterSimulator.h"
#include "sim/LineFaults.h"
#include "sim/legacy_air/AirWire.h"
#include <QList>

// What sets the two heaters of the old command-queue line apart for the simulator.
struct TAirVariant {
    QString Model;                 // the menu caption
    bool FuelPump = true;          // answers the pump-frequency request
    bool Calibration = true;       // answers the two FI calibration requests
    bool OverheatSensor = false;   // request 15 reads the overheat sensor, not the outside air
    quint8 Batch = 5;              // the serial number: batch and seven-digit number
    quint32 Number = 1193046;
    quint8 VersionMajor = 3, VersionMinor = 12;
};

const TAirVariant *FindAirVariant(const QString &model);
QStringList AirVariantModels();

// An old-revision air heater or pre-heater on the line: it answers one command at a time, in order,
// a little after hearing it; it states its identity, its stage and fault, its measured values, runs
// through ignition, burning and switching off after a start, drives its blower, dumps its EEPROM and
// answers the FI calibration.
//
// Failure modes (SetFailureMode):
//   "none"                          everything below off
//   the line faults of TLineFaults  "silence", "bad-crc", "split-frames", "noise"
//   the heater faults of THeaterFaults  "retry-only" (a request is one command code), "restart" (back
//                                   at pause with its blower off; the commands waiting are dropped)
//   "fault-N" (N = 1..255)          reports fault code N with its status; "fault-0" clears it
//   "bad-dump-sum"                  every EEPROM dump carries a wrong sum
//   "no-calibration"                the FI calibration requests go unanswered
class TAirHeaterSim : public THeaterSimulator {
public:
    explicit TAirHeaterSim(const TAirVariant &variant, quint32 seed = 1);
    ~TAirHeaterSim() override;

    void Receive(const QByteArray &bytes) override;
    void LineBaudRateChanged(qint32 bitsPerSecond) override;
    bool SetFailureMode(const QString &name) override;
    QStringList FailureModes() const override;
    void SetSpeed(double factor) override;
    void StartByItself() override;
    void StopByItself() override;
    void CutPower(int ms) override;

    quint8 Stage() const { return HeaterStage; }
    const QByteArray &Eeprom() const { return Image; }
    // Every command heard, in order.
    const QList<quint8> &Heard() const { return HeardCodes; }

    static constexpr int ResponseMs = 20;
    static constexpr quint8 CalibrationValue = 77;

private:
    void AnswerNext();
    std::optional<QByteArray> AnswerTo(quint8 code);
    void StartClock();
    void Step();
    void Enter(quint8 stage);
    // A start (at pause or while switching off) and a stop, from the line or the heater's own control.
    void Ignite();
    void SwitchOff();
    quint8 StatusByte() const;
    void PowerOn();

    TAirVariant Variant;
    AirWire::TRequestReader Reader;
    TLineFaults Line;
    THeaterFaults Faults;
    QByteArray Image;
    QList<quint8> Waiting;
    QList<quint8> HeardCodes;

    quint8 HeaterStage = 0;
    int SecondsInStage = 0;
    bool Blowing = false;
    quint8 FaultCode = 0;
    double PlateC = 18, FlameC = 18;
    bool BadDumpSum = false;
    bool NoCalibration = false;
    bool WrongLineSpeed = false;
    double Speed = 1.0;
    TScheduler::TaskId AnswerTask = 0;
    TScheduler::TaskId StepTask = 0;
};
