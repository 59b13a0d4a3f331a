#include "sim/current/CurrentHeaterModel.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr double FanRelayC = 40.0;
} // namespace

TCurrentHeaterModel::TCurrentHeaterModel(const TStageProgramme &programme, quint32 seed)
    : Programme(programme), Rng(seed)
{
    Now.Mode = Programme.PauseMode;
    Now.FlameC = AmbientC;
    Now.LiquidC = AmbientC;
    Now.OverheatC = AmbientC;
    Now.PlateC = AmbientC + 2;
    Now.CabinC = AmbientC;
}

bool TCurrentHeaterModel::Start(const THeaterSettings &settings)
{
    if (Now.Stage != 0)
        return false;
    Current = settings;
    BlowerRps = 0;
    StrokesLeft = 0;
    Now.WorkTime = 0;
    Enter(Programme.Start);
    return true;
}

void TCurrentHeaterModel::ApplySettings(const THeaterSettings &settings)
{
    Current = settings;
}

void TCurrentHeaterModel::Stop()
{
    if (Now.Stage != 0 && Now.Stage != Programme.SwitchOff.Stage)
        Enter(Programme.SwitchOff);
    else if (Now.Stage == 0 && Now.Mode != Programme.PauseMode) {
        BlowerRps = 0;
        StrokesLeft = 0;
        Enter({0, Programme.PauseMode});
    }
}

void TCurrentHeaterModel::PowerOn()
{
    Current = THeaterSettings{};
    BlowerRps = 0;
    StrokesLeft = 0;
    PumpSecondsLeft = 0;
    FuelPumpingPrepared = false;
    CirculationPumpPrepared = false;
    Now.WorkTime = 0;
    Enter({0, Programme.PauseMode});
}

void TCurrentHeaterModel::SetBlower(quint8 rps)
{
    // Only a heater at rest lends its blower out; while it burns, the burner decides the speed.
    if (Now.Stage != 0 || Now.Mode == Programme.FuelPumpingMode)
        return;
    BlowerRps = rps;
    if (rps > 0 && Now.Mode != Programme.BlowerMode) {
        Now.WorkTime = 0;
        Enter({0, Programme.BlowerMode});
    } else if (rps == 0 && Now.Mode == Programme.BlowerMode) {
        Enter({0, Programme.PauseMode});
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
    if (!prepared || count == 0 || Now.Stage != 0 || Now.Mode == Programme.BlowerMode)
        return;
    StrokesLeft = count;
    Now.WorkTime = 0;
    Enter({0, Programme.FuelPumpingMode});
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

void TCurrentHeaterModel::Enter(TStageMode to)
{
    if (to.Stage != Now.Stage)
        Now.StageTime = 0;
    Now.Stage = to.Stage;
    Now.Mode = to.Mode;
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

bool TCurrentHeaterModel::Takes(const TStepExit &exit) const
{
    return Now.ModeTime >= exit.Seconds && Now.FlameC >= exit.MinFlameC && Current.Power >= exit.MinPower
        && Current.Power <= exit.MaxPower;
}

void TCurrentHeaterModel::FollowProgramme()
{
    if (AtRest(Programme.FuelPumpingMode)) {
        StrokesLeft -= Programme.PrimingHz;
        if (StrokesLeft <= 0) {
            StrokesLeft = 0;
            Enter({0, Programme.PauseMode});
        }
    } else if (const TProgrammeStep *step = Programme.Find(Now.Stage, Now.Mode)) {
        const auto exit = std::find_if(step->Exits.begin(), step->Exits.end(), [this](const TStepExit &e) { return Takes(e); });
        if (exit != step->Exits.end())
            Enter(exit->To);
    }
    if (Now.Stage == Programme.BurningStage && RunTimeUsedUp())
        Enter(Programme.SwitchOff);
}

void TCurrentHeaterModel::Step()
{
    ++Now.StageTime;
    ++Now.ModeTime;
    if (!AtRest(Programme.PauseMode))
        ++Now.WorkTime;
    if (PumpSecondsLeft > 0)
        --PumpSecondsLeft;
    FollowProgramme();
    FollowTargets();
}

TTargets TCurrentHeaterModel::Targets() const
{
    TTargets target;
    if (AtRest(Programme.FuelPumpingMode))
        target.FuelHz = Programme.PrimingHz;
    else if (const TProgrammeStep *step = Programme.Find(Now.Stage, Now.Mode))
        target = step->Targets;
    else if (AtRest(Programme.BlowerMode))
        target.Blower = BlowerRps;
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
    Now.OverheatC += (Now.LiquidC + target.FuelHz * 3 - Now.OverheatC) * 0.3;
    Now.PlateC += (AmbientC + 2 + (Now.LiquidC - AmbientC) * 0.3 - Now.PlateC) * 0.05;
    Now.CabinC += (AmbientC + (Now.LiquidC - AmbientC) * 0.4 - Now.CabinC) * 0.02;
    Now.CirculationPump = Now.Stage != 0 || PumpSecondsLeft > 0;
    Now.FanRelay = Now.Stage == Programme.BurningStage && Now.LiquidC >= FanRelayC;
    const double load = (target.PlugPwm > 0 ? 0.5 : 0.0) + target.Blower * 0.004;
    Now.Voltage = std::round((12.6 - load) * 10 + Jitter(1)) / 10;
}
