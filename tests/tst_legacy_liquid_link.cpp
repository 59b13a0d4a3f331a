// The Hydrel-7 link on the virtual clock: taking over the line, the search burst, identification and
// its title, the stream switched on, the watchdog's "Connection lost." that keeps the liquid
// temperatures, and the search starting again.
#include "support/Hydrel7Peer.h"
#include "app/fMain.h"
#include "core/Timer.h"
#include "serial/ComPort.h"
#include "views/StringGrid.h"
#include "views/fViewData.h"
#include <QLocale>
#include <QtTest>

using namespace Hydrel7Test;

class TestLegacyLiquidLink : public QObject {
    Q_OBJECT
    std::unique_ptr<THydrel7Fixture> F;

    QString Cell(int row) const { return frmViewData->strngrd->Cells(1, row); }
    void AnswerIdentity(int high = 5, int low = 1234)
    {
        F->Heater.Answers[121] = Reply(121, high, low >> 16, (low >> 8) & 0xFF, low & 0xFF);
        F->Heater.Answers[104] = Reply(104, 2, 0, 13);
    }
    // Identified and streaming: the search tick after the identification has switched the stream on.
    void Stream()
    {
        AnswerIdentity();
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return !F->Heater.RequestsWithCode(19).isEmpty(); }, 5000));
        F->Cycle(0);
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        F = std::make_unique<THydrel7Fixture>();
        QVERIFY(F->Hydrel);
    }
    void cleanup() { F.reset(); }

    void creationTakesTheLineAndSearches()
    {
        QCOMPARE(F->Line->LineBaudRate(), 1200);
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7 - Connecting..."));
        TStringGrid *grid = frmViewData->strngrd;
        QStringList captions;
        for (int row = 0; row < grid->RowCount(); ++row)
            captions << grid->Cells(0, row);
        QCOMPARE(captions, QStringList({"Workmode", "Worktime", "SB", "ASB", "FP Frequency", "Plug Voltage", "FI",
                                        "T liq.1", "T liq.2", "Relay", "Pump", "T plate", "Voltage", "Faultcode"}));
        F->H.Clock.AdvanceBy(1000 + 800 + 200);
        QCOMPARE(F->Heater.Requests, QList<QByteArray>({Request(20), Request(20), Request(121), Request(104)}));
        QVERIFY(F->H.LogContains(QStringLiteral(" THydrelOld.OnSearchTimer.")));
        // Nobody answers: the search goes on every second.
        F->H.Clock.AdvanceBy(2000);
        QVERIFY(F->Heater.Requests.size() >= 8);
    }

    void identity_data()
    {
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<QString>("serial");
        QTest::newRow("short") << 5 << 1234 << "050001234";
        QTest::newRow("long") << 123 << 9876543 << "1239876543";
        QTest::newRow("zeros") << 0 << 0 << "000000000";
    }
    void identity()
    {
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(QString, serial);
        AnswerIdentity(high, low);
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Hydrel->Identified; }, 5000));
        QCOMPARE(F->Hydrel->SerialNumberText, serial);
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7 #") + serial
                                   + QStringLiteral(" firmware version: 2.0.13"));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Number: ") + serial));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Version: 2.0.13")));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("OK CRC. CMD=121")));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("OK CRC. CMD=104")));
    }

    void heaterAnsweringOnlyTheVersion()
    {
        F->Heater.Answers[104] = Reply(104, 2, 0, 13);
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Hydrel->Identified; }, 5000));
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7 # firmware version: 2.0.13"));
    }

    void theEndOfACycleMakesTheStatusActive()
    {
        AnswerIdentity();
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return !F->Heater.RequestsWithCode(19).isEmpty(); }, 5000));
        QVERIFY(F->Hydrel->Timer->Enabled());
        QVERIFY(!F->Hydrel->SearchTimer->Enabled());
        QVERIFY(!F->Hydrel->StatusActive);
        F->Feed(Status(1) + Status(2) + Status(3) + Status(5) + Status(104));
        QVERIFY(!F->Hydrel->StatusActive);
        QVERIFY(!F->Hydrel->TransmitTimer->Enabled());
        F->Feed(Status(107));
        QVERIFY(F->Hydrel->StatusActive);
        QVERIFY(F->Hydrel->TransmitTimer->Enabled());
        // The stream needs no request of its own.
        const int sent = F->Heater.Requests.size();
        F->H.Clock.AdvanceBy(11000);
        QCOMPARE(F->Heater.Requests.size(), sent);
    }

    void connectionLossKeepsTheLiquidTemperatures()
    {
        Stream();
        F->Feed(Status(104, 251, 20, 1, 44) + Status(2, 47, 60, 58, 10) + Status(107));
        const qint64 lastFrameAt = F->H.Clock.Now();
        F->Hydrel->SetPumpType(true);
        F->Heater.Silent = true;
        F->H.Clock.AdvanceBy(1000);
        QCOMPARE(Cell(8), QStringLiteral("20 °C"));
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->H.LogContains(QStringLiteral("Connection lost.")); }, 20000));
        QVERIFY2(qAbs(F->H.Clock.Now() - lastFrameAt - 12000) <= 100, qPrintable(QString::number(F->H.Clock.Now() - lastFrameAt)));
        THydrelOld *h = F->Hydrel;
        QVERIFY(!h->Identified && !h->StatusActive && !h->Running && !h->StartRequested && !h->EdrReading);
        QCOMPARE(h->SerialNumberText, QString());
        QCOMPARE(h->PumpTypePending, qint32(THydrelOld::None));
        QCOMPARE(h->TempLiquid1, -5.0);
        QCOMPARE(h->TempLiquid2, 20.0);
        QCOMPARE(Cell(7), QStringLiteral("-5 °C"));
        QCOMPARE(Cell(8), QStringLiteral("20 °C"));
        QCOMPARE(Cell(4), QStringLiteral("0.00 Hz"));
        QCOMPARE(Cell(6), QStringLiteral("0 °C"));
        QCOMPARE(Cell(0), QString());
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7 - Connecting..."));
        QVERIFY(!h->TransmitTimer->Enabled() && !h->Timer->Enabled() && !h->ErTimer->Enabled());
        QVERIFY(!frmMain->WaitPanelVisible());
        F->Heater.Requests.clear();
        F->H.Clock.AdvanceBy(1100);
        QVERIFY(!F->Heater.RequestsWithCode(20).isEmpty());
    }

    void aFrameEveryElevenSecondsKeepsTheLineAlive()
    {
        Stream();
        F->Heater.Silent = true;
        for (int i = 0; i < 4; ++i) {
            F->Heater.Send(Status(42));
            F->H.Clock.AdvanceBy(11000);
        }
        QVERIFY(!F->H.LogContains(QStringLiteral("Connection lost.")));
        QVERIFY(F->Hydrel->Identified);
    }

    void damagedFramesDoNotFeedTheWatchdog()
    {
        Stream();
        F->Heater.Silent = true;
        QByteArray damaged = Status(107);
        damaged[9] = char(damaged[9] ^ 1);
        for (int i = 0; i < 13; ++i) {
            F->Heater.Send(damaged);
            F->H.Clock.AdvanceBy(1000);
        }
        QVERIFY(F->H.LogContains(QStringLiteral("Connection lost.")));
        QCOMPARE(F->Hydrel->Drops().BadFrames, qint64(13));
    }

    void sendErrorsAreLogged()
    {
        ComPort->Close();
        F->Hydrel->Stop();
        const QString last = F->H.LogLines().last();
        QVERIFY2(last.contains(QStringLiteral(" THydrelOld.SendCommand(0,3[...]) Exception: ")), qPrintable(last));
    }
};

QTEST_MAIN(TestLegacyLiquidLink)
#include "tst_legacy_liquid_link.moc"
