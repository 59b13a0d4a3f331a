#pragma once
#include "core/Scheduler.h"
#include <QObject>
#include <functional>

// A handler's timer: calls OnTimer(this) once per Interval while Enabled, on the scheduler's clock.
// Enabling an enabled timer changes nothing; disabling and enabling again, or a new interval or a
// new handler while enabled, starts a full new interval. A tick that is late is delivered once.
class TTimer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(QObject *sender)>;

    explicit TTimer(int intervalMs = 1000, QObject *parent = nullptr);
    ~TTimer() override;

    bool Enabled() const { return IsEnabled; }
    void SetEnabled(bool enabled);
    int Interval() const { return IntervalMs; }
    void SetInterval(int ms);
    void SetOnTimer(Handler handler);

private:
    void Arm();
    void Disarm();
    void Tick();

    Handler OnTimer;
    int IntervalMs;
    bool IsEnabled = false;
    bool Armed = false;
    TScheduler::TaskId Task = 0;
};
