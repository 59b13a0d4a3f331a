// The Hydrel-7S link on the virtual clock: search burst, identification and title, stream on,
// keep-alive, the watchdog's "Connection lost." with its clearing, and the search starting again.
#include "support/CurrentPeer.h"
#include "app/fMain.h"
#include "core/Timer.h"
#include "serial/ComPort.h"
#include "views/StringGrid.h"
#include "views/fViewData.h"
#include <QtTest>

using namespace CurrentTest;

namespace {
const QByteArray SerialAnswer = Frame(4, QByteArray::fromHex("0007 0004d2"));
const QByteArray VersionAnswer = Frame(6, QByteArray::fromHex("0102000311"));
const QByteArray StreamOn = QByteArray::fromHex("aa03010007011d9e");
const QByteArray StreamOff = QByteArray::fromHex("aa0301000700dd5f");
const QByteArray KeepAlive = QByteArray::fromHex("aa02000000a03d");
} // namespace

class TestCurrentLink : public QObject {
    Q_OBJECT
    std::unique_ptr<TOrvelFixture> F;

    void AnswerIdentity()
    {
        F->Heater.Answers[4] = SerialAnswer;
        F->Heater.Answers[6] = VersionAnswer;
    }
    qint64 Now() const { return F->H.Clock.Now(); }

private slots:
    void init() { F = std::make_unique<TOrvelFixture>(); }
    void cleanup() { F.reset(); }

    void creationSearches()
    {
        QCOMPARE(F->Line->LineBaudRate(), 2400);
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7S - Connecting..."));
        F->H.Clock.AdvanceBy(1000 + 800 + 100);
        // One burst: stream off twice, then the two identification requests.
        QCOMPARE(F->Heater.Requests, QList<QByteArray>({StreamOff, StreamOff, Frame(4), Frame(6)}));
        QVERIFY(F->H.LogContains(QStringLiteral(" TOrvel.OnSearchTimer.")));
    }

    void identifiedHeaterStreams()
    {
        AnswerIdentity();
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Orvel->Identified; }, 5000));
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7S #070001234 firmware version: 1.2.0.3.17"));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Number: 070001234")));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Version: 1.2.0.3.17")));
        QCOMPARE(F->Orvel->SerialHigh, 7);
        QCOMPARE(F->Orvel->SerialLow, 1234);
        // The next search tick switches the stream on and the keep-alive starts.
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Heater.Requests.contains(StreamOn); }, 1500));
        QVERIFY(F->Orvel->Timer->Enabled());
        QVERIFY(!F->Orvel->SearchTimer->Enabled());
        F->Heater.Requests.clear();
        F->H.Clock.AdvanceBy(5100);
        QVERIFY(F->Heater.Requests.contains(KeepAlive));
    }

    void heaterAnsweringOnlyTheVersion()
    {
        F->Heater.Answers[6] = VersionAnswer;
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Orvel->Identified; }, 5000));
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7S # firmware version: 1.2.0.3.17"));
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Heater.Requests.contains(StreamOn); }, 1500));
    }

    void watchdogDeclaresTheLineLostAfterSixSilentTicks()
    {
        AnswerIdentity();
        TStatus status;
        status.Stage = 3;
        status.Mode = 0;
        status.VoltageTenths = 126;
        status.Plate = 40;
        status.External = 20;
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Heater.Requests.contains(StreamOn); }, 5000));
        F->Heater.Send(status.Frame());
        F->H.Clock.AdvanceBy(300);
        QVERIFY(F->Orvel->StatusActive);
        const qint64 lastFrameAt = Now();
        F->Heater.Silent = true;
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->H.LogContains(QStringLiteral("Connection lost.")); }, 20000, 10));
        // Six ticks of 2 s after the last valid frame (the keep-alive does not restart the interval).
        QVERIFY2(qAbs(Now() - lastFrameAt - 12000) <= 300, qPrintable(QString::number(Now() - lastFrameAt)));
        TOrvel *o = F->Orvel;
        QVERIFY(!o->Identified && !o->StatusActive && !o->Running && !o->StartRequested);
        QCOMPARE(o->SerialNumberText, QString());
        QCOMPARE(o->VersionText, QString());
        QCOMPARE(o->Stage, quint8(0));
        QCOMPARE(o->Voltage, 0.0);
        QCOMPARE(o->TempPlate, 0.0);
        QCOMPARE(o->TempExternal, 20.0); // kept
        QCOMPARE(o->ErrorCount, 0);
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7S - Connecting..."));
        // One presentation pass with the cleared values.
        QCOMPARE(frmViewData->strngrd->Cells(1, 0), QString());
        QCOMPARE(frmViewData->strngrd->Cells(1, 10), QString());
        QCOMPARE(frmViewData->strngrd->Cells(1, 9), QStringLiteral("0 V"));
        QVERIFY(!o->TransmitTimer->Enabled() && !o->Timer->Enabled() && !o->ErTimer->Enabled());
        QVERIFY(!frmMain->WaitPanelVisible());
        // The search goes on within a second.
        F->Heater.Requests.clear();
        F->H.Clock.AdvanceBy(1100);
        QVERIFY(F->Heater.Requests.contains(StreamOff));
    }

    void anyValidFrameKeepsTheLineAlive()
    {
        AnswerIdentity();
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Heater.Requests.contains(StreamOn); }, 5000));
        F->Heater.Silent = true;
        // An answer with a command this program does not decode, every 11 s.
        for (int i = 0; i < 4; ++i) {
            F->Heater.Send(Frame(42, QByteArray(3, '\0')));
            F->H.Clock.AdvanceBy(11000);
        }
        QVERIFY(!F->H.LogContains(QStringLiteral("Connection lost.")));
        QVERIFY(F->Orvel->Identified);
    }

    void damagedFramesDoNotFeedTheWatchdog()
    {
        AnswerIdentity();
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Heater.Requests.contains(StreamOn); }, 5000));
        F->Heater.Silent = true;
        QByteArray damaged = TStatus().Frame();
        damaged[damaged.size() - 1] = char(damaged[damaged.size() - 1] ^ 1);
        for (int i = 0; i < 14; ++i) {
            F->Heater.Send(damaged);
            F->H.Clock.AdvanceBy(1000);
        }
        QVERIFY(F->H.LogContains(QStringLiteral("Connection lost.")));
        QVERIFY(!F->Orvel->StatusActive);
    }

    void sendErrorsAreLogged()
    {
        ComPort->Close();
        F->Orvel->Stop();
        const QStringList lines = F->H.LogLines();
        QVERIFY(!lines.isEmpty());
        QVERIFY2(lines.last().contains(QStringLiteral(" TOrvel.SendCommand(3,0,3[...]) Exception: ")), qPrintable(lines.last()));
    }
};

QTEST_MAIN(TestCurrentLink)
#include "tst_current_link.moc"
