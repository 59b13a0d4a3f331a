#include "views/TimeTicker.h"
#include <cmath>

namespace {
constexpr double SecondsPerDay = 86400.0;

// Whole seconds of an x value, rounded to the millisecond first, as a time of day is decoded, so
// 75/86400 is exactly 75 s.
qint64 Seconds(double days)
{
    const qint64 ms = std::llround(days * SecondsPerDay * 1000.0);
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}
} // namespace

QString TTimeTicker::FullLabel(double days)
{
    const qint64 seconds = Seconds(days);
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    const qint64 whole = qAbs(seconds);
    return sign + QStringLiteral("%1:%2:%3")
                      .arg(whole / 3600, 2, 10, QLatin1Char('0'))
                      .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
                      .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString TTimeTicker::Label(double days)
{
    const qint64 seconds = Seconds(days);
    const qint64 inHour = ((seconds % 3600) + 3600) % 3600;
    return QStringLiteral("%1:%2")
        .arg(inHour / 60, 2, 10, QLatin1Char('0'))
        .arg(inHour % 60, 2, 10, QLatin1Char('0'));
}

double TTimeTicker::getTickStep(const QCPRange &range)
{
    static const double steps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    const double wanted = range.size() * SecondsPerDay / qMax(1, mTickCount);
    for (double step : steps)
        if (step >= wanted)
            return step / SecondsPerDay;
    return std::ceil(wanted / 86400.0);
}

int TTimeTicker::getSubTickCount(double tickStep)
{
    const qint64 seconds = std::llround(tickStep * SecondsPerDay);
    if (seconds % 5 == 0 && seconds % 15 != 0)
        return 4;
    if (seconds % 15 == 0 && seconds % 30 != 0)
        return 2;
    return 1;
}

QVector<double> TTimeTicker::createTickVector(double tickStep, const QCPRange &range)
{
    // Ticks are whole seconds divided by 86400, exactly as the handlers compute x, so a tick at the
    // last point of the data is not lost to rounding.
    const qint64 step = qMax<qint64>(1, std::llround(tickStep * SecondsPerDay));
    const qint64 first = qint64(std::floor(range.lower * SecondsPerDay / step)) - 1;
    const qint64 last = qint64(std::ceil(range.upper * SecondsPerDay / step)) + 1;
    QVector<double> ticks;
    for (qint64 k = first; k <= last; ++k)
        ticks.append(double(k * step) / SecondsPerDay);
    return ticks;
}

QString TTimeTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    return Label(tick);
}
