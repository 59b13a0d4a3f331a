// The EDR wait panel while each family reads the recorder: block n of N as the blocks are read, and
// Cancel ending the reading with no report shown and the status stream back, on the virtual clock.
#include "app/Globals.h"
#include "app/WindowPresentation.h"
#include "app/fMain.h"
#include "legacy_air/AirProduct.h"
#include "legacy_liquid/Hydrel7.h"
#include "product/ProductEnvironment.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "support/CurrentPeer.h"
#include "views/fBB.h"
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace CurrentTest;
using TSteps = QList<QPair<int, int>>;

namespace {
// The program's windows, with every progress step kept.
class TProgressRecorder : public TWindowPresentation {
public:
    void SetWaitProgress(int block, int blocks) override
    {
        Steps << qMakePair(block, blocks);
        TWindowPresentation::SetWaitProgress(block, blocks);
    }
    TSteps Steps;
};

TSteps Sequence(int blocks)
{
    TSteps steps;
    for (int block = 1; block <= blocks; ++block)
        steps << qMakePair(block, blocks);
    return steps;
}

void DestroyHandler()
{
    if (TProduct *product = CurrentProduct) {
        CurrentProduct = nullptr;
        product->Destroy();
        delete product;
    }
}

// The handler of a model on a line to a heater, its windows' presentation recording the progress.
struct TReading {
    TReading(TLinePeer *heater, const QString &caption)
    {
        H.Connect(heater);
        Saved = ProductEnvironment().View;
        ProductEnvironment().View = &Recorder;
        H.Choose(caption);
    }
    ~TReading()
    {
        DestroyHandler();
        ProductEnvironment().View = Saved;
    }
    bool Until(const std::function<bool()> &what, qint64 ms) { return H.Clock.AdvanceUntil(what, ms, 50); }
    // Cancel is pressed once the condition holds, while the reading waits.
    void CancelWhen(const std::function<bool()> &what)
    {
        Pending = what;
        ArmCancel();
    }
    void ArmCancel()
    {
        H.Clock.CallAt(H.Clock.Now() + 50, [this] {
            if (Pending && Pending()) {
                Pending = nullptr;
                frmMain->btnWaitCancel->click();
            } else if (Pending) {
                ArmCancel();
            }
        });
    }
    void ExpectCancelled()
    {
        QVERIFY(H.LogContains(QStringLiteral("EDR reading cancelled.")));
        QVERIFY(!CurrentProduct->EdrReading);
        QVERIFY(!frmMain->WaitPanelVisible());
        QVERIFY(frmBB->Lines().isEmpty());
        QVERIFY(!frmMain->N7->isChecked());
        QVERIFY(H.Messages().isEmpty());
    }

    THarness H;
    TProgressRecorder Recorder;
    TPresentation *Saved = nullptr;
    std::function<bool()> Pending;
};
} // namespace

class TestEdrProgress : public QObject {
    Q_OBJECT

    // Identified, streaming, idle in pause.
    static void CurrentConnected(TReading &r, TScriptedHeater &heater)
    {
        heater.Answers[4] = Frame(4, QByteArray::fromHex("0007 0004d2"));
        heater.Answers[6] = Frame(6, QByteArray::fromHex("0102000311"));
        QVERIFY(r.Until([&] { return heater.Requests.contains(Frame(7, QByteArray(1, '\1'))); }, 5000));
        CurrentProduct->RxData += TStatus().Frame();
        CurrentProduct->ParseData();
        heater.Requests.clear();
    }

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void currentFamilyCountsItsBlocks()
    {
        TScriptedHeater heater;
        TReading r(&heater, QStringLiteral("Hydrel-7S"));
        CurrentConnected(r, heater);
        CurrentProduct->ReadEDR();
        QCOMPARE(r.Recorder.Steps, Sequence(4));
        QCOMPARE(frmMain->lblWaitProgress->text(), QStringLiteral("Block 4 of 4"));
        QVERIFY(!frmBB->Lines().isEmpty());
    }

