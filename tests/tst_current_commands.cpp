// The Hydrel-7S commands: the frames they write, their refusals while the heater is launched, and the
// recordings they begin.
#include "support/CurrentPeer.h"
#include "support/RunLogHeaders.h"
#include "views/fGraph.h"
#include <QtTest>

using namespace CurrentTest;

class TestCurrentCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<TOrvelFixture> F;

    // A run started from the panel and acknowledged: the heater counts as launched.
    void Launch(quint8 stage, quint8 mode)
    {
        F->Orvel->Start();
        F->Feed(Frame(1));
        TStatus status;
        status.Stage = stage;
        status.Mode = mode;
        status.BlowerActual = 30;
        F->Feed(status.Frame());
        QVERIFY(F->Orvel->Running);
        F->TakeWritten();
        F->H.Dialogs.clear();
    }

private slots:
    void init()
    {
        F = std::make_unique<TOrvelFixture>();
        F->Feed(TStatus().Frame());
        F->TakeWritten();
    }
    void cleanup() { F.reset(); }

    void framesOfTheCommands()
    {
        F->Orvel->Stop();
        QCOMPARE(F->TakeWritten().toHex(' '), QByteArray("aa 03 00 00 03 5d 7c"));
        F->Orvel->RunPump(90);
        QCOMPARE(F->TakeWritten().toHex(' '), QByteArray("aa 03 01 00 22 00 4d 45 aa 03 02 00 21 00 5a c8 b8"));
        F->Orvel->Start();
        QCOMPARE(F->TakeWritten(), Frame(1));
        QVERIFY(F->Orvel->StartRequested);
    }

    void fuelPumpingSendsItsCountHalfASecondLater()
    {
        const qint64 before = F->H.Clock.Now();
        F->Orvel->PumpFuel(255);
        QVERIFY(F->H.Clock.Now() - before >= 500);
        QCOMPARE(F->TakeWritten().toHex(' '), QByteArray("aa 03 00 00 12 51 bc aa 03 01 00 13 ff 9d 10"));
        // It begins a recording with the Russian header.
        QVERIFY(F->Orvel->Running);
        QCOMPARE(F->Orvel->RunLog(), QStringList{RunLogHeaders::Russian});
    }

    void settingsPayload_data()
    {
        QTest::addColumn<int>("workTime");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("unlimited") << -1 << QByteArray::fromHex("ffff 01 16 01 05");
        QTest::newRow("20 minutes") << 20 << QByteArray::fromHex("0014 01 16 01 05");
        QTest::newRow("300 minutes") << 300 << QByteArray::fromHex("012c 01 16 01 05");
    }
    void settingsPayload()
    {
        QFETCH(int, workTime);
        QFETCH(QByteArray, payload);
        F->Orvel->StartWithSettings(qint16(workTime), 1, 22, 1, 5);
        QCOMPARE(F->TakeWritten(), Frame(1, payload));
        QVERIFY(F->Orvel->StartRequested);
        Launch(3, 0);
        F->Orvel->ApplySettings(qint16(workTime), 1, 22, 1, 5);
        QCOMPARE(F->TakeWritten(), Frame(2, payload));
    }

    void refusalsWhileLaunched_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("start") << "start" << "Unable to perform: Hydrel-7S launched.";
        QTest::newRow("start with settings") << "startWithSettings" << "Unable to perform: Hydrel-7S launched.";
        QTest::newRow("blower while burning") << "blower" << "Unable to perform: Hydrel-7S launched.";
        QTest::newRow("fuel pumping") << "pumpFuel" << "Невозможно выполнить. Изделие запущено.";
    }
    void refusalsWhileLaunched()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        Launch(3, 0);
        const QStringList runLog = F->Orvel->RunLog();
        if (command == "start")
            F->Orvel->Start();
        else if (command == "startWithSettings")
            F->Orvel->StartWithSettings(20, 1, 22, 1, 5);
        else if (command == "blower")
            F->Orvel->SetBlower(40);
        else
            F->Orvel->PumpFuel(10);
        QCOMPARE(F->H.Messages(), QStringList{message});
        QVERIFY(F->TakeWritten().isEmpty());
        QCOMPARE(F->Orvel->RunLog(), runLog);
    }

    void applyingSettingsNeedsARunningHeater()
    {
        F->Orvel->ApplySettings(20, 1, 22, 1, 5);
        QCOMPARE(F->H.Messages(), QStringList{QStringLiteral("Unable to perform: Hydrel-7S not launched.")});
        QVERIFY(F->TakeWritten().isEmpty());
    }

    void blowerInVentilationIsAccepted()
    {
        Launch(0, 3);
        const QStringList runLog = F->Orvel->RunLog();
        F->Orvel->SetBlower(40);
        QVERIFY(F->H.Messages().isEmpty());
        QCOMPARE(F->TakeWritten(), Frame(8, QByteArray(1, char(40))));
        // The blower already turns: no new recording.
        QCOMPARE(F->Orvel->RunLog(), runLog);
    }

    void blowerFromStandstillBeginsARecording()
    {
        // A first blowing run with a row of its own; the heater then ventilates, its blower still at rest.
        // Blowing again belongs to the run already recorded: it goes on, not split into a second file.
        F->Orvel->SetBlower(20);
        F->Orvel->TransmitTimerEvent(nullptr);
        TStatus ventilating;
        ventilating.Mode = 3;
        F->Feed(ventilating.Frame());
        QCOMPARE(F->Orvel->RunLog().size(), 2);
        F->TakeWritten();
        F->Orvel->SetBlower(25);
        QCOMPARE(F->TakeWritten(), Frame(8, QByteArray(1, char(25))));
        QVERIFY(F->Orvel->Running);
        QCOMPARE(F->Orvel->RunLog().size(), 2);
        QVERIFY(!F->Orvel->LogSaved);
    }
};

QTEST_MAIN(TestCurrentCommands)
#include "tst_current_commands.moc"
