#pragma once
#include <QByteArray>

struct TCurrentVariant;

// EEPROM images of the simulated heaters: 1024 bytes, erased (0xFF) where the heater keeps nothing,
// multi-byte numbers big-endian.

// The liquid heater's image: serial number, ignition counters, operating hours per power level, the
// number of the last fault record (byte 78) and six fault records of 29 bytes each, one after the
// other from byte 79.
QByteArray LiquidHeaterEeprom(const TCurrentVariant &variant);
