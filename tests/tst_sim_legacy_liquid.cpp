// The simulated Hydrel-7 on its own, checked against frames written down by hand (the tests' own sum
// routine): its replies, the order of its status cycle, the EEPROM reads, start and stop with their
// confirmations, and its failure modes.
#include "core/VirtualScheduler.h"
#include "sim/HeaterFaults.h"
#include "sim/Simulators.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "support/Bytes.h"
#include "support/Hydrel7Bytes.h"
#include <QtTest>

using namespace Hydrel7Test;

class TestSimLegacyLiquid : public QObject {
    Q_OBJECT

    TVirtualScheduler Clock;
    std::unique_ptr<THydrel7HeaterSim> Sim;
    QByteArray Heard;

    QList<QByteArray> Frames() const
    {
        QList<QByteArray> frames;
        for (qsizetype at = 0; at + 10 <= Heard.size(); at += 10)
            frames << Heard.mid(at, 10);
        return frames;
    }
    QList<int> Codes() const
    {
        QList<int> codes;
        for (const QByteArray &frame : Frames())
            codes << quint8(frame[4]);
        return codes;
    }
    void Ask(int code, int data = 0, int flags = 9)
    {
        Sim->Receive(Request(code, data, flags));
        Clock.AdvanceBy(10);
    }

private slots:
    void init()
    {
        TScheduler::Install(&Clock);
        Sim = std::make_unique<THydrel7HeaterSim>();
        Sim->Send = [this](const QByteArray &bytes) { Heard += bytes; };
        Heard.clear();
    }
    void cleanup()
    {
        Sim.reset();
        TScheduler::Install(nullptr);
    }

