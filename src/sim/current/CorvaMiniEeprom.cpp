#include "sim/current/CurrentEeprom.h"
#include "sim/current/CurrentVariants.h"
#include "sim/current/EepromWriting.h"
#include <array>

namespace {
constexpr int RecordsFrom = 48;
constexpr int RecordBytes = 17;
constexpr int NoteFrom = 800;

struct TFaultRecord {
    quint8 FaultCode, Attempts, Stage, Mode;
    quint16 TotalHours, ModeSeconds, VoltageTenths, FlameKelvin;
    quint8 TempOut, TempOverheat, TempPlate, StartingAttempt, Flameouts;
};

// Records 0..5 written so far, 5 the last. Two voltages sit on a half volt (12.5 V, 13.5 V).
const std::array<TFaultRecord, 6> Records = {{
    {13, 3, 2, 3, 8, 41, 125, 287, 6, 7, 9, 3, 0},
    {10, 1, 2, 2, 19, 4, 121, 291, 12, 12, 14, 1, 0},
    {78, 1, 3, 3, 33, 905, 135, 566, 64, 71, 30, 1, 1},
    {1, 1, 3, 6, 51, 1750, 124, 611, 92, 104, 38, 1, 0},
    {15, 1, 3, 0, 70, 2410, 103, 540, 58, 63, 28, 1, 0},
    {29, 2, 3, 3, 88, 388, 126, 559, 71, 77, 31, 2, 3},
}};

// The heater's own note; the line breaks and the tab in it are not for the report.
const char Note[] = "Corva-Mini controller\r\nfirmware 3.1.1.2\tbuild 2026-03-14\r\nfactory test passed";
} // namespace

QByteArray CorvaMiniEeprom(const TCurrentVariant &variant)
{
    QByteArray image(1024, 0);
    image[3] = 5; // EEPROM layout version
    image[4] = char(variant.SerialPrefix);
    PutBigEndian(image, 5, variant.SerialNumber, 3);
    PutBigEndian(image, 8, 118, 2);  // ignition attempts
    PutBigEndian(image, 10, 112, 2); // reached the burning stage
    PutBigEndian(image, 12, 106, 2); // ended without a fault
    PutBigEndian(image, 14, 6, 2);   // ended with a fault
    image[17] = 3;                   // power lost while working
    const quint32 full = 64800, middle = 172861, low = 97325;
    PutBigEndian(image, 18, full + middle + low, 4);
    PutBigEndian(image, 22, full, 4);
    PutBigEndian(image, 26, middle, 4);
    PutBigEndian(image, 30, low, 4);
    image[34] = 101; // started at the first attempt
    image[35] = 9;   // at the second
    image[36] = 8;   // failed launches
    image[47] = char(Records.size() - 1);
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
        image[b + 12] = char(rec.TempOut);
        image[b + 13] = char(rec.TempOverheat);
        image[b + 14] = char(rec.TempPlate);
        image[b + 15] = char(rec.StartingAttempt);
        image[b + 16] = char(rec.Flameouts);
    }
    image.replace(NoteFrom, int(sizeof Note) - 1, Note, int(sizeof Note) - 1);
    return image;
}
