#pragma once
#include "sim/current/StageProgramme.h"
#include <QtGlobal>
#include <random>

// The settings a start or a settings change carries (6 bytes on the line).
struct THeaterSettings {
    static constexpr quint16 Unlimited = 0xFFFF;
    quint16 WorkMinutes = 20;
    quint8 WorkMode = 4;
    quint8 Setpoint = 20;
    quint8 Ventilation = 2;
    quint8 Power = 5;
};

// What the heater measures and reports, in engineering units.
struct THeaterValues {
    quint8 Stage = 0;
    quint8 Mode = 0;
    quint32 WorkTime = 0;
    quint32 StageTime = 0;
    quint32 ModeTime = 0;
    double BlowerSet = 0;
    double BlowerActual = 0;
    quint8 PlugPwm = 0; // raw byte
    double FuelPumpHz = 0;
    double FlameC = 0;
    double LiquidC = 0;   // the heat exchanger: the coolant of a liquid heater
    double OverheatC = 0; // the overheat sensor on the heat exchanger
    double PlateC = 0;
    double CabinC = 0;    // the air an external sensor would read
    double Voltage = 12.6;
    bool CirculationPump = false;
    bool FanRelay = false; // the vehicle's fan, once the coolant is warm
    quint8 FaultCode = 0;
};

// The heater itself, one second at a time: its programme after a start (from the model row), the
// blower on its own, fuel priming and the circulation pump, with temperatures and voltages that
// follow what it does. The small jitter on the readings comes from the seed, so a seed always gives
// the same run.
class TCurrentHeaterModel {
public:
    TCurrentHeaterModel(const TStageProgramme &programme, quint32 seed);

    // A start is taken only at rest (stage 0); returns whether it was.
    bool Start(const THeaterSettings &settings);
    void ApplySettings(const THeaterSettings &settings);
    void Stop();
    void SetBlower(quint8 rps);
    void PrepareFuelPumping();
    void PumpFuel(quint8 count);
    void PrepareCirculationPump();
    void RunCirculationPump(quint16 minutes);
    void SetFaultCode(quint8 code) { Now.FaultCode = code; }
    // The control unit starts afresh: at rest, nothing prepared, the run forgotten; what it measures
    // (and a fault it reports) stays as it is.
    void PowerOn();

    // One second of heater time.
    void Step();

    const THeaterValues &Values() const { return Now; }
    const THeaterSettings &Settings() const { return Current; }
    int CirculationPumpSecondsLeft() const { return PumpSecondsLeft; }

private:
    bool AtRest(quint8 mode) const { return Now.Stage == 0 && Now.Mode == mode; }
    void Enter(TStageMode to);
    void FollowProgramme();
    bool Takes(const TStepExit &exit) const;
    TTargets Targets() const;
    void ApplySetPoints();
    void FollowTargets();
    bool RunTimeUsedUp() const;
    int Jitter(int range);

    const TStageProgramme Programme;
    std::mt19937 Rng;
    THeaterValues Now;
    THeaterSettings Current;
    quint8 BlowerRps = 0;
    bool FuelPumpingPrepared = false;
    bool CirculationPumpPrepared = false;
    double StrokesLeft = 0;
    int PumpSecondsLeft = 0;
};
