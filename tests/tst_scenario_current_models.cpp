// Each current-family model against its simulated heater on the virtual clock, as a technician uses
// it: choose the model, see it identified and streaming, start a run from the control panel, stop
// it, find the run in one CSV file, read the EDR from the panel, and see the line's loss noticed.
#include "support/Harness.h"
#include "app/Globals.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "sim/Simulators.h"
#include "views/StringGrid.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QPushButton>
#include <QtTest>

namespace {

QString Cell(int row)
{
    return frmViewData->strngrd->Cells(1, row);
}

QStringList RunLogFiles(const QString &serial)
{
    QStringList ours;
    for (const QString &name : QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name))
        if (name.startsWith(QLatin1Char('[') + serial + QLatin1String("] ")))
            ours << name;
    return ours;
}

void RemoveRunLogs(const QString &serial)
{
    for (const QString &name : RunLogFiles(serial))
        QFile::remove(QDir(RunLogFolder()).filePath(name));
}

const QString AirHeader = QStringLiteral(
    "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;T ext. sens.;T plate;"
    "Voltage;FaultCode;");
const QString CorvaMiniHeader = QStringLiteral(
    "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;Pump;Relay;FI;T liq.;"
    "T overheat;T plate;Voltage;FaultCode;");

} // namespace

class TestScenarioCurrentModels : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Sim;

    bool Advance(const std::function<bool()> &until, qint64 limitMs) { return H->Clock.AdvanceUntil(until, limitMs, 50); }

private slots:
    void cleanup()
    {
        // The line goes before the heater and the heater before the clock it keeps its time on.
        if (H)
            H->Connect(nullptr);
        Sim.reset();
        H.reset();
    }

    void runFromThePanelIsRecordedAndTheEdrRead_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("burning");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("edrFirstLine");
        QTest::newRow("Zephal-33D") << "Zephal-33 [new rev.]" << "330120456"
                                    << "Thermoryx Diagnostic - Zephal-33D #330120456 firmware version: 18.3.1.5"
                                    << "Burning" << AirHeader << "Version: 4";
        QTest::newRow("Zephal-1") << "Zephal-1" << "010098765"
                                  << "Thermoryx Diagnostic - Zephal-1 #010098765 firmware version: 7.2.0.11"
                                  << "Burning" << AirHeader << "Version: 2";
        QTest::newRow("Corva-Mini") << "Corva-mini" << "152024017"
                                    << "Thermoryx Diagnostic - Corva-Mini #152024017 firmware version: 3.1.1.2"
                                    << "Middle" << CorvaMiniHeader << "EDR version: 5";
    }
    void runFromThePanelIsRecordedAndTheEdrRead()
    {
        QFETCH(QString, caption);
        QFETCH(QString, serial);
        QFETCH(QString, title);
        QFETCH(QString, burning);
        QFETCH(QString, header);
        QFETCH(QString, edrFirstLine);
        RemoveRunLogs(serial);
        auto removeRunLogs = qScopeGuard([&] { RemoveRunLogs(serial); });
        H = std::make_unique<THarness>();
        Sim = CreateSimulator(caption);
        QVERIFY(Sim);
        H->Connect(Sim.get());

        H->Choose(caption);
        QVERIFY2(Advance([&] { return H->Title() == title; }, 8000), qPrintable(H->Title()));
        QVERIFY(Advance([&] { return CurrentProduct->StatusActive && !Cell(0).isEmpty(); }, 8000));

        frmControl->btnStart->click();
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Start OK")); }, 3000));
        QVERIFY(CurrentProduct->Running);
        QVERIFY(Advance([&] { return Cell(0) == burning; }, 120000));
        frmControl->Button2->click();
        QVERIFY(Advance([&] { return !frmGraph->SavePath().isEmpty(); }, 120000));
        QVERIFY(!CurrentProduct->Running);

        const QStringList files = RunLogFiles(serial);
        QCOMPARE(files.size(), 1);
        QFile file(QDir(RunLogFolder()).filePath(files[0]));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.value(0), header.toLatin1() + '\r');
        QVERIFY(lines.size() > 30);

        QVERIFY(Advance([&] { return CurrentProduct->Stage == 0 && CurrentProduct->Mode == 1; }, 60000));
        frmControl->Button3->click();
        QCOMPARE(frmBB->Lines().value(0), edrFirstLine);
        QVERIFY(H->Messages().isEmpty());

        // The heater falls silent: the loss is noticed and the search begins again.
        Sim->SetFailureMode(QStringLiteral("silence"));
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral(" Connection lost.")); }, 20000));
        QVERIFY(H->Title().endsWith(QLatin1String(" - Connecting...")));
    }
};

QTEST_MAIN(TestScenarioCurrentModels)
#include "tst_scenario_current_models.moc"
