#include "support/EventSequence.h"
#include <QStringList>
#include <random>

namespace {

// Draws from the generator's raw numbers, so that a seed gives the same sequence everywhere.
class TDraw {
public:
    explicit TDraw(quint32 seed) : Rng(seed) {}
    // A whole number from low to high, both included.
    int Between(int low, int high) { return low + int(Rng() % quint32(high - low + 1)); }

private:
    std::mt19937 Rng;
};

struct TWeighted {
    TEventKind Kind;
    int Weight;
};
constexpr TWeighted Kinds[] = {
    {TEventKind::Wait, 10},     {TEventKind::PanelStart, 18}, {TEventKind::PanelStop, 9},
    {TEventKind::OwnStart, 9},  {TEventKind::OwnStop, 8},     {TEventKind::Quiet, 14},
    {TEventKind::Unplug, 8},    {TEventKind::DiskFull, 10},   {TEventKind::BoxOpen, 7},
    {TEventKind::ModelSwitch, 7},
};

TEventKind DrawKind(TDraw &draw)
{
    int total = 0;
    for (const TWeighted &kind : Kinds)
        total += kind.Weight;
    int at = draw.Between(0, total - 1);
    for (const TWeighted &kind : Kinds) {
        if (at < kind.Weight)
            return kind.Kind;
        at -= kind.Weight;
    }
    return TEventKind::Wait;
}

// Mostly a few seconds, often up to a minute, now and then up to two: long enough for a run to end.
int DrawAfter(TDraw &draw)
{
    const int band = draw.Between(0, 99);
    if (band < 50)
        return draw.Between(0, 10);
    if (band < 85)
        return draw.Between(10, 60);
    return draw.Between(60, 120);
}

int MaxSeconds(TEventKind kind)
{
    switch (kind) {
    case TEventKind::Quiet:
    case TEventKind::Unplug:
    case TEventKind::BoxOpen:
        return 30;
    case TEventKind::DiskFull:
        return 60;
    case TEventKind::ModelSwitch:
        return 20;
    default:
        return 0;
    }
}

bool Closing(TEventKind kind)
{
    return kind == TEventKind::Close || kind == TEventKind::Terminate;
}

} // namespace

TSequence GenerateSequence(quint32 seed)
{
    TDraw draw(seed);
    TSequence sequence;
    const int count = draw.Between(2, 10);
    for (int i = 0; i < count; ++i) {
        TEvent event;
        event.Kind = DrawKind(draw);
        if (const int most = MaxSeconds(event.Kind))
            event.Seconds = draw.Between(1, most);
        if (event.Kind == TEventKind::Quiet)
            event.Quiet = TQuiet(draw.Between(0, 2));
        event.After = event.Kind == TEventKind::Wait ? draw.Between(1, 120) : DrawAfter(draw);
        sequence << event;
    }
    TEvent end;
    end.Kind = draw.Between(0, 1) == 0 ? TEventKind::Close : TEventKind::Terminate;
    end.After = draw.Between(0, 60);
    sequence << end;
    return sequence;
}

QString Describe(const TEvent &event)
{
    const QString seconds = QString::number(event.Seconds) + QStringLiteral(" s");
    QString what;
    switch (event.Kind) {
    case TEventKind::Wait:
        what = QStringLiteral("wait");
        break;
    case TEventKind::PanelStart:
        what = QStringLiteral("Start on the panel");
        break;
    case TEventKind::PanelStop:
        what = QStringLiteral("Stop on the panel");
        break;
    case TEventKind::OwnStart:
        what = QStringLiteral("heater starts by itself");
        break;
    case TEventKind::OwnStop:
        what = QStringLiteral("heater stops by itself");
        break;
    case TEventKind::Quiet: {
        static const char *const how[] = {"answers lost on the line", "nothing through either way",
                                          "heater's supply cut, back at rest"};
        what = QStringLiteral("line quiet %1 (%2)").arg(seconds, QLatin1String(how[int(event.Quiet)]));
        break;
    }
    case TEventKind::Unplug:
        what = QStringLiteral("adapter out for ") + seconds;
        break;
    case TEventKind::DiskFull:
        what = QStringLiteral("disk full for ") + seconds;
        break;
    case TEventKind::BoxOpen:
        what = QStringLiteral("a box left open %1 (Start pressed while running)").arg(seconds);
        break;
    case TEventKind::ModelSwitch:
        what = QStringLiteral("another model for ") + seconds;
        break;
    case TEventKind::Close:
        return QStringLiteral("%1 s later the program closes").arg(event.After);
    case TEventKind::Terminate:
        return QStringLiteral("%1 s later SIGTERM").arg(event.After);
    }
    return QStringLiteral("%1, then %2 s").arg(what).arg(event.After);
}

QString Describe(const TSequence &sequence)
{
    QStringList lines;
    for (qsizetype i = 0; i < sequence.size(); ++i)
        lines << QStringLiteral("  %1. %2").arg(i + 1).arg(Describe(sequence[i]));
    return lines.join(QLatin1Char('\n'));
}

TSequence Shrink(TSequence sequence, const std::function<bool(const TSequence &)> &stillFails)
{
    for (bool shorter = true; shorter;) {
        shorter = false;
        for (qsizetype i = 0; i < sequence.size();) {
            if (Closing(sequence[i].Kind)) {
                ++i;
                continue;
            }
            TSequence fewer = sequence;
            fewer.removeAt(i);
            if (stillFails(fewer)) {
                sequence = fewer;
                shorter = true;
            } else {
                ++i;
            }
        }
        for (qsizetype i = 0; i < sequence.size(); ++i) {
            for (int TEvent::*field : {&TEvent::Seconds, &TEvent::After}) {
                const int least = field == &TEvent::Seconds && MaxSeconds(sequence[i].Kind) > 0 ? 1 : 0;
                auto take = [&](int value) {
                    TSequence quicker = sequence;
                    quicker[i].*field = value;
                    if (!stillFails(quicker))
                        return false;
                    sequence = quicker;
                    shorter = true;
                    return true;
                };
                // The least first, then halves while it still fails.
                if (sequence[i].*field <= least || take(least))
                    continue;
                for (int value = sequence[i].*field / 2; value > least && take(value); value /= 2) {
                }
            }
        }
    }
    return sequence;
}
