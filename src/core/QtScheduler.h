#pragma once
#include "core/Scheduler.h"
#include <QElapsedTimer>
#include <QHash>

class QTimer;

// The program's scheduler: QTimer for tasks, QElapsedTimer for the clock, a nested QEventLoop for Delay.
class TQtScheduler : public TScheduler {
public:
    TQtScheduler();
    ~TQtScheduler() override;

    qint64 Now() const override;
    TaskId CallAt(qint64 atMs, std::function<void()> fn) override;
    void Cancel(TaskId id) override;
    void Delay(int ms) override;
    void PumpOnce() override;

private:
    QElapsedTimer Clock;
    QHash<TaskId, QTimer *> Pending;
    TaskId NextId = 1;
};
