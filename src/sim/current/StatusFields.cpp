#include "sim/current/StatusFields.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr double PumpTicksPerSecond = 15625.0;
constexpr double PumpPeriodSpan = 65536.0;
constexpr quint32 NoSensorReading = 127;
} // namespace

namespace Encode {

quint32 Whole(double value)
{
    return quint32(std::clamp(std::round(value), 0.0, 4294967295.0));
}

quint32 Hundredths(double value)
{
    return Whole(value * 100);
}

quint32 Tenths(double value)
{
    return Whole(value * 10);
}

quint32 Kelvin(double celsius)
{
    return Whole(celsius + 273);
}

quint32 PumpPeriod(double hertz)
{
    if (!(hertz >= PumpTicksPerSecond / PumpPeriodSpan))
        return 0;
    return std::min(Whole(PumpPeriodSpan - PumpTicksPerSecond / hertz), quint32(PumpPeriodSpan - 1));
}

quint32 SensorCelsius(double celsius)
{
    return std::isnan(celsius) ? NoSensorReading : Whole(celsius);
}

} // namespace Encode

void PutField(QByteArray &payload, const TField &field, double value)
{
    if (field.Offset < 5)
        return;
    const int at = field.Offset - 5;
    const quint32 limit = field.Width >= 4 ? 0xFFFFFFFFu : (1u << (8 * field.Width)) - 1;
    quint32 raw = std::min(field.Encoder(value), limit);
    for (int i = field.Width - 1; i >= 0; --i, raw >>= 8)
        payload[at + i] = char(raw & 0xFF);
}
