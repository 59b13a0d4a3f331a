#pragma once
#include <QByteArray>
#include <QtGlobal>

// The simulated Hydrel-7's 256-byte EEPROM: its counters, operating times and thirteen fault records,
// multi-byte values least significant byte first, carrying the heater's product number.
QByteArray Hydrel7EepromImage(quint32 productNumber);
