// "Choose a product" > "Detect model..." on the virtual clock against every simulated heater: it names
// the heater's model (or a short list holding it) within 15 s, chooses it as its menu item does, keeps
// the technician's pick among models that answer alike, and no heater on the line ever hears a
// command from it other than a read, whichever family the heater belongs to.
#include "support/Harness.h"
#include "app/DetectedChoice.h"
#include "app/Globals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include <QAction>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {

// The commands each family has that change something or read the EEPROM: start, stop, settings,
// blower, pumps, calibration, EEPROM. A detection must never send one.
const QSet<quint8> CurrentNonReads = {1, 2, 3, 8, 11, 18, 19, 33, 34};
const QSet<quint8> Hydrel7NonReads = {1, 3, 18, 118, 119, 123};
QSet<quint8> AirNonReads()
{
    QSet<quint8> codes = {18, 23, 24, 25, 27, 30, 34, 37, 51, 52, 53, 54};
    for (quint8 code = 61; code <= 68; ++code)
        codes << code;
    for (quint8 code = 75; code <= 110; ++code)
        if (code <= 90 || code >= 95)
            codes << code;
    return codes;
}

// The commands the heater heard that are not reads.
QList<quint8> NonReadsHeard(THeaterSimulator *simulator)
{
    QList<quint8> heard;
    QSet<quint8> forbidden;
    if (auto *current = dynamic_cast<TCurrentHeaterSim *>(simulator)) {
        heard = current->Heard();
        forbidden = CurrentNonReads;
    } else if (auto *air = dynamic_cast<TAirHeaterSim *>(simulator)) {
        heard = air->Heard();
        forbidden = AirNonReads();
    } else if (auto *liquid = dynamic_cast<THydrel7HeaterSim *>(simulator)) {
        heard = liquid->Heard();
        forbidden = Hydrel7NonReads;
    }
    QList<quint8> found;
    for (quint8 code : heard)
        if (forbidden.contains(code))
            found << code;
    return found;
}

// The captions Detect offers for a heater: the pre-heater of the old line answers the identity
// requests exactly as the old-revision air heater does and leaves the fuel-pump frequency unanswered,
// which an air heater that missed the request would too.
QStringList Offered(const QString &model)
{
    if (model == QLatin1String("Corva"))
        return {QStringLiteral("Corva"), QStringLiteral("Zephal-3/-33/-6 [old rev.]")};
    return {model};
}

} // namespace

