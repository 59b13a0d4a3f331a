#include "sim/current/CurrentEeprom.h"
#include "sim/current/CurrentVariants.h"
#include "sim/current/EepromWriting.h"
#include <array>

namespace {
constexpr int ImageBytes = 3 * 86;
constexpr int RecordsFrom = 75;
constexpr int RecordBytes = 25;

// Times in a record are 16-bit: the total in hours, the time in the mode in seconds.
struct TFaultRecord {
    quint8 FaultCode, Attempts, Stage, Mode;
    quint16 TotalHours, ModeSeconds, VoltageTenths, FlameKelvin;
    quint8 TempControl, TempCabin, TempPlate, IgnitionAttempt, FlameFailures;
    quint16 FlameoutBorder;
    quint8 Setpoint, GivenPower, CurrentPower, VentilationAllowed, VentilationSwitches, WorkOn;
};

// Records 0..3 written so far, 3 the last; 4..6 still empty.
const std::array<TFaultRecord, 4> Records = {{
    {13, 3, 2, 2, 12, 88, 118, 289, 11, 4, 7, 3, 0, 380, 20, 9, 0, 1, 0, 3},
    {15, 1, 3, 0, 47, 2210, 105, 553, 33, 21, 27, 1, 0, 380, 22, 5, 5, 2, 0, 4},
    {78, 1, 3, 0, 90, 640, 125, 548, 31, 18, 25, 1, 1, 380, 21, 6, 6, 1, 1, 3},
    {29, 2, 3, 0, 151, 1305, 124, 536, 35, 22, 29, 2, 4, 380, 23, 7, 7, 1, 2, 2},
}};
} // namespace

QByteArray Zephal1Eeprom(const TCurrentVariant &variant)
{
    QByteArray image = QByteArray(ImageBytes, 0) + QByteArray(1024 - ImageBytes, char(0xFF));
    image[3] = 2; // EEPROM layout version
    image[4] = char(variant.SerialPrefix);
    PutBigEndian(image, 5, variant.SerialNumber, 3);
    PutBigEndian(image, 8, 64, 2);  // ignition attempts
    PutBigEndian(image, 10, 61, 2); // reached the burning stage
    PutBigEndian(image, 12, 57, 2); // ended without a fault
    PutBigEndian(image, 14, 4, 2);  // ended with a fault
    image[17] = 1;                  // power lost while working
    const std::array<quint32, 10> secondsAtPower = {0, 3600, 7200, 18000, 21600, 43200, 36000, 14400, 5400, 3725};
    quint32 total = 0;
    for (int p = 0; p < 10; ++p) {
        PutBigEndian(image, 22 + 4 * p, secondsAtPower[p], 4);
        total += secondsAtPower[p];
    }
    PutBigEndian(image, 18, total, 4);
    PutBigEndian(image, 62, 27000, 4); // ventilation
    PutBigEndian(image, 66, 55, 2);    // started at the first attempt
    PutBigEndian(image, 68, 4, 2);     // at the second
    PutBigEndian(image, 70, 5, 2);     // failed launches
    image[74] = char(Records.size() - 1);
    for (int r = 0; r < int(Records.size()); ++r) {
        const TFaultRecord &rec = Records[r];
        const int b = RecordsFrom + RecordBytes * r;
        image[b] = char(rec.FaultCode);
        image[b + 1] = char(rec.Attempts);
        image[b + 2] = char(rec.Stage);
        image[b + 3] = char(rec.Mode);
        PutBigEndian(image, b + 4, rec.TotalHours, 2);
        PutBigEndian(image, b + 6, rec.ModeSeconds, 2);
        PutBigEndian(image, b + 8, rec.VoltageTenths, 2);
        PutBigEndian(image, b + 10, rec.FlameKelvin, 2);
        image[b + 12] = char(rec.TempControl);
        image[b + 13] = char(rec.TempCabin);
        image[b + 14] = char(rec.TempPlate);
        image[b + 15] = char(rec.IgnitionAttempt);
        image[b + 16] = char(rec.FlameFailures);
        PutBigEndian(image, b + 17, rec.FlameoutBorder, 2);
        image[b + 19] = char(rec.Setpoint);
        image[b + 20] = char(rec.GivenPower);
        image[b + 21] = char(rec.CurrentPower);
        image[b + 22] = char(rec.VentilationAllowed);
        image[b + 23] = char(rec.VentilationSwitches);
        image[b + 24] = char(rec.WorkOn);
    }
    return image;
}
