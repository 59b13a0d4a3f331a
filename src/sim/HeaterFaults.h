#pragma once
#include "core/Scheduler.h"
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

// What a simulated heater gets wrong on its own side, beside the line faults, the same for every
// protocol family:
//   "retry-only"  the heater answers a request only when it comes again: the first copy goes unheard,
//                 the next copy of the same request is taken, and the copy after that counts as a
//                 first one again
//   "restart"     RestartAfterMs after it is chosen the control unit restarts once: it is deaf and
//                 mute for RebootMs, as a rebooting control unit is, and comes back in its power-on
//                 state (at rest, nothing streamed), so a run in progress ends
// The two replace one another; either comes on top of a line fault. The family says what its
// power-on state is (PowerOn, called as the restart begins) and what makes two requests the same.
class THeaterFaults {
public:
    using TPowerOn = std::function<void()>;

    explicit THeaterFaults(TPowerOn powerOn);
    // A restart still to come is dropped with the heater.
    ~THeaterFaults();
    THeaterFaults(const THeaterFaults &) = delete;
    THeaterFaults &operator=(const THeaterFaults &) = delete;

    // Chooses a fault by name; false for a name that is not one (the fault chosen before stays).
    bool Select(const QString &name);
    // No fault; a restart under way still runs its course.
    void Clear();
    static QStringList Names();

    // Whether the heater takes this complete request (the bytes that tell it from other requests).
    bool Takes(const QByteArray &request);
    // True from the start of a restart until the control unit is back: it hears and sends nothing.
    bool Rebooting() const { return RebootTask != 0; }
    // The supply goes for ms: the control unit is in its power-on state at once and deaf and mute
    // until the supply is back. A cut during a cut lasts until the later end.
    void CutPower(int ms);

    static constexpr int RestartAfterMs = 30000;
    static constexpr int RebootMs = 2000;

private:
    TPowerOn PowerOn;
    bool RetryOnly = false;
    QSet<QByteArray> HeardOnce;
    TScheduler::TaskId RestartTask = 0;
    TScheduler::TaskId RebootTask = 0;
    qint64 RebootEndsAt = 0;
};
