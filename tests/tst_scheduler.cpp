// The clock every timer and wait goes through: the virtual scheduler's ordering and re-entrancy,
// and the timer rules the handlers rely on.
#include "core/Timer.h"
#include "core/VirtualScheduler.h"
#include <QtTest>

class TestScheduler : public QObject {
    Q_OBJECT

    TVirtualScheduler *Clock = nullptr;

private slots:
    void init()
    {
        Clock = new TVirtualScheduler;
        TScheduler::Install(Clock);
    }
    void cleanup()
    {
        TScheduler::Install(nullptr);
        delete Clock;
    }

    void tasksRunInTimeOrderThenCreationOrder()
    {
        QStringList order;
        Clock->CallAt(30, [&] { order << "c30"; });
        Clock->CallAt(10, [&] { order << "a10"; });
        Clock->CallAt(10, [&] { order << "b10"; });
        Clock->Delay(29);
        QCOMPARE(order, QStringList({"a10", "b10"}));
        QCOMPARE(Clock->Now(), qint64(29));
        Clock->Delay(1);
        QCOMPARE(order, QStringList({"a10", "b10", "c30"}));
    }

    void cancelledTaskNeverRuns()
    {
        bool ran = false;
        const auto id = Clock->CallAt(5, [&] { ran = true; });
        Clock->Cancel(id);
        Clock->Delay(100);
        QVERIFY(!ran);
        QCOMPARE(Clock->PendingCount(), 0);
    }

    void delayPumpsOnceEvenForZeroOrNegative_data()
    {
        QTest::addColumn<int>("ms");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -50;
    }
    void delayPumpsOnceEvenForZeroOrNegative()
    {
        QFETCH(int, ms);
        bool ran = false;
        Clock->CallAt(0, [&] { ran = true; });
        Clock->Delay(ms);
        QVERIFY(ran);
        QCOMPARE(Clock->Now(), qint64(0));
    }

    // A task that waits runs the later tasks inside its wait, as the message pump does.
    void delayInsideATaskRunsLaterTasksReentrantly()
    {
        QStringList order;
        Clock->CallAt(10, [&] {
            order << "outer-start";
            Clock->Delay(100);
            order << "outer-end@" + QString::number(Clock->Now());
        });
        Clock->CallAt(50, [&] { order << "inner@" + QString::number(Clock->Now()); });
        Clock->Delay(20);
        QCOMPARE(order, QStringList({"outer-start", "inner@50", "outer-end@110"}));
        QCOMPARE(Clock->Now(), qint64(110));
    }

    void timerTicksOncePerIntervalWithItselfAsSender()
    {
        TTimer timer(1000);
        QList<qint64> ticks;
        QObject *seen = nullptr;
        timer.SetOnTimer([&](QObject *sender) {
            ticks << Clock->Now();
            seen = sender;
        });
        timer.SetEnabled(true);
        Clock->Delay(3500);
        QCOMPARE(ticks, QList<qint64>({1000, 2000, 3000}));
        QCOMPARE(seen, &timer);
    }

    void enablingAnEnabledTimerKeepsItsInterval()
    {
        TTimer timer(1000);
        QList<qint64> ticks;
        timer.SetOnTimer([&](QObject *) { ticks << Clock->Now(); });
        timer.SetEnabled(true);
        Clock->Delay(600);
        timer.SetEnabled(true);
        Clock->Delay(500);
        QCOMPARE(ticks, QList<qint64>({1000}));
    }

    void restartingStartsAFullInterval_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("disable and enable") << "toggle";
        QTest::newRow("new interval") << "interval";
        QTest::newRow("new handler") << "handler";
    }
    void restartingStartsAFullInterval()
    {
        QFETCH(QString, how);
        TTimer timer(1000);
        QList<qint64> ticks;
        auto record = [&](QObject *) { ticks << Clock->Now(); };
        timer.SetOnTimer(record);
        timer.SetEnabled(true);
        Clock->Delay(600);
        if (how == "toggle") {
            timer.SetEnabled(false);
            timer.SetEnabled(true);
        } else if (how == "interval") {
            timer.SetInterval(1500);
        } else {
            timer.SetOnTimer(record);
        }
        Clock->Delay(1000);
        const qint64 expected = how == "interval" ? 2100 : 1600;
        Clock->Delay(1000);
        QVERIFY(!ticks.isEmpty());
        QCOMPARE(ticks.first(), expected);
    }

    void disabledTimerDoesNotTick()
    {
        TTimer timer(100);
        int ticks = 0;
        timer.SetOnTimer([&](QObject *) { ++ticks; });
        timer.SetEnabled(true);
        Clock->Delay(250);
        timer.SetEnabled(false);
        Clock->Delay(1000);
        QCOMPARE(ticks, 2);
    }

    // A handler that keeps the thread busy past several intervals gets one late tick, not a burst.
    void lateTickIsDeliveredOnceNotQueued()
    {
        TTimer timer(100);
        QList<qint64> ticks;
        bool busyOnce = true;
        timer.SetOnTimer([&](QObject *) {
            ticks << Clock->Now();
            if (busyOnce) {
                busyOnce = false;
                Clock->Delay(350); // the tick's own work, pumping as Delay does
            }
        });
        timer.SetEnabled(true);
        Clock->Delay(1000);
        // The tick at 100 waits until 450; inside it the timer keeps its rhythm (200, 300, 400),
        // never doubling up, and goes on evenly afterwards.
        for (int i = 1; i < ticks.size(); ++i)
            QCOMPARE(ticks[i] - ticks[i - 1], qint64(100));
        QCOMPARE(ticks.first(), qint64(100));
        QCOMPARE(ticks.size(), 10);
    }

    void destroyedTimerNeverFires()
    {
        int ticks = 0;
        auto *timer = new TTimer(100);
        timer->SetOnTimer([&](QObject *) { ++ticks; });
        timer->SetEnabled(true);
        delete timer;
        Clock->Delay(500);
        QCOMPARE(ticks, 0);
        QCOMPARE(Clock->PendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "tst_scheduler.moc"
