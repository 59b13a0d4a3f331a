#pragma once
#include "product/EdrSummary.h"
#include <QString>
#include <QStringList>
#include <array>

// The EDR report of a Hydrel-7 EEPROM image (multi-byte values least significant byte first): the
// counters and operating times, then the thirteen fault records side by side.
namespace Hydrel7 {

constexpr int EepromSize = 256;
using TEepromImage = std::array<quint8, EepromSize>;

// "3600 sec. (0-1:0:0)": the seconds, then days-hours:minutes:seconds without leading zeros.
QString DurationText(quint32 seconds);
QStringList EdrReport(const TEepromImage &image);
// Its counters and operating times, and the fault records that hold a fault (with the fault's time
// and the fault counter the record keeps).
TEdrSummary EdrSummary(const TEepromImage &image);

} // namespace Hydrel7
