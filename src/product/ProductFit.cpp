// The guard against a wrong model: a heater of another model can answer the chosen model's requests
// (same speed, same frame format) with numbers that look plausible but mean something else. Once the
// heater has been identified and has answered its status a few times, what cannot come from this
// model (an answer of another length, no supply voltage, a temperature no heater shows) is named once
// in the log and the status bar.
#include "product/Product.h"
#include "product/Presentation.h"

namespace {
// Status answers and presentation ticks after the identification before the values are judged: a
// family that asks its values one by one, or whose heater sends them one frame each, has them all
// only after a full cycle.
constexpr int AnswersBeforeJudging = 2;
constexpr int TicksBeforeJudging = 2;
// A heater that answers is supplied: a 12 V or 24 V vehicle network, a weak battery included.
constexpr double LowestSupply = 1.0;
constexpr double HighestSupply = 40.0;
// What a heater's sensors can show: the coldest air it is made to start in, the hottest flame.
constexpr double ColdestReading = -60.0;
constexpr double HottestSensor = 250.0;
constexpr double HottestFlame = 1200.0;

// The measured values judged, in the order the warning names them.
const QString Supply = QStringLiteral("supply");
const QString Flame = QStringLiteral("flame indicator");
const QString Plate = QStringLiteral("plate");
const QString Liquid = QStringLiteral("liquid");
const QString Overheat = QStringLiteral("overheat sensor");

QString Whole(double value)
{
    return QString::number(qRound(value));
}
} // namespace

QStringList TProduct::MisfitFacts() const
{
    QStringList facts = NotedMisfits;
    for (const QString &name : {Supply, Flame, Plate, Liquid, Overheat}) {
        const auto misfit = ValueMisfits.constFind(name);
        if (misfit != ValueMisfits.cend() && misfit->second >= MisfitTicks())
            facts << misfit->first;
    }
    return facts;
}

void TProduct::TrackValueMisfits()
{
    struct TRange {
        QString Name;
        double Value, Lowest, Highest;
        const char *Unit;
    };
    const TRange ranges[] = {
        {Supply, Voltage, LowestSupply, HighestSupply, "V"},
        {Flame, FlameIndicator, ColdestReading, HottestFlame, "°C"},
        {Plate, TempPlate, ColdestReading, HottestSensor, "°C"},
        {Liquid, TempLiquid, ColdestReading, HottestSensor, "°C"},
        {Overheat, TempOverheat, ColdestReading, HottestSensor, "°C"},
    };
    for (const TRange &range : ranges) {
        if (range.Value >= range.Lowest && range.Value <= range.Highest) {
            ValueMisfits.remove(range.Name);
            continue;
        }
        auto &[fact, ticks] = ValueMisfits[range.Name];
        fact = QStringLiteral("%1 %2 %3").arg(range.Name, Whole(range.Value), QString::fromUtf8(range.Unit));
        ++ticks;
    }
}

void TProduct::NoteMisfit(const QString &fact)
{
    if (!NotedMisfits.contains(fact))
        NotedMisfits << fact;
}

void TProduct::CheckFit()
{
    if (!Identified || MisfitWarned)
        return;
    ++TicksSinceIdentified;
    if (AnswersSinceIdentified < AnswersBeforeJudging || TicksSinceIdentified < TicksBeforeJudging)
        return;
    TrackValueMisfits();
    WarnMisfit();
}

void TProduct::WarnMisfit()
{
    const QStringList facts = MisfitFacts();
    if (MisfitWarned || facts.isEmpty())
        return;
    MisfitWarned = true;
    const QString warning = QStringLiteral("The heater's answers do not fit %1 (%2). Check the model, or use Detect model.")
                                .arg(ModelName(), facts.join(QStringLiteral(", ")));
    if (warning != LastMisfitWarning)
        Log(TimeText() + QLatin1Char(' ') + warning);
    LastMisfitWarning = warning;
    View().ShowMisfit(warning);
}

void TProduct::ForgetFit()
{
    NotedMisfits.clear();
    ValueMisfits.clear();
    AnswersSinceIdentified = 0;
    TicksSinceIdentified = 0;
    MisfitWarned = false;
}
