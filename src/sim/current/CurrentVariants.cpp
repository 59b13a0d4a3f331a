#include "sim/current/CurrentVariants.h"
#include "sim/current/CurrentEeprom.h"
#include <vector>

namespace {
const std::vector<TCurrentVariant> &Variants()
{
    static const std::vector<TCurrentVariant> variants = [] {
        TCurrentVariant hydrel;
        hydrel.Model = QStringLiteral("Hydrel-7S");
        hydrel.BaudRate = 2400;
        hydrel.Status = {.PayloadLength = 37, // frame offsets 5..41
                         .Stage = {5, 1},
                         .Mode = {6, 1},
                         .WorkTime = {7, 3},
                         .StageTime = {10, 3},
                         .ModeTime = {13, 3},
                         .BlowerSet = {16, 1},
                         .BlowerActual = {17, 1},
                         .PlugPwm = {18, 1},
                         .FuelPumpHundredths = {21, 1},
                         .FlameIndicator = {22, 2},
                         .TempLiquid = {24, 1},
                         .TempPlate = {26, 1},
                         .Voltage = {27, 2},
                         .TempExternal = {30, 1},
                         .FaultCode = {41, 1}};
        hydrel.SerialPrefixBytes = 2;
        hydrel.SerialPrefix = 7;
        hydrel.SerialNumber = 1234;
        hydrel.VersionAnswer = QByteArray("\x01\x02\x00\x03\x11", 5); // 1.2.0.3.17
        hydrel.BlowerMode = 3;
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
