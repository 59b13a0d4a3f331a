#include "core/QtScheduler.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

TQtScheduler::TQtScheduler()
{
    Clock.start();
}

TQtScheduler::~TQtScheduler()
{
    qDeleteAll(Pending);
}

qint64 TQtScheduler::Now() const
{
    return Clock.elapsed();
}

TScheduler::TaskId TQtScheduler::CallAt(qint64 atMs, std::function<void()> fn)
{
    const TaskId id = NextId++;
    auto *timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, fn = std::move(fn)] {
        if (QTimer *done = Pending.take(id))
            done->deleteLater();
        fn();
    });
    Pending.insert(id, timer);
    timer->start(int(qMax<qint64>(0, atMs - Now())));
    return id;
}

void TQtScheduler::Cancel(TaskId id)
{
    if (QTimer *timer = Pending.take(id)) {
        timer->stop();
        timer->deleteLater();
    }
}

void TQtScheduler::Delay(int ms)
{
    const qint64 end = Now() + qMax(0, ms);
    PumpOnce();
    // A nested loop sleeps until an event comes; the single-shot wakes it at the end of the wait.
    while (Now() < end) {
        QEventLoop loop;
        QTimer::singleShot(int(end - Now()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void TQtScheduler::PumpOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
