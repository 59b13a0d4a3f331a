#pragma once
#include <QByteArray>

struct TCurrentVariant;

// EEPROM images of the simulated heaters: 1024 bytes, erased (0xFF) where the heater keeps nothing,
// multi-byte numbers big-endian.

// The liquid heater's image: serial number, ignition counters, operating hours per power level and
// six fault records of 29 bytes, record r starting at 78 + 25·r (so each record's last four bytes are
// the next record's first four, and record 0 starts on the "last fault record" byte).
QByteArray LiquidHeaterEeprom(const TCurrentVariant &variant);
