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
