// The main window's status bar offscreen, fed as the handlers feed the windows: the connection in
// words with the port and its speed, the frame counters, and the saved run with its folder button.
#include "app/Globals.h"
#include "app/StatusBar.h"
#include "app/fMain.h"
#include "product/Presentation.h"
#include "product/Product.h"
#include "product/ProductEnvironment.h"
#include "serial/ComPort.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "support/Harness.h"
#include <QLabel>
#include <QToolButton>
#include <QUrl>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(TConnectionState)

class TestStatusBar : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    QList<QUrl> Opened;
    std::function<bool(const QUrl &)> SavedOpener;

    static TPresentation &Windows() { return *ProductEnvironment().View; }
    static TStatusBar &Bar() { return *frmMain->Status; }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        Opened.clear();
        SavedOpener = std::exchange(TStatusBar::OpenUrl(), [this](const QUrl &url) {
            Opened << url;
            return true;
        });
    }
    void cleanup()
    {
        TStatusBar::OpenUrl() = SavedOpener;
        H.reset();
    }

    void statesInWords_data()
    {
        QTest::addColumn<TConnectionState>("state");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("text");
        QTest::newRow("no port") << TConnectionState::NoPort << "ttyTEST0" << "Port ttyTEST0 not open";
        QTest::newRow("opening") << TConnectionState::Opening << "ttyTEST0" << "Opening the port...";
        QTest::newRow("searching") << TConnectionState::Searching << "" << "Searching for the heater...";
        QTest::newRow("identified") << TConnectionState::Identified << "Hydrel-7S #417700123"
                                    << "Connected: Hydrel-7S #417700123";
        QTest::newRow("lost") << TConnectionState::Lost << "" << "Connection lost, searching again";
        QTest::newRow("adapter missing") << TConnectionState::AdapterMissing << "ttyTEST0"
                                         << "Adapter missing: waiting for ttyTEST0 to come back";
    }
    void statesInWords()
    {
        QFETCH(TConnectionState, state);
        QFETCH(QString, detail);
        QFETCH(QString, text);
        ComPort->SetBaudRate(TBaudRate::Br1200);
        Windows().SetConnectionState(state, detail);
        QCOMPARE(Bar().StateText(), text);
        QCOMPARE(Bar().PortText(), QStringLiteral("ttyTEST0, 1200 bit/s"));
        QVERIFY(Bar().isVisible());
    }

    // The warning that the answers do not fit the model is longer than a laptop screen is wide: it
    // wraps in the bar, whole, and the main window keeps its width (it once grew past the screen and
    // pushed the frame counters and "Open folder" out of sight).
    void longWarningKeepsTheWindowWidth()
    {
        const QString warning = QStringLiteral(
            "The heater's answers do not fit Zephal-33 [new rev.] (status answer of 37 bytes, serial number of 5 "
            "bytes, version of 5 bytes, supply 0 V, flame indicator -148 °C). Check the model, or use Detect model.");
        frmMain->showNormal();
        frmMain->resize(1366, 700);
        Bar().ShowSavedRun(QStringLiteral("/runs/[070001234] 2026-12-11 11-22-14.csv"));
        QCoreApplication::processEvents();
        Windows().ShowMisfit(warning);
        QCoreApplication::processEvents();
        QVERIFY2(frmMain->width() <= 1366, qPrintable(QString::number(frmMain->width())));
        QVERIFY(frmMain->minimumSizeHint().width() <= 1366);
        auto *state = Bar().findChild<QLabel *>(QStringLiteral("lblMisfit"));
        QVERIFY(state);
        QCOMPARE(state->text(), warning);
        QVERIFY(state->height() >= state->heightForWidth(state->width()));
        const QRect bar(Bar().mapTo(frmMain, QPoint(0, 0)), Bar().size());
        QVERIFY(frmMain->rect().contains(bar));
    }

    // The warning stays in sight while the connection comes and goes (a heater of another model
    // that loses the line after every identification) and goes once a new connection begins.
    void warningOutlastsTheConnectionState()
    {
        const QString warning = QStringLiteral("The heater's answers do not fit Corva (supply 0 V). Check the model, or use Detect model.");
        Windows().ShowMisfit(warning);
        for (TConnectionState state : {TConnectionState::Lost, TConnectionState::Searching, TConnectionState::Identified}) {
            Windows().SetConnectionState(state, QStringLiteral("Corva #000458756"));
            QCOMPARE(Bar().MisfitText(), warning);
            QCOMPARE(Bar().StateText(), TStatusBar::StateText(state, QStringLiteral("Corva #000458756")));
        }
        Windows().SetConnectionState(TConnectionState::Opening, QStringLiteral("ttyTEST0"));
        QCOMPARE(Bar().MisfitText(), QString());
        QVERIFY(Bar().findChild<QLabel *>(QStringLiteral("lblMisfit"))->isHidden());
    }

    // Received frames are counted as kept or dropped; sent ones are not; a new connection starts at 0.
    void framesAreCounted()
    {
        QCOMPARE(Bar().FramesText(), QStringLiteral("Frames received: 0, dropped: 0"));
        for (int i = 0; i < 5; ++i)
            Windows().NoteFrame(TFrameDirection::Received, QByteArray("\xaa\x03", 2), true);
        Windows().NoteFrame(TFrameDirection::Received, QByteArray("\x55", 1), false);
        Windows().NoteFrame(TFrameDirection::Sent, QByteArray("\xaa\x03", 2), true);
        QCOMPARE(Bar().FramesText(), QStringLiteral("Frames received: 5, dropped: 1"));
        Windows().SetConnectionState(TConnectionState::Searching, QString());
        QCOMPARE(Bar().FramesText(), QStringLiteral("Frames received: 5, dropped: 1"));
        Windows().SetConnectionState(TConnectionState::Opening, QStringLiteral("ttyTEST0"));
        QCOMPARE(Bar().FramesText(), QStringLiteral("Frames received: 0, dropped: 0"));
    }

    void savedRunOpensItsFolder()
    {
        QVERIFY(!Bar().OpenFolderButton()->isEnabled());
        Bar().OpenFolderButton()->click();
        QVERIFY(Opened.isEmpty());
        const QString path = QStringLiteral("/home/tech/runs/[417700123] 2026-12-10 18-40-00.csv");
        Windows().SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(path));
        QCOMPARE(Bar().SavedRunText(), QStringLiteral("Last run: [417700123] 2026-12-10 18-40-00.csv"));
        QVERIFY(Bar().OpenFolderButton()->isEnabled());
        Bar().OpenFolderButton()->click();
        QCOMPARE(Opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/tech/runs"))});
        // The caption of the graphs window is cleared when a new run begins; the last saved run stays.
        Windows().SetSavePath(QString());
        QCOMPARE(Bar().SavedRunText(), QStringLiteral("Last run: [417700123] 2026-12-10 18-40-00.csv"));
    }

    // With no file manager to open it, the folder is named in a box, so the technician can go there.
    void folderNamedWhenNoFileManagerOpensIt()
    {
        TStatusBar::OpenUrl() = [this](const QUrl &url) {
            Opened << url;
            return false;
        };
        const QString path = QStringLiteral("/home/tech/runs/[417700123] 2026-12-10 18-40-00.csv");
        Windows().SetSavePath(QStringLiteral("Log saved to ") + QDir::toNativeSeparators(path));
        Bar().OpenFolderButton()->click();
        QCOMPARE(Opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/tech/runs"))});
        QCOMPARE(H->Messages(), QStringList{QStringLiteral("No file manager could be opened. The run log \"[417700123] "
                                                           "2026-12-10 18-40-00.csv\" is in the folder:\n/home/tech/runs")});
    }

    // A real handler against its simulated heater: the bar follows from the opening to the heater found.
    void followsTheHandler()
    {
        TCurrentHeaterSim heater(*FindCurrentVariant(QStringLiteral("Hydrel-7S")));
        heater.SetIdentity(41, 7700123, QByteArray("\x01\x02\x00\x03\x11", 5));
        H->Connect(&heater);
        H->Choose(QStringLiteral("Hydrel-7S"));
        QCOMPARE(Bar().PortText(), QStringLiteral("ttyTEST0, 9600 bit/s"));
        QVERIFY(H->Clock.AdvanceUntil([] { return Bar().StateText() == QLatin1String("Searching for the heater..."); }, 3000));
        QCOMPARE(Bar().PortText(), QStringLiteral("ttyTEST0, 2400 bit/s"));
        QVERIFY(H->Clock.AdvanceUntil([] { return CurrentProduct->Identified; }, 10000));
        QCOMPARE(Bar().StateText(), QStringLiteral("Connected: Hydrel-7S #417700123"));
        CurrentProduct->Destroy();
        delete std::exchange(CurrentProduct, nullptr);
        H->Connect(nullptr);
    }
};

QTEST_MAIN(TestStatusBar)
#include "tst_status_bar.moc"