    void currentFamilyCancelledBetweenBlocks()
    {
        TScriptedHeater heater;
        TReading r(&heater, QStringLiteral("Hydrel-7S"));
        CurrentConnected(r, heater);
        r.CancelWhen([&] { return heater.RequestsWithCommand(11).size() == 2; });
        CurrentProduct->ReadEDR();
        QCOMPARE(heater.RequestsWithCommand(11).size(), 2);
        QCOMPARE(r.Recorder.Steps, Sequence(4).mid(0, 2));
        r.ExpectCancelled();
        // The status stream was asked for again.
        r.H.Clock.AdvanceBy(100);
        QCOMPARE(heater.RequestsWithCommand(7).last(), Frame(7, QByteArray(1, '\1')));
    }

    void currentFamilyCancelledWhileABlockGoesUnanswered()
    {
        TScriptedHeater heater;
        TReading r(&heater, QStringLiteral("Hydrel-7S"));
        CurrentConnected(r, heater);
        heater.EepromRequestsToIgnore[64] = 3;
        const qint64 began = r.H.Clock.Now();
        r.CancelWhen([&] { return r.H.Clock.Now() - began > 3000; });
        CurrentProduct->ReadEDR();
        // Ended within the first unanswered attempt, not after three of 9 s each.
        QVERIFY(r.H.Clock.Now() - began < 4000);
        QCOMPARE(heater.RequestsWithCommand(11).size(), 2);
        r.ExpectCancelled();
    }

    void hydrel7CountsItsTriples()
    {
        THydrel7HeaterSim heater;
        heater.SetIdentity(99, 4321);
        TReading r(&heater, QStringLiteral("Hydrel-7"));
        QVERIFY(r.Until([&] { return heater.Streaming() && CurrentProduct->StatusActive; }, 10000));
        CurrentProduct->ReadEDR();
        QCOMPARE(r.Recorder.Steps, Sequence(86));
        QVERIFY(!frmBB->Lines().isEmpty());
    }

    void hydrel7CancelledMidRead()
    {
        THydrel7HeaterSim heater;
        heater.SetIdentity(99, 4321);
        TReading r(&heater, QStringLiteral("Hydrel-7"));
        QVERIFY(r.Until([&] { return heater.Streaming() && CurrentProduct->StatusActive; }, 10000));
        r.CancelWhen([&] { return r.Recorder.Steps.size() == 10; });
        CurrentProduct->ReadEDR();
        QCOMPARE(r.Recorder.Steps, Sequence(86).mid(0, 10));
        r.ExpectCancelled();
        QVERIFY(r.Until([&] { return heater.Streaming() && CurrentProduct->StatusActive; }, 10000));
        QVERIFY(!r.H.LogContains(QStringLiteral("Connection lost.")));
    }

    void airFamilyReadsOneDump()
    {
        TAirHeaterSim heater(*FindAirVariant(QStringLiteral("Corva")));
        TReading r(&heater, QStringLiteral("Corva"));
        QVERIFY(r.Until([&] { return CurrentProduct->StatusActive; }, 20000));
        CurrentProduct->ReadEDR();
        QCOMPARE(r.Recorder.Steps, Sequence(1));
        QVERIFY(!frmBB->Lines().isEmpty());
    }

    void airFamilyCancelledWhileTheDumpIsAwaited()
    {
        TAirHeaterSim heater(*FindAirVariant(QStringLiteral("Corva")));
        TReading r(&heater, QStringLiteral("Corva"));
        QVERIFY(r.Until([&] { return CurrentProduct->StatusActive; }, 20000));
        heater.SetFailureMode(QStringLiteral("silence"));
        const qint64 began = r.H.Clock.Now();
        r.CancelWhen([&] { return r.H.Clock.Now() - began > 5000; });
        CurrentProduct->ReadEDR();
        // Ended at the next wait, not after the full nine seconds of waiting for the dump.
        QVERIFY(r.H.Clock.Now() - began < 6000);
        r.ExpectCancelled();
        heater.SetFailureMode(QStringLiteral("none"));
        QVERIFY(r.Until([&] { return CurrentProduct->StatusActive; }, 20000));
    }
};

QTEST_MAIN(TestEdrProgress)
#include "tst_edr_progress.moc"
