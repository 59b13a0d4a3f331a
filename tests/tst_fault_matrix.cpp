// Every simulated model under every failure mode of its simulator, and every operation that waits
// cut short by a model switch and by closing the program, on the virtual clock: the handler finds the
// heater exactly when the line lets it, every wait returns, the program ends up with the handler it
// was asked for (or none, when closed), and a run that was being recorded is saved once.
#include "support/Harness.h"
#include "app/Globals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "sim/HeaterFaults.h"
#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "views/fBB.h"
#include <QDir>
#include <QtTest>
#include <memory>

namespace {

// Modes under which the handler never identifies the heater: no valid frame reaches the program, or
// the heater answers only what is asked twice and the handler (the old-revision air heater's) never
// sends a command twice.
bool HidesTheHeater(const QString &model, const QString &mode)
{
    return mode == QLatin1String("silence") || mode == QLatin1String("bad-crc")
        || (mode == QLatin1String("retry-only") && model == QLatin1String("Zephal-3/-33/-6 [old rev.]"));
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

// Identified, with the status coming in.
bool Polled()
{
    return CurrentProduct && CurrentProduct->Identified && CurrentProduct->StatusActive;
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
        // A serial number of this test's own, so that its run logs are told from any other test's.
        if (const TAirVariant *air = FindAirVariant(model)) {
            TAirVariant variant = *air;
            variant.Batch = 77;
            variant.Number = 123456;
            Sim = std::make_unique<TAirHeaterSim>(variant);
        } else {
            Sim = CreateSimulator(model);
        }
        QVERIFY(Sim);
        QVERIFY(Sim->SetFailureMode(mode));
        if (auto *current = dynamic_cast<TCurrentHeaterSim *>(Sim.get()))
            current->SetIdentity(77, 123456, FindCurrentVariant(model)->VersionAnswer);
        if (auto *liquid = dynamic_cast<THydrel7HeaterSim *>(Sim.get()))
            liquid->SetIdentity(77, 123456);
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
        QCOMPARE(found, !HidesTheHeater(model, mode));
        // A minute of whatever the line carries, then another model: the handler goes cleanly.
        H->Clock.AdvanceBy(60000);
        QVERIFY(CurrentProduct);
        QCOMPARE(CurrentProduct->ModelName(), model);
        // A heater that answers only when asked twice, or that restarted within the minute, is found
        // and polled again all the same.
        if (!HidesTheHeater(model, mode) && (mode == QLatin1String("retry-only") || mode == QLatin1String("restart")))
            QVERIFY(Advance(Polled, 20000));
        const QString other = OtherModel(model);
        H->Choose(other);
        H->Clock.AdvanceBy(100);
        QVERIFY(CurrentProduct);
        QCOMPARE(CurrentProduct->ModelName(), other);
        QVERIFY(!CurrentProduct->Busy());
    }

    // A heater whose control unit restarts in the middle of a run, or that from then on answers only
    // what is asked twice. The technician sees the run saved once, when it ends, and the heater found
    // and polled again; "Connection lost." only where the line really fell silent for the handler:
    // a restarted heater of the current family still answers the keep-alive and is asked for its
    // stream again, the pre-heater sends its command again, but the Corva-mini falls back asleep,
    // the Hydrel-7 stops streaming and the old-revision air heater waits for an answer to a command
    // that went out during the restart. That heater never sends a command twice either, so it cannot
    // find a heater that answers only what is asked twice: its run is saved at the loss.
    void heaterFaultMidRun_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("lost");
        QTest::addColumn<bool>("runEnds");
        QTest::addColumn<bool>("foundAgain");
        const struct {
            const char *Model;
            bool LostAtRestart;
            bool FindsRetryOnly;
        } models[] = {
            {"Hydrel-7S", false, true},
            {"Zephal-33 [new rev.]", false, true},
            {"Zephal-1", false, true},
            {"Corva-mini", true, true},
            {"Zephal-3/-33/-6 [old rev.]", true, false},
            {"Corva", false, true},
            {"Hydrel-7", true, true},
        };
        for (const auto &m : models) {
            QTest::addRow("%s / restart", m.Model) << QString::fromLatin1(m.Model) << "restart" << m.LostAtRestart << true << true;
            QTest::addRow("%s / retry-only", m.Model) << QString::fromLatin1(m.Model) << "retry-only" << !m.FindsRetryOnly
                                                      << !m.FindsRetryOnly << m.FindsRetryOnly;
        }
    }
    void heaterFaultMidRun()
    {
        QFETCH(QString, model);
        QFETCH(QString, mode);
        QFETCH(bool, lost);
        QFETCH(bool, runEnds);
        QFETCH(bool, foundAgain);
        StartModel(model, QStringLiteral("none"));
        QVERIFY(Advance(Polled, 20000));
        const QString serial = CurrentProduct->SerialNumberText;
        RemoveRunLogs(serial);
        CurrentProduct->Start();
        QVERIFY(Advance([] { return CurrentProduct->Running && !CurrentProduct->RunLog().isEmpty(); }, 20000));
        H->Clock.AdvanceBy(5000);
        const auto losses = [this] { return H->LogLines().filter(QStringLiteral(" Connection lost.")).size(); };
        const qsizetype lostBefore = losses();
        QVERIFY(Sim->SetFailureMode(mode));
        H->Clock.AdvanceBy(mode == QLatin1String("restart") ? THeaterFaults::RestartAfterMs : 0);
        if (runEnds)
            QVERIFY(Advance([] { return !CurrentProduct->Running; }, 30000));
        else
            H->Clock.AdvanceBy(60000);
        QCOMPARE(CurrentProduct->Running, !runEnds);
        QCOMPARE(RunLogCount(serial), runEnds ? 1 : 0);
        if (foundAgain) {
            QVERIFY(Advance(Polled, 30000));
            QCOMPARE(CurrentProduct->SerialNumberText, serial);
        } else {
            H->Clock.AdvanceBy(30000);
            QVERIFY(!CurrentProduct->Identified);
        }
        QCOMPARE(losses() > lostBefore, lost);
        // A minute on and then the program closes: the run is in one file, saved once.
        H->Clock.AdvanceBy(60000);
        frmMain->close();
        H->Clock.AdvanceBy(1000);
        QVERIFY(!CurrentProduct);
        QCOMPARE(RunLogCount(serial), 1);
        RemoveRunLogs(serial);
    }

