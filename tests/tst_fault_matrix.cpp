// Every simulated model under every failure mode of its simulator, and every operation that waits
// cut short by a model switch and by closing the program, on the virtual clock: the handler finds the
// heater exactly when the line lets it, every wait returns, the program ends up with the handler it
// was asked for (or none, when closed), and a run that was being recorded is saved once.
#include "support/Harness.h"
#include "app/Globals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include <QDir>
#include <QtTest>
#include <memory>

namespace {

// Modes under which no valid frame reaches the program.
bool HidesTheHeater(const QString &mode)
{
    return mode == QLatin1String("silence") || mode == QLatin1String("bad-crc");
}

// Another model to switch to: one whose handler does not need the line.
QString OtherModel(const QString &model)
{
    return model == QLatin1String("Hydrel-7S") ? QStringLiteral("Corva-mini") : QStringLiteral("Hydrel-7S");
}

// The run logs of one serial number in the program's folder.
int RunLogCount(const QString &serial)
{
    int count = 0;
    for (const QString &name : QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files))
        if (name.startsWith(QLatin1Char('[') + serial + QLatin1String("] ")))
            ++count;
    return count;
}

void RemoveRunLogs(const QString &serial)
{
    for (const QString &name : QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files))
        if (name.startsWith(QLatin1Char('[') + serial + QLatin1String("] ")))
            QFile::remove(QDir(RunLogFolder()).filePath(name));
}

enum class TOperation { Search, EdrRead, Calibration, FuelPumping, PollCycle };
enum class TInterruption { ModelSwitch, Closing };

} // namespace

Q_DECLARE_METATYPE(TOperation)
Q_DECLARE_METATYPE(TInterruption)

