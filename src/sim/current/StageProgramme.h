#pragma once
#include <QtGlobal>
#include <limits>
#include <vector>

// A heater's run after a start, as data: the stage/mode pairs it goes through, where its controller
// drives the blower, the fuel pump, the glow plug and the flame in each, and when it moves on.
// Each model row of the simulator holds one; TCurrentHeaterModel plays it.

constexpr double AmbientC = 18.0;

struct TStageMode {
    quint8 Stage = 0;
    quint8 Mode = 0;
};

// What the controller commands in one stage and mode; the measured values follow it step by step.
struct TTargets {
    double Blower = 0;   // revolutions per second
    double FuelHz = 0;   // fuel-pump frequency
    quint8 PlugPwm = 0;  // the plug's pulse width, in the heater's own steps
    double FlameC = AmbientC;
};

// A way out of a step, taken once all its conditions hold: time spent in the mode, the flame
// indicator's reading, and the power level (0..9) the settings ask for.
struct TStepExit {
    quint32 Seconds = 0;
    double MinFlameC = -std::numeric_limits<double>::infinity();
    quint8 MinPower = 0;
    quint8 MaxPower = 9;
    TStageMode To;
};

struct TProgrammeStep {
    TStageMode At;
    TTargets Targets;
    std::vector<TStepExit> Exits; // the first that holds is taken
};

struct TStageProgramme {
    // The modes of stage 0, the heater at rest: pause, the blower on its own, fuel priming.
    quint8 PauseMode = 1;
    quint8 BlowerMode = 3;
    quint8 FuelPumpingMode = 4;
    double PrimingHz = 2.5;
    TStageMode Start;       // where a start leads
    TStageMode SwitchOff;   // where a stop, or the end of the run time, leads
    quint8 BurningStage = 3; // the stage in which the run time is used up
    std::vector<TProgrammeStep> Steps;

    // The step for this stage and mode, or nullptr when the programme has none.
    const TProgrammeStep *Find(quint8 stage, quint8 mode) const
    {
        for (const TProgrammeStep &step : Steps)
            if (step.At.Stage == stage && step.At.Mode == mode)
                return &step;
        return nullptr;
    }
};
