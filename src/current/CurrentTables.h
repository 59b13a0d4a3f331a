#pragma once
#include <QString>
#include <QStringList>
#include <map>

class TPresentation;
class TProduct;

// What the current-family models share of their texts and tables.

// The fault names by code; overrides replace single names for one model. An empty text: no name.
QString CurrentFaultName(quint8 code, const std::map<int, QString> &overrides = {});

// The units of the current-data grid, which differ per model (some write them in Cyrillic).
struct TGridUnits {
    QString Seconds;
    QString Hertz;
    QString Volts;
};
// Rows 0..6 of every model's grid: "Workmode" .. "FI".
QStringList CurrentCommonGridCaptions();
// The values of the eleven-row grid: rows 0..6, then the model's row 7, then "T plate", "Voltage",
// "Faultcode".
QStringList CurrentGridValues(const TProduct &product, double plugVoltage, const TGridUnits &units,
                              double row7Value);

// The run log of the liquid heater and the air heaters: its English header and its row.
QString CurrentRunLogHeader();
QString CurrentRunLogRow(const TProduct &product, double plugVoltage);

// One chart point per series as the liquid heater and the air heaters draw them; the outlet series
// shows the temperature the model measures there.
void AddCurrentChartPoints(TPresentation &view, const TProduct &product, double plugVoltage, double x,
                           double outletTemperature);

// The fuel-pump frequency of the air heaters and the pre-heater, sent as the pump's period:
// 15625 / (65536 - raw) Hz, and 0 below 0.25 Hz.
double FuelPumpFromPeriod(quint32 raw);