    void replies_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("data");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("serial number") << 121 << 0 << Reply(121, 12, 0x05, 0x46, 0x4E);
        QTest::newRow("version") << 104 << 0 << Reply(104, 2, 0, 13);
        QTest::newRow("FI stored") << 118 << 0 << Reply(118, 72, 72, 72);
        QTest::newRow("FI training") << 18 << 0 << Reply(18, 75);
        QTest::newRow("pump type") << 123 << 0 << Reply(123, 0);
        QTest::newRow("EEPROM, first triple") << 119 << 0 << Reply(119, 0, 72, 0, 0);
        QTest::newRow("EEPROM, product number") << 119 << 32 << Reply(119, 32, 0x4E, 0x46, 0x05);
    }
    void replies()
    {
        QFETCH(int, code);
        QFETCH(int, data);
        QFETCH(QByteArray, reply);
        Ask(code, data);
        QCOMPARE(Heard, reply);
    }

    void requestsAmongGarbageAreHeard()
    {
        Sim->Receive(Bytes({1, 2, 170, 3}) + Request(104).left(4));
        Sim->Receive(Request(104).mid(4));
        Clock.AdvanceBy(10);
        QCOMPARE(Heard, Reply(104, 2, 0, 13));
    }

    void statusCycleOnceASecond()
    {
        Ask(19);
        QCOMPARE(Codes(), QList<int>({1, 2, 3, 5, 104, 107}));
        QCOMPARE(Frames().at(2), Status(3, 0, 0, 12, 0));
        Clock.AdvanceBy(1000);
        QCOMPARE(Codes().mid(6), QList<int>({101, 102, 103, 105, 104, 107}));
        Ask(20);
        const qsizetype heard = Heard.size();
        Clock.AdvanceBy(3000);
        QCOMPARE(Heard.size(), heard);
    }

    void aStartRunsThroughTheStagesUntilAStop()
    {
        Ask(1);
        QCOMPARE(Heard, Reply(1));
        QCOMPARE(Sim->Stage(), quint8(1));
        QList<int> stages;
        for (int second = 0; second < 40; ++second) {
            Clock.AdvanceBy(1000);
            if (stages.isEmpty() || stages.last() != Sim->Stage())
                stages << Sim->Stage();
        }
        QCOMPARE(stages, QList<int>({1, 5, 21, 24}));
        Heard.clear();
        Ask(3, 0, 1);
        QCOMPARE(Heard, Reply(3));
        stages.clear();
        for (int second = 0; second < 15; ++second) {
            Clock.AdvanceBy(1000);
            if (stages.isEmpty() || stages.last() != Sim->Stage())
                stages << Sim->Stage();
        }
        QCOMPARE(stages, QList<int>({25, 26, 0}));
    }

    void failureModes()
    {
        QVERIFY(Sim->SetFailureMode(QStringLiteral("fi-unanswered")));
        Ask(118);
        Ask(18);
        QVERIFY(Heard.isEmpty());
        QVERIFY(Sim->SetFailureMode(QStringLiteral("unconfirmed-once")));
        Ask(1);
        QVERIFY(Heard.isEmpty());
        Ask(1);
        QCOMPARE(Heard, Reply(1));
        QVERIFY(Sim->SetFailureMode(QStringLiteral("bad-crc")));
        Heard.clear();
        Ask(104);
        QCOMPARE(Heard.size(), 10);
        QVERIFY(Heard != Reply(104, 2, 0, 13));
        QVERIFY(!Sim->SetFailureMode(QStringLiteral("smoke")));
        for (const QString &mode : Sim->FailureModes())
            QVERIFY2(Sim->SetFailureMode(mode), qPrintable(mode));
    }

    // Retry-only: a request is its code with its data byte; each is answered on its second copy.
    void retryOnlyAnswersTheSecondCopy()
    {
        QVERIFY(Sim->SetFailureMode(QStringLiteral("retry-only")));
        Ask(119, 0);
        Ask(119, 32);
        QVERIFY(Heard.isEmpty());
        Ask(119, 32);
        QCOMPARE(Heard, Reply(119, 32, 0x4E, 0x46, 0x05));
        Heard.clear();
        Ask(19);
        Clock.AdvanceBy(3000);
        QVERIFY(!Sim->Streaming());
        Ask(19);
        QVERIFY(Sim->Streaming());
    }

    // A restart mid-run: deaf and mute while the control unit reboots, then at pause with its work
    // time at zero and no stream until asked again.
    void restartLeavesTheHeaterAtPause()
    {
        Ask(19);
        Ask(1);
        Clock.AdvanceBy(30000);
        QCOMPARE(Sim->Stage(), quint8(24));
        QVERIFY(Sim->SetFailureMode(QStringLiteral("restart")));
        Clock.AdvanceBy(THeaterFaults::RestartAfterMs);
        Heard.clear();
        Ask(104);
        Clock.AdvanceBy(THeaterFaults::RebootMs - 11);
        QVERIFY(Heard.isEmpty());
        Clock.AdvanceBy(1);
        QCOMPARE(Sim->Stage(), quint8(0));
        QVERIFY(!Sim->Streaming());
        Ask(104);
        QCOMPARE(Heard, Reply(104, 2, 0, 13));
        Heard.clear();
        Ask(19);
        Clock.AdvanceBy(1000);
        // Work time (first status message, bytes 5 and 6) counts from zero again.
        const QList<QByteArray> frames = Frames();
        QVERIFY(!frames.isEmpty());
        QCOMPARE(quint8(frames.first()[4]) % 100, 1);
        QCOMPARE(quint8(frames.first()[5]), quint8(0));
        QCOMPARE(quint8(frames.first()[6]), quint8(0));
    }

    void theRegistryServesIt()
    {
        const std::unique_ptr<THeaterSimulator> heater = CreateSimulator(QStringLiteral("hydrel-7"));
        QVERIFY(dynamic_cast<THydrel7HeaterSim *>(heater.get()));
    }
};

QTEST_GUILESS_MAIN(TestSimLegacyLiquid)
#include "tst_sim_legacy_liquid.moc"
