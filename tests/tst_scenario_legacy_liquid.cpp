// The Hydrel-7 handler against the simulated heater on an in-memory line, on the virtual clock:
// search and identification, the status cycle, a started run recorded and saved when the heater is
// back at rest, the pump type, FI calibration, the EDR report, an unconfirmed start sent again, the
// line faults, and a connection lost and found again.
#include "app/Globals.h"
#include "legacy_liquid/Hydrel7.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "support/Harness.h"
#include "views/StringGrid.h"
#include "views/fBB.h"
#include "views/fViewData.h"
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtTest>
#include <memory>

namespace {
const QString Serial = QStringLiteral("990004321");
const QString IdentifiedTitle = QStringLiteral("Thermoryx Diagnostic - Hydrel-7 #990004321 firmware version: 2.0.13");

QString Cell(int row)
{
    return frmViewData->strngrd->Cells(1, row);
}

QStringList RunLogFiles()
{
    QStringList ours;
    for (const QString &name : QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name))
        if (name.startsWith(QLatin1Char('[') + Serial + QLatin1String("] ")))
            ours << name;
    return ours;
}
} // namespace

class TestScenarioLegacyLiquid : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THydrel7HeaterSim> Sim;

    THydrelOld *Handler() const { return dynamic_cast<THydrelOld *>(CurrentProduct); }
    bool Advance(const std::function<bool()> &until, qint64 limitMs) { return H->Clock.AdvanceUntil(until, limitMs, 50); }
    static void RemoveRunLogs()
    {
        for (const QString &name : RunLogFiles())
            QFile::remove(QDir(RunLogFolder()).filePath(name));
    }
    void ConnectAndStream()
    {
        H->Choose(QStringLiteral("Hydrel-7"));
        QVERIFY(Advance([&] { return H->Title() == IdentifiedTitle; }, 5000));
        QVERIFY(Advance([&] { return Sim->Streaming() && Handler()->StatusActive && Cell(0) == QLatin1String("Pause"); }, 5000));
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        RemoveRunLogs();
        H = std::make_unique<THarness>();
        Sim = std::make_unique<THydrel7HeaterSim>();
        Sim->SetIdentity(99, 4321);
        H->Connect(Sim.get());
    }
    void cleanup()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        H.reset();
        Sim.reset();
        RemoveRunLogs();
    }

    void aStartedRunIsRecordedAndSaved()
    {
        ConnectAndStream();
        Handler()->Start();
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Start OK")); }, 2000));
        QVERIFY(Handler()->Running);
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Ignition"); }, 10000));
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Burning"); }, 30000));
        QVERIFY(Handler()->TempLiquid1 > 18);
        QVERIFY(Handler()->FlameIndicator > 100);
        QCOMPARE(Cell(4), QStringLiteral("2.50 Hz"));
        Handler()->Stop();
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Stop OK")); }, 2000));
        QVERIFY(Advance([&] { return !Handler()->Running; }, 20000));
        QCOMPARE(Cell(0), QStringLiteral("Pause"));
        const QStringList files = RunLogFiles();
        QCOMPARE(files.size(), 1);
        QFile file(QDir(RunLogFolder()).filePath(files.first()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.first(), QByteArray("WorkMode;WorkTime;SB;ASB;FP Freq.;Plug voltage;FI;T liq.1;T liq.2;T plate;U;Relay;Pump;Faultcode;\r"));
        QVERIFY(lines.size() > 30);
    }

    void anUnconfirmedStartIsSentAgain()
    {
        ConnectAndStream();
        QVERIFY(Sim->SetFailureMode(QStringLiteral("unconfirmed-once")));
        Handler()->Start();
        H->Clock.AdvanceBy(300);
        QCOMPARE(Handler()->StartPending, qint32(THydrelOld::Waiting));
        QVERIFY(!H->LogContains(QStringLiteral("Start OK")));
        QVERIFY(Advance([&] { return Handler()->StartPending == THydrelOld::Confirmed; }, 2500));
        QCOMPARE(H->LogLines().count(QStringLiteral("Start OK")), 1);
        QVERIFY(Sim->Stage() != 0);
    }

    void pumpTypeCalibrationAndEdr()
    {
        ConnectAndStream();
        Handler()->SetPumpType(false);
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Set Pump OK")); }, 2500));
        QCOMPARE(Sim->PumpType(), quint8(0));
        QCOMPARE(Handler()->PumpTypePending, qint32(THydrelOld::None));

        Handler()->CalibrateFI();
        QCOMPARE(H->Messages().last(), QStringLiteral("Training complete. Result=75 (Good values: 20..120). Old value: 72"));
        QVERIFY(Advance([&] { return Handler()->StatusActive; }, 3000));

        Handler()->ReadEDR();
        const QStringList report = frmBB->Lines();
        QVERIFY2(report.contains(QStringLiteral("Номер изделия: 4321.")), qPrintable(report.join('\n')));
        QVERIFY(report.contains(QStringLiteral("Обучение ДП : 72")));
        QCOMPARE(report.size(), 26);
        QVERIFY(Advance([&] { return Handler()->StatusActive; }, 3000));
        QVERIFY(!H->LogContains(QStringLiteral("Connection lost.")));
    }

    void calibrationWithoutRepliesSaysSo()
    {
        ConnectAndStream();
        QVERIFY(Sim->SetFailureMode(QStringLiteral("fi-unanswered")));
        Handler()->CalibrateFI();
        QCOMPARE(H->Messages().last(), QStringLiteral("Training failed: the heater did not answer. Try again."));
    }

    void lineFaultsAreRidden_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("noise") << "noise";
        QTest::newRow("split-frames") << "split-frames";
    }
    void lineFaultsAreRidden()
    {
        QFETCH(QString, fault);
        QVERIFY(Sim->SetFailureMode(fault));
        ConnectAndStream();
        H->Clock.AdvanceBy(15000);
        QVERIFY(!H->LogContains(QStringLiteral("Connection lost.")));
        QVERIFY(Handler()->Drops().Frames > 60);
        if (fault == QLatin1String("noise"))
            QVERIFY(Handler()->Drops().SkippedBytes > 0);
    }

    void badSumsLoseTheLineAndSilenceEndsIt()
    {
        ConnectAndStream();
        QVERIFY(Sim->SetFailureMode(QStringLiteral("bad-crc")));
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Connection lost.")); }, 15000));
        QVERIFY(Handler()->Drops().BadFrames > 0);
        QVERIFY(Sim->SetFailureMode(QStringLiteral("none")));
        QVERIFY(Advance([&] { return H->Title() == IdentifiedTitle; }, 5000));
    }

    void connectionLostAndFoundAgain()
    {
        ConnectAndStream();
        const double liquid = Handler()->TempLiquid1;
        QVERIFY(Sim->SetFailureMode(QStringLiteral("silence")));
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Connection lost.")); }, 15000));
        QCOMPARE(H->Title(), QStringLiteral("Thermoryx Diagnostic - Hydrel-7 - Connecting..."));
        QCOMPARE(Handler()->TempLiquid1, liquid);
        QCOMPARE(Cell(7), QString::number(qint32(liquid)) + QStringLiteral(" °C"));
        QVERIFY(Sim->SetFailureMode(QStringLiteral("none")));
        QVERIFY(Advance([&] { return H->Title() == IdentifiedTitle; }, 5000));
        QVERIFY(Advance([&] { return Handler()->StatusActive; }, 5000));
    }
};

QTEST_MAIN(TestScenarioLegacyLiquid)
#include "tst_scenario_legacy_liquid.moc"
