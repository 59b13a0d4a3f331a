#include "sim/HeaterFaults.h"
#include <utility>

THeaterFaults::THeaterFaults(TPowerOn powerOn) : PowerOn(std::move(powerOn)) {}

THeaterFaults::~THeaterFaults()
{
    TScheduler &clock = TScheduler::Instance();
    clock.Cancel(RestartTask);
    clock.Cancel(RebootTask);
}

bool THeaterFaults::Select(const QString &name)
{
    if (name == QLatin1String("retry-only")) {
        Clear();
        RetryOnly = true;
    } else if (name == QLatin1String("restart")) {
        Clear();
        TScheduler &clock = TScheduler::Instance();
        RestartTask = clock.CallAt(clock.Now() + RestartAfterMs, [this] {
            RestartTask = 0;
            CutPower(RebootMs);
        });
    } else {
        return false;
    }
    return true;
}

void THeaterFaults::Clear()
{
    RetryOnly = false;
    HeardOnce.clear();
    TScheduler::Instance().Cancel(RestartTask);
    RestartTask = 0;
}

QStringList THeaterFaults::Names()
{
    return {QStringLiteral("retry-only"), QStringLiteral("restart")};
}

bool THeaterFaults::Takes(const QByteArray &request)
{
    if (Rebooting())
        return false;
    if (!RetryOnly)
        return true;
    if (HeardOnce.remove(request))
        return true;
    HeardOnce.insert(request);
    return false;
}

void THeaterFaults::CutPower(int ms)
{
    PowerOn();
    TScheduler &clock = TScheduler::Instance();
    const qint64 backAt = qMax(clock.Now() + qMax(0, ms), RebootTask != 0 ? RebootEndsAt : 0);
    clock.Cancel(RebootTask);
    RebootEndsAt = backAt;
    RebootTask = clock.CallAt(backAt, [this] { RebootTask = 0; });
}