class TestModelDetect : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Sim;
    QStringList Asked;

    // Triggers the menu item; returns how long the detection took on the virtual clock.
    qint64 Detect()
    {
        const qint64 start = H->Clock.Now();
        frmMain->NDetect->trigger();
        return H->Clock.Now() - start;
    }

    QStringList Outcomes() const { return H->LogLines().filter(QRegularExpression(QStringLiteral("Detected: |No heater answered"))); }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        Asked.clear();
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Thermoryx"), QStringLiteral("Thermoryx Diagnostic"))
            .remove(QStringLiteral("detect"));
        AskModelChoice() = [this](const QStringList &candidates, const QString &) {
            Asked << candidates.join(QStringLiteral(", "));
            return candidates.first();
        };
    }

    void cleanup()
    {
        AskModelChoice() = nullptr;
        H->Connect(nullptr);
        Sim.reset();
        H.reset();
    }

    // Every simulated heater, healthy and under the line faults and heater faults that still let it
    // answer, with another model chosen before: Detect finds it, chooses it and sends no command.
    void findsEveryModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("mode");
        for (const QString &model : SimulatedModels())
            for (const char *mode : {"none", "noise", "split-frames", "retry-only"})
                QTest::addRow("%s / %s", qPrintable(model), mode) << model << QString::fromLatin1(mode);
    }
    void findsEveryModel()
    {
        QFETCH(QString, model);
        QFETCH(QString, mode);
        Sim = CreateSimulator(model);
        QVERIFY(Sim->SetFailureMode(mode));
        H->Connect(Sim.get());
        const qint64 took = Detect();
        qInfo("%s / %s: %lld ms", qPrintable(model), qPrintable(mode), took);
        QVERIFY2(took <= 15000, qPrintable(QString::number(took)));
        QCOMPARE(Outcomes().size(), 1);
        const QStringList offered = Offered(model);
        if (offered.size() == 1) {
            QVERIFY2(Outcomes().value(0).contains(QStringLiteral("Detected: %1 #").arg(model)), qPrintable(Outcomes().value(0)));
            QVERIFY(Asked.isEmpty());
        } else {
            QVERIFY2(Outcomes().value(0).endsWith(QStringLiteral("Detected: one of ") + offered.join(QStringLiteral(", "))),
                     qPrintable(Outcomes().value(0)));
            QCOMPARE(Asked, QStringList{offered.join(QStringLiteral(", "))});
        }
        QVERIFY(CurrentProduct);
        QCOMPARE(CurrentProduct->ModelName(), offered.first());
        QVERIFY2(NonReadsHeard(Sim.get()).isEmpty(), qPrintable(QString::number(NonReadsHeard(Sim.get()).value(0))));
        // The chosen model then finds the heater as its menu item would have; the old-revision air
        // heater's handler never sends a command twice, so it cannot find one that answers only that.
        if (model != QLatin1String("Zephal-3/-33/-6 [old rev.]") || mode != QLatin1String("retry-only"))
            QVERIFY(H->Clock.AdvanceUntil([] { return CurrentProduct->Identified; }, 20000));
    }

    // A heater that hears but does not answer gets every probe of every speed, its own family's and
    // the others': none of them may be a command other than a read for it.
    void silentHeaterHearsNoCommand_data()
    {
        QTest::addColumn<QString>("model");
        for (const QString &model : SimulatedModels())
            QTest::newRow(qPrintable(model)) << model;
    }
    void silentHeaterHearsNoCommand()
    {
        QFETCH(QString, model);
        Sim = CreateSimulator(model);
        QVERIFY(Sim->SetFailureMode(QStringLiteral("silence")));
        H->Connect(Sim.get());
        Detect();
        QVERIFY2(Outcomes().value(0).contains(QStringLiteral("No heater answered")), qPrintable(Outcomes().value(0)));
        const QList<quint8> nonReads = NonReadsHeard(Sim.get());
        QVERIFY2(nonReads.isEmpty(), qPrintable(QString::number(nonReads.value(0))));
    }

    // A heater left streaming its status by the wrong model's handler: its frames are not taken for
    // answers of the command-queue line, and it is found as what it is.
    void streamingHeaterIsFoundAsItself_data()
    {
        QTest::addColumn<QString>("heater");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("Hydrel-7S after Zephal-33") << "Hydrel-7S" << "Zephal-33 [new rev.]";
        QTest::newRow("Zephal-33 after Hydrel-7S") << "Zephal-33 [new rev.]" << "Hydrel-7S";
    }
    void streamingHeaterIsFoundAsItself()
    {
        QFETCH(QString, heater);
        QFETCH(QString, chosen);
        Sim = CreateSimulator(heater);
        H->Connect(Sim.get());
        H->Choose(chosen);
        QVERIFY(H->Clock.AdvanceUntil([] { return CurrentProduct->StatusActive; }, 20000));
        Detect();
        QVERIFY2(Outcomes().value(0).contains(QStringLiteral("Detected: %1 #").arg(heater)), qPrintable(Outcomes().value(0)));
    }

    // The heater's answers name the serial number the handler then reads.
    void namesTheSerialNumber()
    {
        Sim = CreateSimulator(QStringLiteral("Hydrel-7S"));
        H->Connect(Sim.get());
        Detect();
        QVERIFY2(Outcomes().value(0).endsWith(QStringLiteral("Detected: Hydrel-7S #070001234")), qPrintable(Outcomes().value(0)));
    }

    // Models that answer alike: the technician's pick is kept for that serial number, so the next
    // detection of the same heater chooses it without asking.
    void keepsThePickPerSerialNumber()
    {
        Sim = CreateSimulator(QStringLiteral("Corva"));
        H->Connect(Sim.get());
        AskModelChoice() = [this](const QStringList &candidates, const QString &serial) {
            Asked << serial;
            return candidates.last();
        };
        Detect();
        QCOMPARE(Asked, QStringList{QStringLiteral("120345678")});
        QCOMPARE(CurrentProduct->ModelName(), QStringLiteral("Zephal-3/-33/-6 [old rev.]"));
        Detect();
        QCOMPARE(Asked.size(), 1);
        QCOMPARE(CurrentProduct->ModelName(), QStringLiteral("Zephal-3/-33/-6 [old rev.]"));
    }

    // Cancelling the pick chooses nothing.
    void cancelledPickChoosesNothing()
    {
        Sim = CreateSimulator(QStringLiteral("Corva"));
        H->Connect(Sim.get());
        H->Choose(QStringLiteral("Hydrel-7"));
        AskModelChoice() = [](const QStringList &, const QString &) { return QString(); };
        Detect();
        QVERIFY(!CurrentProduct);
        QVERIFY(!frmMain->Hydrel71->isChecked());
    }

    // Nobody on the line: the outcome names the speeds tried, in the log and a message box, and no
    // model is chosen.
    void noHeaterAnswered()
    {
        H->Choose(QStringLiteral("Zephal-1"));
        const qint64 took = Detect();
        qInfo("nobody on the line: %lld ms", took);
        QVERIFY(took <= 15000);
        const QString outcome = QStringLiteral("No heater answered at 2400, 1200, 9600 and 19200 bit/s");
        QCOMPARE(Outcomes().size(), 1);
        QVERIFY2(Outcomes().value(0).endsWith(outcome), qPrintable(Outcomes().value(0)));
        QVERIFY(!CurrentProduct);
        QCOMPARE(H->Messages(), QStringList{outcome + QLatin1Char('.')});
    }
};

QTEST_MAIN(TestModelDetect)
#include "tst_model_detect.moc"
