#include "legacy_liquid/Hydrel7Tables.h"
#include "product/Presentation.h"
#include <map>

namespace Hydrel7 {

namespace {
constexpr quint8 IgnitionFirst = 3;
constexpr quint8 IgnitionLast = 20;
constexpr quint8 LastKnownStage = 28;
} // namespace

QString StageText(quint8 stage)
{
    static const std::map<quint8, QString> named = {
        {0, QStringLiteral("Pause")},       {1, QStringLiteral("Test")},        {2, QStringLiteral("Cooling")},
        {21, QStringLiteral("Warming up")}, {22, QStringLiteral("High")},       {23, QStringLiteral("Low")},
        {24, QStringLiteral("Burning")},    {25, QStringLiteral("Prepurging")}, {26, QStringLiteral("Purging")},
        {27, QStringLiteral("Waiting")},    {28, QStringLiteral("Pump")},
    };
    if (stage >= IgnitionFirst && stage <= IgnitionLast)
        return QStringLiteral("Ignition");
    const auto found = named.find(stage);
    return found != named.end() ? found->second : QStringLiteral("Unknown");
}

std::optional<QColor> StageBand(quint8 stage)
{
    if (stage > LastKnownStage)
        return std::nullopt;
    if (stage == 0)
        return StageColor::Pause;
    if (stage <= 2)
        return StageColor::Preparing;
    if (stage <= IgnitionLast)
        return StageColor::Ignition;
    if (stage == 25 || stage == 26)
        return StageColor::SwitchingOff;
    return StageColor::Burning;
}

QString FaultText(quint8 code)
{
    static const std::map<quint8, QString> named = {
        {0, QStringLiteral("-")},
        {1, QStringLiteral("HE overheating")},
        {2, QStringLiteral("Possible overheating on T sensor")},
        {3, QStringLiteral("T sens.1 failure")},
        {4, QStringLiteral("T sens.2 failure")},
        {5, QStringLiteral("FI failure")},
        {6, QStringLiteral("Built-in T sensor failure")},
        {7, QStringLiteral("Flame failure at low mode")},
        {8, QStringLiteral("Flame failure at high mode")},
        {9, QStringLiteral("Plug failure")},
        {10, QStringLiteral("Air pump motor failure")},
        {11, QStringLiteral("Overheating")},
        {12, QStringLiteral("Voltage boost")},
        {13, QStringLiteral("No further activation attempt is possible")},
        {14, QStringLiteral("Pump failure")},
        {15, QStringLiteral("Low voltage")},
        {16, QStringLiteral("Too long ventilation period")},
        {17, QStringLiteral("Fuel pump failure")},
        {20, QStringLiteral("No connection between Control panel and the heater")},
        {21, QStringLiteral("Flame failure at warming")},
        {22, QStringLiteral("FP failure")},
        {27, QStringLiteral("Air pump’ motor won’t rotate")},
        {28, QStringLiteral("Air pump’ motor won’t switch off")},
        {29, QStringLiteral("Flamout count exceeded")},
        {30, QStringLiteral("Flame failure from low voltage")},
        {60, QStringLiteral("Relay failure")},
        {61, QStringLiteral("Relay failure")},
        {78, QStringLiteral("Flameout")},
    };
    const auto found = named.find(code);
    return found != named.end() ? found->second : QString::number(code);
}

} // namespace Hydrel7
