// A termination signal while message boxes are open: the program's windows with real boxes (no
// dialog hook) on the virtual clock, the signal raised for real while a box waits in its event loop.
// Every box open then is answered Cancel/No and returns; the handler is not deleted under the code
// that showed it; a waiting operation under the box ends as at a model switch; the program closes and
// a run being recorded is saved. The boxes run the real event loop, so a small driver looks for them
// every 10 ms of real time and clicks or signals; everything else moves on the virtual clock.
#include "support/Harness.h"
#include "support/TestProduct.h"
#include "app/Globals.h"
#include "app/Signals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "views/fBB.h"
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

enum class TBox { Message, Warning, Question };
enum class TOperation { Calibration, EdrRead, FuelPumping };

// Shows a real box of the kind; what it answered: "Cancel"/"Ok", "No"/"Yes", or "" for a message.
QString ShowBox(TBox kind, const QString &text)
{
    switch (kind) {
    case TBox::Message:
        ShowMessage(text);
        return {};
    case TBox::Warning:
        return ShowWarning(text) == TDialogResult::Ok ? QStringLiteral("Ok") : QStringLiteral("Cancel");
    case TBox::Question:
        return AskYesNo(text) ? QStringLiteral("Yes") : QStringLiteral("No");
    }
    return {};
}

QString ClosedAnswer(TBox kind)
{
    return kind == TBox::Message ? QString() : kind == TBox::Warning ? QStringLiteral("Cancel") : QStringLiteral("No");
}

// A serial number of this test's own, so that its run logs are told from any other test's.
constexpr quint8 SerialBatch = 79;
constexpr quint32 SerialNumber = 246801;

QStringList RunLogs(const QString &serial)
{
    QStringList names;
    for (const QString &name : QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files))
        if (name.startsWith(QLatin1Char('[') + serial + QLatin1String("] ")))
            names << name;
    return names;
}

int RunLogCount(const QString &serial)
{
    return int(RunLogs(serial).size());
}

void RemoveRunLogs(const QString &serial)
{
    for (const QString &name : RunLogs(serial))
        QFile::remove(QDir(RunLogFolder()).filePath(name));
}

// Answers the real boxes as they come up, one step each: OK clicked, or SIGTERM raised while the box
// waits. A box that outlives the signal by 5 s, or one that no step was left for, is closed so that
// the test goes on, and noted.
class TBoxDriver : public QObject {
public:
    enum TStep { ClickOk, Signal };

    explicit TBoxDriver(QList<TStep> steps) : Steps(std::move(steps))
    {
        connect(&Poll, &QTimer::timeout, this, &TBoxDriver::Look);
        Poll.start(10);
    }

    QStringList Seen;
    bool HeldOpen = false;
    bool Unexpected = false;

private:
    void Look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box == Current.data()) {
            if (++PollsSinceSignal > 500) {
                HeldOpen = true;
                box->reject();
            }
            return;
        }
        Current = box;
        PollsSinceSignal = 0;
        Seen << box->text();
        if (Steps.isEmpty()) {
            Unexpected = true;
            box->reject();
        } else if (Steps.takeFirst() == ClickOk) {
            box->button(QMessageBox::Ok)->click();
        } else {
            ::raise(SIGTERM);
        }
    }

    QList<TStep> Steps;
    QTimer Poll;
    QPointer<QMessageBox> Current;
    int PollsSinceSignal = 0;
};

// A test handler whose operation shows a box of the kind and waits on its answer.
class TAskingProduct : public TTestProduct {
public:
    static inline TBox Kind = TBox::Message;
    static inline QString Answer;

    void CalibrateFI() override
    {
        InOperation = true;
        Answer = ShowBox(Kind, QStringLiteral("Asked by the handler"));
        InOperation = false;
    }
};

} // namespace

Q_DECLARE_METATYPE(TBox)
Q_DECLARE_METATYPE(TOperation)

