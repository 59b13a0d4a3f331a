// The legacy air family's link on the virtual clock: one command in flight with the rest queued, the
// identity answers, the search and the poll cycle of each model, and the watchdog that re-sends
// (pre-heater) or only waits (air heater) before the line is declared lost.
#include "support/AirPeer.h"
#include "core/Timer.h"
#include <QtTest>

using namespace AirTest;

class TestAirLink : public QObject {
    Q_OBJECT

private slots:
    void commandWaitsForTheAnswerAhead_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("Zephal") << QStringLiteral("Zephal-3/-33/-6 [old rev.]");
        QTest::newRow("Corva") << QStringLiteral("Corva");
    }
    void commandWaitsForTheAnswerAhead()
    {
        QFETCH(QString, caption);
        TAirFixture f(caption);
        f.Quiet();
        f.Line->Written.clear();
        f.Product->SendCommand(3);
        f.Product->SendCommand(7);
        f.H.Clock.AdvanceBy(100);
        QCOMPARE(f.Product->pq, QList<quint8>({3, 7}));
        QCOMPARE(f.Line->Written, Bytes({3, 3}));
        f.Feed(Answer(1, 0, 0));
        f.H.Clock.AdvanceBy(100);
        QCOMPARE(f.Product->pq, QList<quint8>({7}));
        QCOMPARE(f.Line->Written, Bytes({3, 3, 7, 7}));
        // An answer with nothing in flight is consumed and decodes nothing.
        f.Feed(Answer(1, 0, 125));
        QVERIFY(f.Product->pq.isEmpty());
        f.Feed(Answer(1, 0, 99));
        QVERIFY(f.Product->RxData.isEmpty());
        QCOMPARE(f.Product->Voltage, 12.5);
    }

    void sendLogLinesDifferByModel()
    {
        {
            TAirFixture f(QStringLiteral("Zephal-3/-33/-6 [old rev.]"));
            f.Quiet();
            f.Product->SendCommand(7);
            const QStringList lines = f.H.LogLines();
            QVERIFY(lines.last().endsWith(QStringLiteral(" ProcessCommand: 7,7 sent.")));
            QVERIFY(lines[lines.size() - 2].endsWith(QStringLiteral(" SendCommand(7)")));
            QVERIFY(!f.H.LogContains(QStringLiteral("Length(pq)")));
        }
        TAirFixture f(QStringLiteral("Corva"));
        f.Quiet();
        f.Product->SendCommand(7);
        f.Product->SendCommand(15);
        QVERIFY(f.H.LogContains(QStringLiteral(" SendCommand: Length(pq)=0")));
        QVERIFY(f.H.LogContains(QStringLiteral(" SendCommand: Length(pq)=1")));
        QVERIFY(!f.H.LogContains(QStringLiteral(" sent.")));
    }

    void identityAnswers_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("Zephal") << QStringLiteral("Zephal-3/-33/-6 [old rev.]") << QStringLiteral("Zephal");
        QTest::newRow("Corva") << QStringLiteral("Corva") << QStringLiteral("Corva");
    }
    void identityAnswers()
    {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        TAirFixture f(caption);
        f.Quiet();
        f.Product->SendCommand(56);
        f.Product->SendCommand(57);
        f.Product->SendCommand(4);
        f.Feed(Answer(1, 5, 18));
        f.Feed(Answer(1, 52, 86));
        QCOMPARE(f.Product->SerialRawHigh, quint16(1298));
        QCOMPARE(f.Product->SerialRawLow, quint16(13398));
        QCOMPARE(f.Product->SerialHigh, 5);
        QCOMPARE(f.Product->SerialLow, 1193046);
        QCOMPARE(f.Product->SerialLowText, QStringLiteral("1193046"));
        QCOMPARE(f.Product->SerialNumberText, QStringLiteral("051193046"));
        QVERIFY(f.H.LogContains(QStringLiteral(" FullNumber: 051193046")));
        f.Feed(Answer(1, 3, 12));
        QCOMPARE(f.Product->VersionText, QStringLiteral("3-12"));
        QVERIFY(f.Product->Identified);
        QVERIFY(f.H.LogContains(QStringLiteral(" Version: 3-12")));
        QCOMPARE(f.H.Title(), QStringLiteral("Thermoryx Diagnostic - ") + name
                                  + QStringLiteral(" #051193046 firmware version: 3-12"));
    }

    void serialWithoutItsHighHalfChangesNothing()
    {
        TAirFixture f(QStringLiteral("Zephal-3/-33/-6 [old rev.]"));
        f.Quiet();
        f.Product->SendCommand(57);
        f.Product->SendCommand(4);
        f.Feed(Answer(1, 52, 86));
        QVERIFY(f.Product->SerialNumberText.isEmpty());
        QVERIFY(!f.H.LogContains(QStringLiteral("FullNumber")));
        f.Feed(Answer(1, 2, 7));
        QCOMPARE(f.H.Title(), QStringLiteral("Thermoryx Diagnostic - Zephal # firmware version: 2-7"));
    }

    void searchThenPollCycle_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<quint8>>("burst");
        QTest::addColumn<QList<quint8>>("cycle");
        QTest::addColumn<int>("period");
        QTest::newRow("Zephal") << QStringLiteral("Zephal-3/-33/-6 [old rev.]") << QList<quint8>{27, 37, 56, 57, 4}
                                << QList<quint8>{3, 7, 15, 16, 26, 29, 35} << 2000;
        QTest::newRow("Corva") << QStringLiteral("Corva") << QList<quint8>{56, 57, 4}
                               << QList<quint8>{3, 7, 15, 16, 26, 29} << 2500;
    }
    void searchThenPollCycle()
    {
        QFETCH(QString, caption);
        QFETCH(QList<quint8>, burst);
        QFETCH(QList<quint8>, cycle);
        QFETCH(int, period);
        TAirFixture f(caption);
        f.Heater.AnswerEverything();
        QCOMPARE(f.Line->LineBaudRate(), 2400);
        QVERIFY(f.H.Clock.AdvanceUntil([&] { return f.Product->Identified; }, period + 3000));
        QCOMPARE(f.Heater.Requests, burst);
        QVERIFY(f.H.LogContains(f.Product->ClassName() + QStringLiteral(".OnSearchTimer.")));
        // The next search tick starts polling; one cycle later the presentation runs.
        f.Heater.Requests.clear();
        QVERIFY(f.H.Clock.AdvanceUntil([&] { return f.Product->StatusActive; }, 2 * period + 3000));
        QCOMPARE(f.Heater.Requests, cycle);
        QVERIFY(f.Product->TransmitTimer->Enabled());
        QVERIFY(!f.Product->SearchTimer->Enabled());
        QVERIFY(f.H.LogContains(QStringLiteral(" TimerEvent")));
        f.Heater.Requests.clear();
        f.H.Clock.AdvanceBy(period);
        QCOMPARE(f.Heater.Requests, cycle);
    }

    void watchdogDiffersByModel_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("sends");
        QTest::addColumn<int>("lostAfterMs");
        QTest::newRow("Zephal waits") << QStringLiteral("Zephal-3/-33/-6 [old rev.]") << 1 << 16 * 350;
        QTest::newRow("Corva re-sends 15 times") << QStringLiteral("Corva") << 16 << 16 * 450;
    }
    void watchdogDiffersByModel()
    {
        QFETCH(QString, caption);
        QFETCH(int, sends);
        QFETCH(int, lostAfterMs);
        TAirFixture f(caption);
        f.Quiet();
        const qint64 sentAt = f.H.Clock.Now();
        f.Product->SendCommand(7);
        QVERIFY(f.H.Clock.AdvanceUntil([&] { return f.H.LogContains(QStringLiteral(" Connection lost.")); }, 20000, 1));
        QCOMPARE(f.H.Clock.Now() - sentAt, qint64(lostAfterMs));
        QCOMPARE(int(f.Heater.Requests.count(7)), sends);
        QVERIFY(f.Product->pq.isEmpty());
        QVERIFY(f.Product->SearchTimer->Enabled());
        QCOMPARE(f.H.Title(), QStringLiteral("Thermoryx Diagnostic - ") + (caption == QLatin1String("Corva")
                                                                               ? QStringLiteral("Corva")
                                                                               : QStringLiteral("Zephal"))
                                  + QStringLiteral(" - Connecting..."));
    }

    void corvaRepeatsALostAnswerAndGoesOn()
    {
        TAirFixture f(QStringLiteral("Corva"));
        f.Quiet();
        f.Product->SendCommand(7);
        f.Product->SendCommand(15);
        f.H.Clock.AdvanceBy(470);
        QCOMPARE(f.Heater.Requests, QList<quint8>({7, 7}));
        f.Feed(Answer(1, 0, 120));
        f.H.Clock.AdvanceBy(50);
        QCOMPARE(f.Heater.Requests, QList<quint8>({7, 7, 15}));
        QCOMPARE(f.Product->ErrorCount, 0);
        QCOMPARE(f.Product->Voltage, 12.0);
    }

    void lossClearsTheQueueAndValues()
    {
        TAirFixture f(QStringLiteral("Zephal-3/-33/-6 [old rev.]"));
        f.Quiet();
        f.Product->SendCommand(1);
        f.Product->SendCommand(7);
        f.Product->StatusCommand = 1;
        f.Feed(Answer(3, 2, 5));
        f.Product->RxData = Bytes({1, 2});
        f.H.Clock.AdvanceBy(16 * 350);
        QVERIFY(f.H.LogContains(QStringLiteral(" Connection lost.")));
        QCOMPARE(f.Product->Stage, quint8(0));
        QCOMPARE(f.Product->FaultCode, quint8(0));
        QCOMPARE(f.Product->StatusCommand, quint8(3));
        QVERIFY(!f.Product->FaultFlag && !f.Product->StatusBit0);
        QVERIFY(f.Product->RxData.isEmpty());
    }
};

QTEST_MAIN(TestAirLink)
#include "tst_air_link.moc"
