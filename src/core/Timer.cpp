#include "core/Timer.h"

TTimer::TTimer(int intervalMs, QObject *parent) : QObject(parent), IntervalMs(intervalMs) {}

TTimer::~TTimer()
{
    Disarm();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == IsEnabled)
        return;
    IsEnabled = enabled;
    if (enabled)
        Arm();
    else
        Disarm();
}

void TTimer::SetInterval(int ms)
{
    if (ms == IntervalMs)
        return;
    IntervalMs = ms;
    if (IsEnabled) {
        Disarm();
        Arm();
    }
}

void TTimer::SetOnTimer(Handler handler)
{
    OnTimer = std::move(handler);
    if (IsEnabled) {
        Disarm();
        Arm();
    }
}

void TTimer::Arm()
{
    if (IntervalMs <= 0 || !OnTimer)
        return;
    TScheduler &clock = TScheduler::Instance();
    Task = clock.CallAt(clock.Now() + IntervalMs, [this] { Tick(); });
    Armed = true;
}

void TTimer::Disarm()
{
    if (Armed)
        TScheduler::Instance().Cancel(Task);
    Armed = false;
}

void TTimer::Tick()
{
    Armed = false;
    // The next interval counts from this tick, so a late tick is not followed by a burst of others.
    Arm();
    if (OnTimer)
        OnTimer(this);
}
