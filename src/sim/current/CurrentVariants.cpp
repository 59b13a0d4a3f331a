#include "sim/current/CurrentVariants.h"
#include "sim/current/CurrentEeprom.h"
#include <vector>

namespace {
// Power levels 0..3 burn low, 4..6 medium, 7..9 high.
constexpr quint8 MediumPower = 4;
constexpr quint8 HighPower = 7;

// Waiting, plug heating, preparing, ignition until the flame indicator proves the flame, burning
// low, medium or high as the power asks, and a purge when switching off.
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

const std::vector<TCurrentVariant> &Variants()
{
    static const std::vector<TCurrentVariant> variants = [] {
        TCurrentVariant hydrel;
        hydrel.Model = QStringLiteral("Hydrel-7S");
        hydrel.BaudRate = 2400;
        hydrel.Status = {.PayloadLength = 37, // frame offsets 5..41
                         .Stage = {5, 1, Encode::Whole},
                         .Mode = {6, 1, Encode::Whole},
                         .WorkTime = {7, 3, Encode::Whole},
                         .StageTime = {10, 3, Encode::Whole},
                         .ModeTime = {13, 3, Encode::Whole},
                         .BlowerSet = {16, 1, Encode::Whole},
                         .BlowerActual = {17, 1, Encode::Whole},
                         .PlugPwm = {18, 1, Encode::Whole},
                         .FuelPump = {21, 1, Encode::Hundredths},
                         .FlameIndicator = {22, 2, Encode::Kelvin},
                         .TempLiquid = {24, 1, Encode::Whole},
                         .TempPlate = {26, 1, Encode::Whole},
                         .Voltage = {27, 2, Encode::Tenths},
                         .TempExternal = {30, 1, Encode::SensorCelsius},
                         .FaultCode = {41, 1, Encode::Whole}};
        hydrel.SerialPrefixBytes = 2;
        hydrel.SerialPrefix = 7;
        hydrel.SerialNumber = 1234;
        hydrel.VersionAnswer = QByteArray("\x01\x02\x00\x03\x11", 5); // 1.2.0.3.17
        hydrel.Programme = LiquidHeaterProgramme();
        hydrel.BuildEeprom = &LiquidHeaterEeprom;
        return std::vector<TCurrentVariant>{hydrel};
    }();
    return variants;
}
} // namespace

const TCurrentVariant *FindCurrentVariant(const QString &model)
{
    for (const TCurrentVariant &variant : Variants())
        if (variant.Model.compare(model, Qt::CaseInsensitive) == 0)
            return &variant;
    return nullptr;
}

QStringList CurrentVariantModels()
{
    QStringList models;
    for (const TCurrentVariant &variant : Variants())
        models << variant.Model;
    return models;
}
