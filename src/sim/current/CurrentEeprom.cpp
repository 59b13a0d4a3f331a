#include "sim/current/CurrentEeprom.h"
#include "sim/current/CurrentVariants.h"
#include <array>

namespace {
void Put(QByteArray &image, int at, quint32 value, int width)
{
    for (int i = width - 1; i >= 0; --i, value >>= 8)
        image[at + i] = char(value & 0xFF);
}

struct TFaultRecord {
    quint8 FaultCode, Attempts, Stage, Mode;
    quint32 TotalTime, ModeTime;
    quint16 VoltageTenths, FlameKelvin;
    quint8 TempControl, TempCabin, TempPlate, IgnitionAttempt, FlameFailures;
    quint16 FlameoutBorder;
    quint8 Setpoint, GivenPower, CurrentPower, VentilationAllowed, VentilationSwitches, WorkOn;
};
} // namespace

QByteArray LiquidHeaterEeprom(const TCurrentVariant &variant)
{
    QByteArray image = QByteArray(256, 0) + QByteArray(768, char(0xFF));
    image[2] = 3; // EEPROM layout version
    Put(image, 3, variant.SerialPrefix, 2);
    Put(image, 5, variant.SerialNumber, 3);
    Put(image, 13, 152, 2); // ignition attempts
    Put(image, 15, 147, 2); // reached the burning stage
    Put(image, 17, 139, 2); // ended without a fault
    image[19] = 8;          // ended with a fault
    image[22] = 2;          // power lost while working
    const std::array<quint32, 10> secondsAtPower = {0, 1800, 7200, 14400, 36000, 90061, 72000, 54000, 21600, 3725};
    quint32 total = 0;
    for (int p = 0; p < 10; ++p) {
        Put(image, 27 + 4 * p, secondsAtPower[p], 4);
        total += secondsAtPower[p];
    }
    Put(image, 23, total, 4);
    Put(image, 67, 5400, 4); // ventilation
    Put(image, 71, 131, 2);  // started at the first attempt
    Put(image, 73, 9, 2);    // at the second
    Put(image, 75, 7, 2);    // failed launches

    const std::array<TFaultRecord, 6> records = {{
        {8, 1, 3, 0, 120345, 310, 126, 498, 58, 19, 31, 1, 3, 390, 22, 3, 3, 1, 0, 4},
        {9, 2, 2, 1, 151200, 12, 118, 295, 12, 4, 9, 2, 0, 390, 20, 5, 0, 2, 0, 1},
        {15, 1, 3, 8, 180020, 1830, 109, 551, 71, 22, 38, 1, 1, 390, 25, 7, 6, 1, 2, 2},
        {5, 1, 3, 8, 201533, 2400, 124, 523, 64, 21, 35, 1, 0, 390, 20, 5, 5, 1, 1, 3},
        {29, 1, 3, 2, 250000, 600, 127, 569, 80, 23, 40, 1, 4, 390, 25, 9, 9, 2, 0, 4},
        {17, 2, 2, 3, 300786, 25, 121, 301, 15, 8, 12, 2, 0, 390, 20, 5, 0, 1, 0, 4},
    }};
    image[78] = 5; // the last record written
    for (int r = 0; r < int(records.size()); ++r) {
        const TFaultRecord &rec = records[r];
        const int b = 79 + 29 * r;
        image[b] = char(rec.FaultCode);
        image[b + 1] = char(rec.Attempts);
        image[b + 2] = char(rec.Stage);
        image[b + 3] = char(rec.Mode);
        Put(image, b + 4, rec.TotalTime, 4);
        Put(image, b + 8, rec.ModeTime, 4);
        Put(image, b + 12, rec.VoltageTenths, 2);
        Put(image, b + 14, rec.FlameKelvin, 2);
        image[b + 16] = char(rec.TempControl);
        image[b + 17] = char(rec.TempCabin);
        image[b + 18] = char(rec.TempPlate);
        image[b + 19] = char(rec.IgnitionAttempt);
        image[b + 20] = char(rec.FlameFailures);
        Put(image, b + 21, rec.FlameoutBorder, 2);
        image[b + 23] = char(rec.Setpoint);
        image[b + 24] = char(rec.GivenPower);
        image[b + 25] = char(rec.CurrentPower);
        image[b + 26] = char(rec.VentilationAllowed);
        image[b + 27] = char(rec.VentilationSwitches);
        image[b + 28] = char(rec.WorkOn);
    }
    return image;
}