class TestSignalBoxes : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Sim;
    QString Serial;

    bool Advance(const std::function<bool()> &until, qint64 limitMs) { return H->Clock.AdvanceUntil(until, limitMs, 50); }

    // The model on a simulated heater of this test's serial number, identified and polled.
    void StartModel(const QString &model)
    {
        if (const TAirVariant *air = FindAirVariant(model)) {
            TAirVariant variant = *air;
            variant.Batch = SerialBatch;
            variant.Number = SerialNumber;
            Sim = std::make_unique<TAirHeaterSim>(variant);
        } else {
            Sim = CreateSimulator(model);
        }
        QVERIFY(Sim);
        if (auto *current = dynamic_cast<TCurrentHeaterSim *>(Sim.get()))
            current->SetIdentity(SerialBatch, SerialNumber, FindCurrentVariant(model)->VersionAnswer);
        if (auto *liquid = dynamic_cast<THydrel7HeaterSim *>(Sim.get()))
            liquid->SetIdentity(SerialBatch, SerialNumber);
        H->Connect(Sim.get());
        H->Choose(model);
        QVERIFY(CurrentProduct);
        QVERIFY(Advance([] { return CurrentProduct->Identified && CurrentProduct->StatusActive; }, 20000));
        Serial = CurrentProduct->SerialNumberText;
    }

    // Once the handler waits inside an operation, a box of the kind opens over the wait.
    void OpenBoxWhenWaiting(TBox kind, QString &answer, bool &opened)
    {
        H->Clock.CallAt(H->Clock.Now() + 10, [this, kind, &answer, &opened] {
            if (!CurrentProduct)
                return;
            if (CurrentProduct->Busy()) {
                opened = true;
                answer = ShowBox(kind, QStringLiteral("Over the wait"));
            } else {
                OpenBoxWhenWaiting(kind, answer, opened);
            }
        });
    }

    void ExpectClosed()
    {
        QVERIFY(!CurrentProduct);
        QVERIFY(!frmMain->isVisible());
    }

