#include "sim/legacy_liquid/Hydrel7Eeprom.h"

namespace {
void PutLE(QByteArray &image, int at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        image[at + i] = char(quint8(value >> (8 * i)));
}

struct TRecord {
    quint8 Counter, Code;
    quint16 Time;
    quint8 Mode, VoltageTenths;
    quint16 FlameKelvin;
    quint8 Liquid, Air, LiquidAfterBurning, Attempt;
};
} // namespace

QByteArray Hydrel7EepromImage(quint32 productNumber)
{
    QByteArray image(256, '\0');
    image[0] = char(72);    // FI training value
    image[5] = char(3);     // layout version
    image[6] = char(4);     // the record written last
    image[7] = char(4);     // faults so far
    PutLE(image, 8, 412, 2); // ignitions at the first attempt
    PutLE(image, 10, 23, 2); // ignitions at a later attempt
    image[12] = char(2);    // failed ignitions
    PutLE(image, 13, 3600 * 517 + 1234, 4); // total work
    PutLE(image, 17, 3600 * 210, 4);        // low mode
    PutLE(image, 21, 3600 * 280 + 59, 4);   // high mode
    PutLE(image, 25, 3600 * 27, 4);         // waiting mode
    PutLE(image, 29, 9, 2);                 // interruptions
    image[31] = char(7);                    // product code
    PutLE(image, 32, productNumber, 3);
    const TRecord records[] = {
        {1, 9, 3120, 3, 124, 300, 12, 8, 14, 1},
        {2, 15, 40211, 22, 101, 640, 56, 10, 58, 1},
        {3, 78, 51007, 24, 126, 702, 71, 12, 70, 1},
        {4, 21, 61420, 21, 125, 455, 35, 9, 40, 2},
    };
    int at = 48;
    for (const TRecord &record : records) {
        image[at] = char(record.Counter);
        image[at + 1] = char(record.Code);
        PutLE(image, at + 2, record.Time, 2);
        image[at + 4] = char(record.Mode);
        image[at + 5] = char(record.VoltageTenths);
        PutLE(image, at + 6, record.FlameKelvin, 2);
        image[at + 8] = char(record.Liquid);
        image[at + 9] = char(record.Air);
        image[at + 10] = char(record.LiquidAfterBurning);
        image[at + 11] = char(record.Attempt);
        at += 16;
    }
    return image;
}