class TestFaultMatrix : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Sim;
    TScheduler::TaskId Probe = 0;
    bool Interrupted = false;

    bool Advance(const std::function<bool()> &until, qint64 limitMs) { return H->Clock.AdvanceUntil(until, limitMs, 50); }

    // Looks every 10 ms whether the handler waits inside an operation, and interrupts it the first
    // time it does.
    void InterruptWhenWaiting(const std::function<void()> &interrupt)
    {
        Probe = H->Clock.CallAt(H->Clock.Now() + 10, [this, interrupt] {
            Probe = 0;
            if (CurrentProduct && CurrentProduct->Busy()) {
                Interrupted = true;
                interrupt();
            } else {
                InterruptWhenWaiting(interrupt);
            }
        });
    }

    void StartModel(const QString &model, const QString &mode)
    {
        Sim = CreateSimulator(model);
        QVERIFY(Sim);
        QVERIFY(Sim->SetFailureMode(mode));
        // A serial number of this test's own, so that its run logs are told from any other test's.
        if (auto *current = dynamic_cast<TCurrentHeaterSim *>(Sim.get()))
            current->SetIdentity(77, 123456, FindCurrentVariant(model)->VersionAnswer);
        H->Connect(Sim.get());
        H->Choose(model);
        QVERIFY(CurrentProduct);
    }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        Interrupted = false;
        Probe = 0;
    }

    void cleanup()
    {
        if (Probe)
            H->Clock.Cancel(Probe);
        // The line goes before the heater and the heater before the clock it keeps its time on.
        H->Connect(nullptr);
        Sim.reset();
        H.reset();
    }

    void failureModes_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("mode");
        for (const QString &model : SimulatedModels()) {
            const std::unique_ptr<THeaterSimulator> simulator = CreateSimulator(model);
            for (const QString &mode : simulator->FailureModes())
                QTest::addRow("%s / %s", qPrintable(model), qPrintable(mode)) << model << mode;
        }
    }
    void failureModes()
    {
        QFETCH(QString, model);
        QFETCH(QString, mode);
        StartModel(model, mode);
        const bool found = Advance([] { return CurrentProduct->Identified; }, 20000);
        QCOMPARE(found, !HidesTheHeater(mode));
        // A minute of whatever the line carries, then another model: the handler goes cleanly.
        H->Clock.AdvanceBy(60000);
        QVERIFY(CurrentProduct);
        QCOMPARE(CurrentProduct->ModelName(), model);
        const QString other = OtherModel(model);
        H->Choose(other);
        H->Clock.AdvanceBy(100);
        QVERIFY(CurrentProduct);
        QCOMPARE(CurrentProduct->ModelName(), other);
        QVERIFY(!CurrentProduct->Busy());
    }

    void interruptedWaits_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<TOperation>("operation");
        QTest::addColumn<TInterruption>("interruption");
        const struct {
            const char *Model;
            TOperation Operation;
            const char *Name;
        } waits[] = {
            {"Hydrel-7S", TOperation::Search, "search burst"},
            {"Zephal-33 [new rev.]", TOperation::Search, "search burst"},
            {"Zephal-1", TOperation::Search, "search burst"},
            {"Corva-mini", TOperation::Search, "search burst"},
            {"Zephal-3/-33/-6 [old rev.]", TOperation::Search, "search burst"},
            {"Corva", TOperation::Search, "search burst"},
            {"Hydrel-7", TOperation::Search, "search burst"},
            {"Hydrel-7S", TOperation::EdrRead, "EDR read"},
            {"Zephal-33 [new rev.]", TOperation::EdrRead, "EDR read"},
            {"Zephal-1", TOperation::EdrRead, "EDR read"},
            {"Corva-mini", TOperation::EdrRead, "EDR read"},
            {"Zephal-3/-33/-6 [old rev.]", TOperation::EdrRead, "EDR read"},
            {"Corva", TOperation::EdrRead, "EDR read"},
            {"Hydrel-7", TOperation::EdrRead, "EDR read"},
            {"Zephal-3/-33/-6 [old rev.]", TOperation::Calibration, "calibration"},
            {"Hydrel-7", TOperation::Calibration, "calibration"},
            {"Hydrel-7S", TOperation::FuelPumping, "fuel pumping"},
            {"Zephal-33 [new rev.]", TOperation::FuelPumping, "fuel pumping"},
            {"Zephal-1", TOperation::FuelPumping, "fuel pumping"},
            {"Zephal-3/-33/-6 [old rev.]", TOperation::PollCycle, "poll cycle"},
            {"Corva", TOperation::PollCycle, "poll cycle"},
        };
        for (const auto &wait : waits) {
            QTest::addRow("%s / %s / model switch", wait.Model, wait.Name)
                << QString::fromLatin1(wait.Model) << wait.Operation << TInterruption::ModelSwitch;
            QTest::addRow("%s / %s / closing", wait.Model, wait.Name)
                << QString::fromLatin1(wait.Model) << wait.Operation << TInterruption::Closing;
        }
    }
    void interruptedWaits()
    {
        QFETCH(QString, model);
        QFETCH(TOperation, operation);
        QFETCH(TInterruption, interruption);
        const bool searching = operation == TOperation::Search;
        StartModel(model, searching ? QStringLiteral("silence") : QStringLiteral("none"));
        if (!searching)
            QVERIFY(Advance([] { return CurrentProduct->Identified && CurrentProduct->StatusActive; }, 20000));
        const QString other = OtherModel(model);
        InterruptWhenWaiting([&] {
            if (interruption == TInterruption::ModelSwitch)
                H->Choose(other);
            else
                frmMain->close();
        });
        const int logsBefore = RunLogCount(CurrentProduct->SerialNumberText);
        const QString handlerSerial = CurrentProduct->SerialNumberText;
        const bool records = operation == TOperation::FuelPumping;
        switch (operation) {
        case TOperation::EdrRead:
            CurrentProduct->ReadEDR();
            break;
        case TOperation::Calibration:
            CurrentProduct->CalibrateFI();
            break;
        case TOperation::FuelPumping:
            CurrentProduct->PumpFuel(10);
            break;
        case TOperation::Search:
        case TOperation::PollCycle:
            break;
        }
        // The operation has returned (or there was none to call); the interruption completes.
        H->Clock.AdvanceBy(10000);
        QVERIFY2(Interrupted, "the operation never waited");
        if (interruption == TInterruption::ModelSwitch) {
            QVERIFY(CurrentProduct);
            QCOMPARE(CurrentProduct->ModelName(), other);
            QVERIFY(!CurrentProduct->Busy());
        } else {
            QVERIFY(!CurrentProduct);
        }
        if (!searching) {
            QCOMPARE(RunLogCount(handlerSerial), logsBefore + (records ? 1 : 0));
            RemoveRunLogs(handlerSerial);
        }
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