    // The EDR read of a heater that answers only what is asked twice: a reader that asks for a block
    // again when it goes unanswered gets the whole recorder; the Hydrel-7's reader asks for each
    // triple once and ends with "Can't read EDR. Try again.". Either way the read ends and the heater
    // is polled again afterwards.
    void edrReadFromARetryOnlyHeater_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("reads");
        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << true;
        QTest::newRow("Zephal-33 [new rev.]") << "Zephal-33 [new rev.]" << true;
        QTest::newRow("Zephal-1") << "Zephal-1" << true;
        QTest::newRow("Corva-mini") << "Corva-mini" << true;
        QTest::newRow("Corva") << "Corva" << true;
        QTest::newRow("Hydrel-7") << "Hydrel-7" << false;
    }
    void edrReadFromARetryOnlyHeater()
    {
        QFETCH(QString, model);
        QFETCH(bool, reads);
        StartModel(model, QStringLiteral("retry-only"));
        QVERIFY(Advance(Polled, 30000));
        frmBB->Clear();
        CurrentProduct->ReadEDR();
        H->Clock.AdvanceBy(1000);
        QVERIFY(!CurrentProduct->EdrReading);
        QCOMPARE(H->Messages().contains(QStringLiteral("Can't read EDR. Try again.")), !reads);
        QCOMPARE(!frmBB->Lines().isEmpty(), reads);
        QVERIFY(Advance(Polled, 60000));
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
        // Fuel pumping begins a run, but interrupted within its first wait it has no row yet: a run
        // without rows leaves no file.
        if (!searching) {
            QCOMPARE(RunLogCount(handlerSerial), logsBefore);
            RemoveRunLogs(handlerSerial);
        }
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
