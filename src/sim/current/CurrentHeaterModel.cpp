#include "sim/current/CurrentHeaterModel.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr quint8 Pause = 1;
constexpr quint8 FuelPumping = 4;
constexpr double PrimingHz = 2.5;

// Power levels 0..3 burn low, 4..6 medium, 7..9 high.
bool WantsMedium(quint8 power) { return power >= 4; }
bool WantsHigh(quint8 power) { return power >= 7; }

} // namespace

TCurrentHeaterModel::TCurrentHeaterModel(quint8 blowerMode, quint32 seed) : BlowerMode(blowerMode), Rng(seed)
{
    Now.FlameC = AmbientC;
    Now.LiquidC = AmbientC;
    Now.PlateC = AmbientC + 2;
}

bool TCurrentHeaterModel::Start(const THeaterSettings &settings)
{
    if (Now.Stage != 0)
        return false;
    Current = settings;
    BlowerRps = 0;
    StrokesLeft = 0;
    Now.WorkTime = 0;
    Enter(1, 1);
    return true;
}

void TCurrentHeaterModel::ApplySettings(const THeaterSettings &settings)
{
    Current = settings;
}

void TCurrentHeaterModel::Stop()
{
    if (Now.Stage >= 1 && Now.Stage <= 3)
        Enter(4, 0);
    else if (Now.Stage == 0 && Now.Mode != Pause) {
        BlowerRps = 0;
        StrokesLeft = 0;
        Enter(0, Pause);
    }
}

void TCurrentHeaterModel::SetBlower(quint8 rps)
{
    // Only a heater at rest lends its blower out; while it burns, the burner decides the speed.
    if (Now.Stage != 0 || Now.Mode == FuelPumping)
        return;
    BlowerRps = rps;
    if (rps > 0 && Now.Mode != BlowerMode) {
        Now.WorkTime = 0;
        Enter(0, BlowerMode);
    } else if (rps == 0 && Now.Mode == BlowerMode) {
        Enter(0, Pause);
    } else {
        ApplySetPoints();
    }
}

void TCurrentHeaterModel::PrepareFuelPumping()
{
    FuelPumpingPrepared = true;
}

void TCurrentHeaterModel::PumpFuel(quint8 count)
{
    const bool prepared = FuelPumpingPrepared;
    FuelPumpingPrepared = false;
    if (!prepared || count == 0 || Now.Stage != 0 || Now.Mode == BlowerMode)
        return;
    StrokesLeft = count;
    Now.WorkTime = 0;
    Enter(0, FuelPumping);
}

void TCurrentHeaterModel::PrepareCirculationPump()
{
    CirculationPumpPrepared = true;
}

void TCurrentHeaterModel::RunCirculationPump(quint16 minutes)
{
    if (!CirculationPumpPrepared)
        return;
    CirculationPumpPrepared = false;
    PumpSecondsLeft = int(minutes) * 60;
}

void TCurrentHeaterModel::Enter(quint8 stage, quint8 mode)
{
    if (stage != Now.Stage)
        Now.StageTime = 0;
    Now.Stage = stage;
    Now.Mode = mode;
    Now.ModeTime = 0;
    ApplySetPoints();
}

void TCurrentHeaterModel::ApplySetPoints()
{
    // What the controller commands changes at once; what it measures follows in Step.
    const TTargets target = Targets();
    Now.BlowerSet = target.Blower;
    Now.FuelPumpHz = target.FuelHz;
    Now.PlugPwm = target.PlugPwm;
}

bool TCurrentHeaterModel::RunTimeUsedUp() const
{
    return Current.WorkMinutes != THeaterSettings::Unlimited && Now.WorkTime >= quint32(Current.WorkMinutes) * 60;
}

int TCurrentHeaterModel::Jitter(int range)
{
    return int(Rng() % quint32(2 * range + 1)) - range;
}

