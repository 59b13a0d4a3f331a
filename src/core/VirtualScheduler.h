#pragma once
#include "core/Scheduler.h"
#include <map>
#include <utility>

// The tests' scheduler: a virtual clock that only moves inside Delay (or AdvanceBy). Moving it runs,
// in time order, every task that falls due, re-entrantly, as the message pump would: a task that
// itself calls Delay runs the later tasks inside that call.
class TVirtualScheduler : public TScheduler {
public:
    qint64 Now() const override { return Clock; }
    TaskId CallAt(qint64 atMs, std::function<void()> fn) override;
    void Cancel(TaskId id) override;
    void Delay(int ms) override;
    void PumpOnce() override;

    // Test helpers: move the clock by ms, or until pred() holds (at most limitMs). Returns pred().
    void AdvanceBy(qint64 ms) { Delay(int(ms)); }
    bool AdvanceUntil(const std::function<bool()> &pred, qint64 limitMs, int stepMs = 10);
    int PendingCount() const { return int(Tasks.size()); }

private:
    bool RunNextDueBy(qint64 limit);

    // Ordered by (due time, insertion order), so tasks due together run in the order they were made.
    std::map<std::pair<qint64, TaskId>, std::function<void()>> Tasks;
    std::map<TaskId, qint64> DueOf;
    qint64 Clock = 0;
    TaskId NextId = 1;
};
