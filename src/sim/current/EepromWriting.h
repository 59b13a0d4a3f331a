#pragma once
#include <QByteArray>
#include <QtGlobal>

// Writing numbers into a simulated heater's EEPROM image: big-endian, as the heater keeps them.
inline void PutBigEndian(QByteArray &image, int at, quint32 value, int width)
{
    for (int i = width - 1; i >= 0; --i, value >>= 8)
        image[at + i] = char(value & 0xFF);
}