private slots:
    void initTestCase()
    {
        // The program's own wiring (main): the signal closes the main window without asking.
        EndOnTerminationSignals([] {
            if (frmMain)
                frmMain->CloseWithoutAsking();
        });
    }

    void init()
    {
        H = std::make_unique<THarness>();
        SetDialogHook(nullptr);
        Serial.clear();
    }

    void cleanup()
    {
        // The line goes before the heater and the heater before the clock it keeps its time on.
        H->Connect(nullptr);
        Sim.reset();
        H.reset();
        if (!Serial.isEmpty())
            RemoveRunLogs(Serial);
    }

    // The handler's operation waits on its own box when the signal comes: the box answers Cancel/No
    // and returns to the operation, which finishes on a handler still alive; the close follows.
    void boxOfAnOperationReturnsBeforeItsHandlerGoes_data()
    {
        QTest::addColumn<TBox>("kind");
        QTest::newRow("message") << TBox::Message;
        QTest::newRow("warning") << TBox::Warning;
        QTest::newRow("question") << TBox::Question;
    }
    void boxOfAnOperationReturnsBeforeItsHandlerGoes()
    {
        QFETCH(TBox, kind);
        THandlerStandIn standIn(QStringLiteral("Corva"), [] { return new TAskingProduct; });
        TTestProduct::DeletedWhileBusy = false;
        TAskingProduct::Kind = kind;
        TAskingProduct::Answer = QStringLiteral("unanswered");
        H->Choose(QStringLiteral("Corva"));
        QVERIFY(CurrentProduct);
        TBoxDriver driver({TBoxDriver::Signal});

        CurrentProduct->CalibrateFI();
        QCOMPARE(driver.Seen, QStringList{QStringLiteral("Asked by the handler")});
        QCOMPARE(TAskingProduct::Answer, ClosedAnswer(kind));
        QVERIFY(!TTestProduct::DeletedWhileBusy);
        H->Clock.AdvanceBy(100);
        ExpectClosed();
        QCOMPARE(TTestProduct::Alive, 0);
        QVERIFY(!driver.HeldOpen && !driver.Unexpected);
    }

    // A box over a waiting operation (a refusal after a click, say) when the signal comes: the box
    // closes, the wait under it returns at once as at a model switch, the operation ends without its
    // result, the program closes, and a run being recorded is saved. The calibration's own warning is
    // answered OK first, so that its waits begin.
    void boxOverAWaitIsClosedAndTheWaitEnds_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<TOperation>("operation");
        QTest::addColumn<TBox>("kind");
        QTest::newRow("Hydrel-7 / calibration / message") << "Hydrel-7" << TOperation::Calibration << TBox::Message;
        QTest::newRow("Zephal old / calibration / question")
            << "Zephal-3/-33/-6 [old rev.]" << TOperation::Calibration << TBox::Question;
        QTest::newRow("Hydrel-7S / EDR read / warning") << "Hydrel-7S" << TOperation::EdrRead << TBox::Warning;
        QTest::newRow("Hydrel-7 / EDR read / message") << "Hydrel-7" << TOperation::EdrRead << TBox::Message;
        QTest::newRow("Corva / EDR read / question") << "Corva" << TOperation::EdrRead << TBox::Question;
        QTest::newRow("Hydrel-7S / fuel pumping / message") << "Hydrel-7S" << TOperation::FuelPumping << TBox::Message;
        QTest::newRow("Zephal-33 / fuel pumping / question")
            << "Zephal-33 [new rev.]" << TOperation::FuelPumping << TBox::Question;
    }
    void boxOverAWaitIsClosedAndTheWaitEnds()
    {
        QFETCH(QString, model);
        QFETCH(TOperation, operation);
        QFETCH(TBox, kind);
        StartModel(model);
        frmBB->Clear();
        const int runLogs = RunLogCount(Serial);
        const bool calibrating = operation == TOperation::Calibration;
        QList<TBoxDriver::TStep> steps;
        if (calibrating)
            steps << TBoxDriver::ClickOk;
        steps << TBoxDriver::Signal;
        TBoxDriver driver(steps);
        QString answer = QStringLiteral("unanswered");
        bool opened = false;
        OpenBoxWhenWaiting(kind, answer, opened);

        switch (operation) {
        case TOperation::Calibration:
            CurrentProduct->CalibrateFI();
            break;
        case TOperation::EdrRead:
            CurrentProduct->ReadEDR();
            break;
        case TOperation::FuelPumping:
            CurrentProduct->PumpFuel(10);
            break;
        }
        H->Clock.AdvanceBy(10000);
        QVERIFY2(opened, "the operation never waited");
        QCOMPARE(driver.Seen.size(), calibrating ? 2 : 1);
        QCOMPARE(driver.Seen.constLast(), QStringLiteral("Over the wait"));
        QCOMPARE(answer, ClosedAnswer(kind));
        QVERIFY(!driver.HeldOpen && !driver.Unexpected);
        ExpectClosed();
        // The operation ended quietly: no result, and no box asked for on the way out.
        QVERIFY(frmBB->Lines().isEmpty());
        QVERIFY(!H->LogContains(QStringLiteral("Training")));
        QVERIFY(!H->LogContains(QStringLiteral("(not shown: the program is ending)")));
        // Fuel pumping begins a run, but cut short in its first wait it has no row: no file.
        QCOMPARE(RunLogCount(Serial), runLogs);
    }

    // The FI calibration asks first; the signal answers Cancel, and nothing is calibrated.
    void calibrationAskedWhenTheSignalComesDoesNotRun()
    {
        StartModel(QStringLiteral("Zephal-3/-33/-6 [old rev.]"));
        TBoxDriver driver({TBoxDriver::Signal});
        CurrentProduct->CalibrateFI();
        QCOMPARE(driver.Seen,
                 QStringList{QStringLiteral("Close the FI connector pins and click \"OK\" to overwrite current values.")});
        H->Clock.AdvanceBy(2000);
        ExpectClosed();
        QVERIFY(!H->LogContains(QStringLiteral("SendCommand(18)")));
        QVERIFY(!driver.HeldOpen && !driver.Unexpected);
    }

    // The close box's question about a recorded run is open when the signal comes: it answers No, yet
    // the program closes, and the run is saved once.
    void closeQuestionOpenWhenTheSignalComes()
    {
        StartModel(QStringLiteral("Hydrel-7S"));
        const int runLogs = RunLogCount(Serial);
        CurrentProduct->PumpFuel(10);
        QVERIFY(Advance([] { return CurrentProduct->RunLog().size() >= 3; }, 10000));
        TBoxDriver driver({TBoxDriver::Signal});
        frmMain->close();
        QCOMPARE(driver.Seen, QStringList{QStringLiteral("A run is being recorded. Save it and close the program?")});
        H->Clock.AdvanceBy(2000);
        ExpectClosed();
        QCOMPARE(RunLogCount(Serial), runLogs + 1);
        QVERIFY(!driver.HeldOpen && !driver.Unexpected);
    }
};

QTEST_MAIN(TestSignalBoxes)
#include "tst_signal_boxes.moc"
