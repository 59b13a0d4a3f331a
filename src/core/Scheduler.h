#pragma once
#include <QtGlobal>
#include <functional>

// The one clock of the program. Timers, Delay and the in-memory serial line all go through it, so
// that the program runs on the Qt event loop while tests run the same code on a virtual clock.
class TScheduler {
public:
    using TaskId = quint64;

    virtual ~TScheduler() = default;

    // Milliseconds since an arbitrary start.
    virtual qint64 Now() const = 0;
    // Runs fn once on the user-interface thread when the clock reaches atMs (at once if it has).
    virtual TaskId CallAt(qint64 atMs, std::function<void()> fn) = 0;
    virtual void Cancel(TaskId id) = 0;
    // Waits at least ms milliseconds while pumping events; pumps once even for ms <= 0.
    virtual void Delay(int ms) = 0;
    // Delivers what is due now, once, and returns.
    virtual void PumpOnce() = 0;

    // The scheduler in force: the Qt one unless a test installed another.
    static TScheduler &Instance();
    // Installs a scheduler (not owned); nullptr returns to the Qt one.
    static void Install(TScheduler *scheduler);
};