void TCurrentHeaterModel::Step()
{
    ++Now.StageTime;
    ++Now.ModeTime;
    if (!(Now.Stage == 0 && Now.Mode == Pause))
        ++Now.WorkTime;
    if (PumpSecondsLeft > 0)
        --PumpSecondsLeft;

    const quint8 power = Current.Power;
    switch (Now.Stage * 16 + Now.Mode) {
    case 0 * 16 + FuelPumping:
        StrokesLeft -= PrimingHz;
        if (StrokesLeft <= 0) {
            StrokesLeft = 0;
            Enter(0, Pause);
        }
        break;
    case 1 * 16 + 1: // waiting
        if (Now.ModeTime >= 3)
            Enter(2, 1);
        break;
    case 2 * 16 + 1: // plug heating
        if (Now.ModeTime >= 12)
            Enter(2, 2);
        break;
    case 2 * 16 + 2: // preparing to ignition
        if (Now.ModeTime >= 5)
            Enter(2, 3);
        break;
    case 2 * 16 + 3: // ignition: the flame indicator warming up proves the flame
        if (Now.FlameC >= 120)
            Enter(3, 0);
        break;
    case 3 * 16 + 0: // low
        if (Now.ModeTime >= 20 && WantsMedium(power))
            Enter(3, 1);
        break;
    case 3 * 16 + 1: // low to medium
        if (Now.ModeTime >= 10)
            Enter(3, 8);
        break;
    case 3 * 16 + 8: // medium
        if (!WantsMedium(power))
            Enter(3, 0);
        else if (WantsHigh(power) && Now.ModeTime >= 10)
            Enter(3, 2);
        break;
    case 3 * 16 + 2: // high
        if (!WantsHigh(power))
            Enter(3, 3);
        break;
    case 3 * 16 + 3: // high to low
        if (Now.ModeTime >= 10)
            Enter(3, 0);
        break;
    case 4 * 16 + 0: // switching off: purge until the chamber is cool
        if (Now.ModeTime >= 30) {
            BlowerRps = 0;
            Enter(0, Pause);
        }
        break;
    default:
        break;
    }
    if (Now.Stage == 3 && RunTimeUsedUp())
        Enter(4, 0);
    FollowTargets();
}

TCurrentHeaterModel::TTargets TCurrentHeaterModel::Targets() const
{
    TTargets target;
    switch (Now.Stage * 16 + Now.Mode) {
    case 0 * 16 + FuelPumping: target.FuelHz = PrimingHz; break;
    case 2 * 16 + 1: target = {15, 0, 55, AmbientC}; break;
    case 2 * 16 + 2: target = {25, 0, 55, AmbientC}; break;
    case 2 * 16 + 3: target = {25, 0.9, 50, 200}; break;
    case 3 * 16 + 0: target = {35, 1.1, 0, 180}; break;
    case 3 * 16 + 1: target = {45, 1.6, 0, 220}; break;
    case 3 * 16 + 8: target = {55, 1.9, 0, 260}; break;
    case 3 * 16 + 2: target = {75, 2.4, 0, 340}; break;
    case 3 * 16 + 3: target = {45, 1.6, 0, 220}; break;
    case 4 * 16 + 0: target = {60, 0, 0, AmbientC}; break;
    default:
        if (Now.Stage == 0 && Now.Mode == BlowerMode)
            target.Blower = BlowerRps;
        break;
    }
    return target;
}

void TCurrentHeaterModel::FollowTargets()
{
    ApplySetPoints();
    const TTargets target = Targets();
    Now.BlowerActual += std::round((target.Blower - Now.BlowerActual) * 0.5);
    if (target.Blower > 0)
        Now.BlowerActual = std::max(0.0, Now.BlowerActual + Jitter(1));
    Now.FlameC += (target.FlameC - Now.FlameC) * 0.15;
    // The coolant takes the burner's heat and loses some to the engine block and the air around it.
    Now.LiquidC = std::min(85.0, Now.LiquidC + target.FuelHz * 0.8 - (Now.LiquidC - AmbientC) * 0.004);
    Now.PlateC += (AmbientC + 2 + (Now.LiquidC - AmbientC) * 0.3 - Now.PlateC) * 0.05;
    const double load = (target.PlugPwm > 0 ? 0.5 : 0.0) + target.Blower * 0.004;
    Now.Voltage = std::round((12.6 - load) * 10 + Jitter(1)) / 10;
}
