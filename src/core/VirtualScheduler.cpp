#include "core/VirtualScheduler.h"

TScheduler::TaskId TVirtualScheduler::CallAt(qint64 atMs, std::function<void()> fn)
{
    const TaskId id = NextId++;
    const qint64 due = qMax(atMs, Clock);
    Tasks.emplace(std::make_pair(due, id), std::move(fn));
    DueOf.emplace(id, due);
    return id;
}

void TVirtualScheduler::Cancel(TaskId id)
{
    auto it = DueOf.find(id);
    if (it == DueOf.end())
        return;
    Tasks.erase(std::make_pair(it->second, id));
    DueOf.erase(it);
}

bool TVirtualScheduler::RunNextDueBy(qint64 limit)
{
    if (Tasks.empty() || Tasks.begin()->first.first > limit)
        return false;
    auto node = Tasks.extract(Tasks.begin());
    DueOf.erase(node.key().second);
    Clock = qMax(Clock, node.key().first);
    node.mapped()();
    return true;
}

void TVirtualScheduler::Delay(int ms)
{
    const qint64 end = Clock + qMax(0, ms);
    PumpOnce();
    while (RunNextDueBy(end)) {
    }
    Clock = qMax(Clock, end);
}

void TVirtualScheduler::PumpOnce()
{
    // Only what is due at this very moment; tasks that these create for now run on the next pump.
    const TaskId lastExisting = NextId;
    for (auto it = Tasks.begin(); it != Tasks.end() && it->first.first <= Clock;) {
        if (it->first.second >= lastExisting) {
            ++it;
            continue;
        }
        auto node = Tasks.extract(it);
        DueOf.erase(node.key().second);
        node.mapped()();
        it = Tasks.begin();
    }
}

bool TVirtualScheduler::AdvanceUntil(const std::function<bool()> &pred, qint64 limitMs, int stepMs)
{
    const qint64 end = Clock + limitMs;
    while (!pred() && Clock < end)
        Delay(int(qMin<qint64>(stepMs, end - Clock)));
    return pred();
}
