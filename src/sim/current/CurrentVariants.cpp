#include "sim/current/CurrentVariants.h"
#include "sim/current/CurrentEeprom.h"
#include "sim/current/CurrentProgrammes.h"
#include <vector>

namespace {
TCurrentVariant Hydrel7S()
{
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
    return hydrel;
}

// The two air heaters share their status answer but for the fault code's place.
TStatusLayout AirHeaterStatus(int faultOffset)
{
    return {.PayloadLength = faultOffset - 4, // frame offsets 5..faultOffset
            .Stage = {5, 1, Encode::Whole},
            .Mode = {6, 1, Encode::Whole},
            .WorkTime = {7, 3, Encode::Whole},
            .StageTime = {10, 3, Encode::Whole},
            .ModeTime = {13, 3, Encode::Whole},
            .BlowerSet = {16, 1, Encode::Whole},
            .BlowerActual = {17, 1, Encode::Whole},
            .PlugPwm = {24, 1, Encode::Whole},
            .FuelPump = {18, 2, Encode::PumpPeriod},
            .FlameIndicator = {27, 2, Encode::Kelvin},
            .TempPlate = {31, 1, Encode::Whole},
            .Voltage = {32, 2, Encode::Tenths},
            .TempExternal = {30, 1, Encode::SensorCelsius},
            .FaultCode = {faultOffset, 1, Encode::Whole}};
}

TCurrentVariant Zephal33D()
{
    TCurrentVariant zephal;
    zephal.Model = QStringLiteral("Zephal-33 [new rev.]");
    zephal.BaudRate = 2400;
    zephal.Status = AirHeaterStatus(56);
    zephal.ExternalSensor = true;
    zephal.SerialPrefixBytes = 1;
    zephal.SerialPrefix = 33;
    zephal.SerialNumber = 120456;
    zephal.VersionAnswer = QByteArray("\x00\x12\x83\x05", 4); // 18.3.1.5
    zephal.Programme = Zephal33Programme();
    zephal.BuildEeprom = &Zephal33Eeprom;
    return zephal;
}

TCurrentVariant Zephal1()
{
    TCurrentVariant zephal;
    zephal.Model = QStringLiteral("Zephal-1");
    zephal.BaudRate = 9600;
    zephal.Status = AirHeaterStatus(54);
    zephal.ExternalSensor = true;
    zephal.SerialPrefixBytes = 1;
    zephal.SerialPrefix = 1;
    zephal.SerialNumber = 98765;
    zephal.VersionAnswer = QByteArray("\x00\x07\x02\x0B", 4); // 7.2.0.11
    zephal.Programme = Zephal1Programme();
    zephal.BuildEeprom = &Zephal1Eeprom;
    return zephal;
}

TCurrentVariant CorvaMini()
{
    TCurrentVariant corva;
    corva.Model = QStringLiteral("Corva-mini");
    corva.BaudRate = 19200;
    corva.WakeUp = QByteArray("\x96\x96\x97\x97", 4);
    corva.WakeUpBaudRate = 2400;
    corva.Status = {.PayloadLength = 50, // frame offsets 5..54
                    .Stage = {5, 1, Encode::Whole},
                    .Mode = {6, 1, Encode::Whole},
                    .WorkTime = {7, 2, Encode::Whole},
                    .StageTime = {9, 2, Encode::Whole},
                    .ModeTime = {11, 1, Encode::Whole},
                    .BlowerSet = {12, 1, Encode::Whole},
                    .BlowerActual = {13, 1, Encode::Whole},
                    .PlugPwm = {20, 1, Encode::Whole},
                    .FuelPump = {14, 2, Encode::PumpPeriod},
                    .FlameIndicator = {23, 2, Encode::Kelvin},
                    .TempLiquid = {27, 1, Encode::Whole},
                    .TempPlate = {29, 1, Encode::Whole},
                    .TempOverheat = {28, 1, Encode::Whole},
                    .Voltage = {30, 2, Encode::Tenths},
                    .CirculationPump = {21, 1, Encode::Whole},
                    .FanRelay = {22, 1, Encode::Whole},
                    .FaultCode = {54, 1, Encode::Whole}};
    corva.SerialPrefixBytes = 1;
    corva.SerialPrefix = 15;
    corva.SerialNumber = 2024017;
    corva.VersionAnswer = QByteArray("\x00\x03\x81\x02", 4); // 3.1.1.2
    corva.Programme = CorvaMiniProgramme();
    corva.BuildEeprom = &CorvaMiniEeprom;
    return corva;
}

const std::vector<TCurrentVariant> &Variants()
{
    static const std::vector<TCurrentVariant> variants = {Hydrel7S(), Zephal33D(), Zephal1(), CorvaMini()};
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
