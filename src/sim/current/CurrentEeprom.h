#pragma once
#include <QByteArray>

struct TCurrentVariant;

// EEPROM images of the simulated heaters: 1024 bytes, erased (0xFF) where the heater keeps nothing,
// multi-byte numbers big-endian.

// The Hydrel-7S's and the Zephal-33D's layout: serial number, ignition counters, operating hours per
// power level, the number of the last fault record (byte 78) and six fault records of 29 bytes each,
// one after the other from byte 79. Each model keeps its own history in it.
QByteArray LiquidHeaterEeprom(const TCurrentVariant &variant);
QByteArray Zephal33Eeprom(const TCurrentVariant &variant);

// The Zephal-1's: 258 bytes read in three blocks of 86; counters from byte 8, operating hours per
// power level from 18, the number of the last fault record at 74 and seven fault records of 25 bytes
// from 75, a ring not yet full.
QByteArray Zephal1Eeprom(const TCurrentVariant &variant);

// The Corva-Mini's, all 1024 bytes: counters from byte 8, seconds at full, middle and low from 18,
// the number of the last fault record at 47, 44 fault records of 17 bytes from 48 (the unused ones
// zero), and the heater's own note in printable text from 800, zero-filled after it.
QByteArray CorvaMiniEeprom(const TCurrentVariant &variant);
