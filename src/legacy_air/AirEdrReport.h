#pragma once
#include "product/EdrSummary.h"
#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

// The EDR report of a 256-byte EEPROM image: an empty line, then 14 lines — the start numbers 1..18
// as a header, six lines with one column per start record, and the summary counters. Values are
// unsigned and big-endian; times show as D-HH:MM:SS. The FI calibration line is empty for a heater
// that has none.
QStringList AirEdrReport(const QByteArray &image, bool showsFiCalibration);
// "N": the decimal value; "T": days-hours:minutes:seconds, e.g. 90061 gives 1-01:01:01.
QString FormatEdrValue(char kind, quint32 value);
// Its counters (starts, ignitions, ignition faults, operating time, interrupts) and the start
// records that hold a fault, with the worktime and the fault count of that start.
TEdrSummary AirEdrSummary(const QByteArray &image);
