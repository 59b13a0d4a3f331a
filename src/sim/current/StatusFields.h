#pragma once
#include <QByteArray>
#include <QtGlobal>

// How a heater writes one value into its status answer: where, how wide, and in what raw number.
// The heater's model keeps every value in engineering units (hertz, degrees Celsius, volts); each
// field of a model's status row names the encoder that turns the value into the number on the line.

using TEncoder = quint32 (*)(double value);

namespace Encode {
// A whole number of the value's own unit (seconds, revolutions per second, degrees Celsius, a stage,
// a code), rounded; nothing below 0.
quint32 Whole(double value);
// Hundredths of the unit (a fuel-pump frequency of 1.25 Hz is 125).
quint32 Hundredths(double value);
// Tenths of the unit (12.6 V is 126).
quint32 Tenths(double value);
// Degrees Celsius as kelvin (18 °C is 291).
quint32 Kelvin(double celsius);
// A fuel-pump frequency as the pump's period in ticks of 1/15625 s, counted up to 65536: the raw
// number is 65536 - 15625/f, so that 15625 / (65536 - raw) gives f back. A frequency the period cannot
// express (slower than 15625/65536 Hz, stopped included) is 0.
quint32 PumpPeriod(double hertz);
// A sensor reading in whole degrees Celsius; a sensor that is not fitted reads NaN and is sent as 127.
quint32 SensorCelsius(double celsius);
} // namespace Encode

// Where a value sits in a status answer: frame offset (start byte = 0), big-endian width in bytes and
// its encoder. Offset -1: the model does not report the value.
struct TField {
    int Offset = -1;
    int Width = 1;
    TEncoder Encoder = nullptr;
};

// Writes the encoded value into a status payload (which starts at frame offset 5), big-endian, held
// to what the field's width can carry. A field the model does not report is left alone.
void PutField(QByteArray &payload, const TField &field, double value);
