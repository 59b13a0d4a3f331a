#include "sim/current/CurrentProgrammes.h"

namespace {
// Power levels 0..3 burn low, 4..6 medium, 7..9 high.
constexpr quint8 MediumPower = 4;
constexpr quint8 HighPower = 7;
} // namespace

TStageProgramme LiquidHeaterProgramme()
{
    return {.PauseMode = 1,
            .BlowerMode = 3,
            .FuelPumpingMode = 4,
            .PrimingHz = 2.5,
            .Start = {1, 1},
            .SwitchOff = {4, 0},
            .BurningStage = 3,
            .Steps = {
                {{1, 1}, {}, {{.Seconds = 3, .To = {2, 1}}}},
                {{2, 1}, {15, 0, 55, AmbientC}, {{.Seconds = 12, .To = {2, 2}}}},
                {{2, 2}, {25, 0, 55, AmbientC}, {{.Seconds = 5, .To = {2, 3}}}},
                {{2, 3}, {25, 0.9, 50, 200}, {{.MinFlameC = 120, .To = {3, 0}}}},
                {{3, 0}, {35, 1.1, 0, 180}, {{.Seconds = 20, .MinPower = MediumPower, .To = {3, 1}}}},
                {{3, 1}, {45, 1.6, 0, 220}, {{.Seconds = 10, .To = {3, 8}}}},
                {{3, 8},
                 {55, 1.9, 0, 260},
                 {{.MaxPower = MediumPower - 1, .To = {3, 0}}, {.Seconds = 10, .MinPower = HighPower, .To = {3, 2}}}},
                {{3, 2}, {75, 2.4, 0, 340}, {{.MaxPower = HighPower - 1, .To = {3, 3}}}},
                {{3, 3}, {45, 1.6, 0, 220}, {{.Seconds = 10, .To = {3, 0}}}},
                {{4, 0}, {60, 0, 0, AmbientC}, {{.Seconds = 30, .To = {0, 1}}}},
            }};
}

TStageProgramme Zephal33Programme()
{
    return {.PauseMode = 1,
            .BlowerMode = 2,
            .FuelPumpingMode = 4,
            .PrimingHz = 2,
            .Start = {2, 0},
            .SwitchOff = {4, 0},
            .BurningStage = 3,
            .Steps = {
                {{2, 0}, {30, 0, 0, AmbientC}, {{.Seconds = 8, .To = {2, 1}}}},
                {{2, 1}, {20, 0, 60, AmbientC}, {{.Seconds = 15, .To = {2, 2}}}},
                {{2, 2}, {30, 1.2, 55, 160}, {{.MinFlameC = 90, .To = {2, 3}}}},
                {{2, 3}, {50, 1.8, 0, 230}, {{.Seconds = 10, .To = {3, 0}}}},
                {{3, 0}, {95, 2.6, 0, 320}, {}},
                {{4, 0}, {90, 0, 0, AmbientC}, {{.Seconds = 30, .To = {4, 1}}}},
                {{4, 1}, {40, 0, 0, AmbientC}, {{.Seconds = 20, .To = {0, 1}}}},
            }};
}

TStageProgramme Zephal1Programme()
{
    return {.PauseMode = 1,
            .BlowerMode = 2,
            .FuelPumpingMode = 4,
            .PrimingHz = 1.5,
            .Start = {2, 0},
            .SwitchOff = {4, 0},
            .BurningStage = 3,
            .Steps = {
                {{2, 0}, {25, 0, 0, AmbientC}, {{.Seconds = 6, .To = {2, 1}}}},
                {{2, 1}, {15, 0, 60, AmbientC}, {{.Seconds = 12, .To = {2, 2}}}},
                {{2, 2}, {25, 0.8, 55, 150}, {{.MinFlameC = 80, .To = {2, 3}}}},
                {{2, 3}, {40, 1.2, 0, 210}, {{.Seconds = 8, .To = {3, 0}}}},
                {{3, 0}, {65, 1.7, 0, 280}, {}},
                {{4, 0}, {65, 0, 0, AmbientC}, {{.Seconds = 25, .To = {4, 1}}}},
                {{4, 1}, {30, 0, 0, AmbientC}, {{.Seconds = 15, .To = {0, 1}}}},
            }};
}

TStageProgramme CorvaMiniProgramme()
{
    return {.PauseMode = 1,
            .BlowerMode = 0,
            .FuelPumpingMode = 4,
            .PrimingHz = 2,
            .Start = {1, 1},
            .SwitchOff = {4, 0},
            .BurningStage = 3,
            .Steps = {
                {{1, 1}, {}, {{.Seconds = 3, .To = {2, 0}}}},
                {{2, 0}, {10, 0, 0, AmbientC}, {{.Seconds = 2, .To = {2, 1}}}},
                {{2, 1}, {10, 0, 60, AmbientC}, {{.Seconds = 15, .To = {2, 2}}}},
                {{2, 2}, {20, 0, 60, AmbientC}, {{.Seconds = 5, .To = {2, 3}}}},
                {{2, 3}, {25, 0.8, 55, 180}, {{.MinFlameC = 100, .To = {2, 5}}}},
                {{2, 5}, {35, 1.0, 0, 220}, {{.Seconds = 15, .To = {3, 0}}}},
                {{3, 0}, {40, 1.1, 0, 240}, {{.Seconds = 20, .MinPower = MediumPower, .To = {3, 1}}}},
                {{3, 1}, {55, 1.5, 0, 280}, {{.Seconds = 10, .To = {3, 3}}}},
                {{3, 3},
                 {70, 1.9, 0, 320},
                 {{.MaxPower = MediumPower - 1, .To = {3, 2}}, {.Seconds = 10, .MinPower = HighPower, .To = {3, 4}}}},
                {{3, 2}, {55, 1.5, 0, 280}, {{.Seconds = 10, .To = {3, 0}}}},
                {{3, 4}, {85, 2.3, 0, 340}, {{.Seconds = 10, .To = {3, 6}}}},
                {{3, 6}, {100, 2.7, 0, 360}, {{.MaxPower = HighPower - 1, .To = {3, 5}}}},
                {{3, 5}, {85, 2.3, 0, 340}, {{.Seconds = 10, .To = {3, 3}}}},
                {{4, 0}, {60, 0, 0, AmbientC}, {{.Seconds = 30, .To = {4, 1}}}},
                {{4, 1}, {30, 0, 0, AmbientC}, {{.Seconds = 20, .To = {0, 1}}}},
            }};
}
