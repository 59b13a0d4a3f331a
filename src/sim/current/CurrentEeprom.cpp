#include "sim/current/CurrentEeprom.h"
#include "sim/current/CurrentVariants.h"
#include "sim/current/EepromWriting.h"
#include <array>

namespace {
struct TFaultRecord {
    quint8 FaultCode, Attempts, Stage, Mode;
    quint32 TotalTime, ModeTime;
    quint16 VoltageTenths, FlameKelvin;
    quint8 TempControl, TempCabin, TempPlate, IgnitionAttempt, FlameFailures;
    quint16 FlameoutBorder;
    quint8 Setpoint, GivenPower, CurrentPower, VentilationAllowed, VentilationSwitches, WorkOn;
};

struct THistory {
    quint8 LayoutVersion;
    quint16 Attempts, ReachedBurning, EndedClean;
    quint8 EndedWithFault, PowerResets;
    std::array<quint32, 10> SecondsAtPower;
    quint32 VentilationSeconds;
    quint16 FirstAttempt, SecondAttempt, Failed;
    quint8 LastRecord;
    std::array<TFaultRecord, 6> Records;
};

QByteArray SixRecordImage(const TCurrentVariant &variant, const THistory &history)
{
    QByteArray image = QByteArray(256, 0) + QByteArray(768, char(0xFF));
    image[2] = char(history.LayoutVersion);
    PutBigEndian(image, 3, variant.SerialPrefix, 2);
    PutBigEndian(image, 5, variant.SerialNumber, 3);
    PutBigEndian(image, 13, history.Attempts, 2);
    PutBigEndian(image, 15, history.ReachedBurning, 2);
    PutBigEndian(image, 17, history.EndedClean, 2);
    image[19] = char(history.EndedWithFault);
    image[22] = char(history.PowerResets);
    quint32 total = 0;
    for (int p = 0; p < 10; ++p) {
        PutBigEndian(image, 27 + 4 * p, history.SecondsAtPower[p], 4);
        total += history.SecondsAtPower[p];
    }
    PutBigEndian(image, 23, total, 4);
    PutBigEndian(image, 67, history.VentilationSeconds, 4);
    PutBigEndian(image, 71, history.FirstAttempt, 2);
    PutBigEndian(image, 73, history.SecondAttempt, 2);
    PutBigEndian(image, 75, history.Failed, 2);
    image[78] = char(history.LastRecord);
    for (int r = 0; r < int(history.Records.size()); ++r) {
        const TFaultRecord &rec = history.Records[r];
        const int b = 79 + 29 * r;
        image[b] = char(rec.FaultCode);
        image[b + 1] = char(rec.Attempts);
        image[b + 2] = char(rec.Stage);
        image[b + 3] = char(rec.Mode);
        PutBigEndian(image, b + 4, rec.TotalTime, 4);
        PutBigEndian(image, b + 8, rec.ModeTime, 4);
        PutBigEndian(image, b + 12, rec.VoltageTenths, 2);
        PutBigEndian(image, b + 14, rec.FlameKelvin, 2);
        image[b + 16] = char(rec.TempControl);
        image[b + 17] = char(rec.TempCabin);
        image[b + 18] = char(rec.TempPlate);
        image[b + 19] = char(rec.IgnitionAttempt);
        image[b + 20] = char(rec.FlameFailures);
        PutBigEndian(image, b + 21, rec.FlameoutBorder, 2);
        image[b + 23] = char(rec.Setpoint);
        image[b + 24] = char(rec.GivenPower);
        image[b + 25] = char(rec.CurrentPower);
        image[b + 26] = char(rec.VentilationAllowed);
        image[b + 27] = char(rec.VentilationSwitches);
        image[b + 28] = char(rec.WorkOn);
    }
    return image;
}
} // namespace

QByteArray LiquidHeaterEeprom(const TCurrentVariant &variant)
{
    return SixRecordImage(variant, {.LayoutVersion = 3,
                                    .Attempts = 152,
                                    .ReachedBurning = 147,
                                    .EndedClean = 139,
                                    .EndedWithFault = 8,
                                    .PowerResets = 2,
                                    .SecondsAtPower = {0, 1800, 7200, 14400, 36000, 90061, 72000, 54000, 21600, 3725},
                                    .VentilationSeconds = 5400,
                                    .FirstAttempt = 131,
                                    .SecondAttempt = 9,
                                    .Failed = 7,
                                    .LastRecord = 5,
                                    .Records = {{
                                        {8, 1, 3, 0, 120345, 310, 126, 498, 58, 19, 31, 1, 3, 390, 22, 3, 3, 1, 0, 4},
                                        {9, 2, 2, 1, 151200, 12, 118, 295, 12, 4, 9, 2, 0, 390, 20, 5, 0, 2, 0, 1},
                                        {15, 1, 3, 8, 180020, 1830, 109, 551, 71, 22, 38, 1, 1, 390, 25, 7, 6, 1, 2, 2},
                                        {5, 1, 3, 8, 201533, 2400, 124, 523, 64, 21, 35, 1, 0, 390, 20, 5, 5, 1, 1, 3},
                                        {29, 1, 3, 2, 250000, 600, 127, 569, 80, 23, 40, 1, 4, 390, 25, 9, 9, 2, 0, 4},
                                        {17, 2, 2, 3, 300786, 25, 121, 301, 15, 8, 12, 2, 0, 390, 20, 5, 0, 1, 0, 4},
                                    }}});
}

QByteArray Zephal33Eeprom(const TCurrentVariant &variant)
{
    // An air heater mostly run on its cabin sensor (work on 3), ventilating between heating spells.
    return SixRecordImage(variant, {.LayoutVersion = 4,
                                    .Attempts = 96,
                                    .ReachedBurning = 93,
                                    .EndedClean = 88,
                                    .EndedWithFault = 5,
                                    .PowerResets = 1,
                                    .SecondsAtPower = {3600, 5400, 10800, 18000, 27000, 36000, 28800, 14400, 7200, 3725},
                                    .VentilationSeconds = 90061,
                                    .FirstAttempt = 85,
                                    .SecondAttempt = 6,
                                    .Failed = 5,
                                    .LastRecord = 4,
                                    .Records = {{
                                        {13, 3, 2, 2, 40210, 95, 121, 291, 14, 6, 10, 3, 0, 400, 20, 9, 0, 1, 0, 3},
                                        {78, 1, 3, 0, 61875, 1210, 125, 566, 35, 19, 28, 1, 1, 400, 22, 6, 6, 1, 2, 3},
                                        {15, 1, 3, 0, 93544, 3005, 104, 571, 38, 21, 30, 1, 0, 400, 22, 5, 5, 2, 0, 4},
                                        {29, 1, 3, 0, 120017, 744, 126, 548, 36, 20, 29, 1, 5, 400, 24, 7, 7, 1, 3, 3},
                                        {10, 1, 2, 3, 150660, 6, 123, 402, 22, 12, 16, 1, 0, 400, 20, 9, 0, 1, 0, 1},
                                        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                    }}});
}
