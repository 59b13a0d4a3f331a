// The Hydrel-7S handler against the simulated heater on an in-memory line, on the virtual clock:
// search, identification, the status flow, a recorded run saved to its CSV file, a connection lost
// and found again, and an EDR read with a block that is answered only when asked a second time.
#include "app/Globals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "sim/current/CurrentHeaterSim.h"
#include "support/Harness.h"
#include "views/StringGrid.h"
#include "views/fBB.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

namespace {
// A serial number of its own, so that this test's run logs cannot be mistaken for another test's.
constexpr quint16 SerialPrefix = 41;
constexpr quint32 SerialNumber = 7700123;
const QString Serial = QStringLiteral("417700123");
const QString IdentifiedTitle = QStringLiteral("Thermoryx Diagnostic - Hydrel-7S #417700123 firmware version: 1.2.0.3.17");
const QString SearchingTitle = QStringLiteral("Thermoryx Diagnostic - Hydrel-7S - Connecting...");
const QString Header = QStringLiteral(
    "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;T ext. sens.;T plate;Voltage;FaultCode;");

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

class TestLinkCurrent : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<TCurrentHeaterSim> Sim;
    TMemoryChannel *Line = nullptr;

    static void RemoveRunLogs()
    {
        for (const QString &name : RunLogFiles())
            QFile::remove(QDir(RunLogFolder()).filePath(name));
    }

    bool Advance(const std::function<bool()> &until, qint64 limitMs) { return H->Clock.AdvanceUntil(until, limitMs, 50); }

    // Chooses the model and waits until the heater is identified and its status flows.
    void ConnectAndStream()
    {
        H->Choose(QStringLiteral("Hydrel-7S"));
        QCOMPARE(H->Title(), SearchingTitle);
        QVERIFY(Advance([&] { return H->Title() == IdentifiedTitle; }, 5000));
        QVERIFY(Advance([&] { return Sim->Streaming() && Cell(0) == QLatin1String("Pause"); }, 5000));
    }

private slots:
    void init()
    {
        RemoveRunLogs();
        H = std::make_unique<THarness>();
        Sim = std::make_unique<TCurrentHeaterSim>(*FindCurrentVariant(QStringLiteral("Hydrel-7S")));
        Sim->SetIdentity(SerialPrefix, SerialNumber, QByteArray("\x01\x02\x00\x03\x11", 5));
        Line = H->Connect(Sim.get());
    }

    void cleanup()
    {
        // The line goes before the heater and the heater before the clock it keeps its time on.
        H->Connect(nullptr);
        Sim.reset();
        H.reset();
        RemoveRunLogs();
    }

    void runIsRecordedSavedAndConnectionLossIsNoticed()
    {
        ConnectAndStream();
        QCOMPARE(Line->LineBaudRate(), 2400);
        const QChar point = QLocale().decimalPoint().front();
        QCOMPARE(Cell(1), QStringLiteral("0 с"));
        QCOMPARE(Cell(2), QStringLiteral("0"));
        QCOMPARE(Cell(4), QStringLiteral("0") + point + QStringLiteral("00 Hz"));
        QCOMPARE(Cell(6), QStringLiteral("18 °C"));
        QCOMPARE(Cell(7), QStringLiteral("18 °C"));
        QVERIFY2(QRegularExpression(QStringLiteral("^12[%1][567] V$").arg(point)).match(Cell(9)).hasMatch(), qPrintable(Cell(9)));
        QCOMPARE(Cell(10), QStringLiteral("-"));

        CurrentProduct->Start();
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Start OK")); }, 2000));
        QVERIFY(CurrentProduct->Running);
        QCOMPARE(CurrentProduct->RunLog().value(0), Header);

        // One row a second, whatever the heater streams.
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Plug heating"); }, 6000));
        const qsizetype rows = CurrentProduct->RunLog().size();
        H->Clock.AdvanceBy(10000);
        QCOMPARE(CurrentProduct->RunLog().size(), rows + 10);

        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Medium"); }, 90000));
        QVERIFY2(Cell(4) == QStringLiteral("1") + point + QStringLiteral("90 Hz"), qPrintable(Cell(4)));
        QCOMPARE(Cell(5), QStringLiteral("0 V"));
        QVERIFY(Cell(6).remove(QStringLiteral(" °C")).toInt() > 200);
        const qsizetype rowsBeforeStop = CurrentProduct->RunLog().size() - 1;

        CurrentProduct->Stop();
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Switching off"); }, 2000));
        QVERIFY(Advance([&] { return !frmGraph->SavePath().isEmpty(); }, 40000));
        QVERIFY(!CurrentProduct->Running);
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Pause"); }, 1000));

        const QStringList files = RunLogFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^\\[417700123\\] \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.csv$")).match(files[0]).hasMatch());
        const QString path = QDir(RunLogFolder()).filePath(files[0]);
        QCOMPARE(frmGraph->SavePath(), QStringLiteral("Log saved to ") + QDir::toNativeSeparators(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.endsWith("\r\n"));
        QList<QByteArray> lines = content.split('\n');
        lines.removeLast();
        QCOMPARE(lines.value(0), Header.toLatin1() + '\r');
        QVERIFY(lines.size() > rowsBeforeStop + 25); // the rows of the switching off are there too
        QSet<int> stages;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split(';');
            QCOMPARE(fields.size(), 16); // 15 values, each followed by ";"
            QCOMPARE(fields.last(), QByteArray("\r"));
            stages.insert(fields[0].toInt());
        }
        QVERIFY(stages.contains(2) && stages.contains(3) && stages.contains(4));

        // Staying at rest writes no second file.
        H->Clock.AdvanceBy(20000);
        QCOMPARE(RunLogFiles().size(), 1);

        Sim->SetFailureMode(QStringLiteral("silence"));
        const qint64 silentFrom = H->Clock.Now();
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Connection lost.")); }, 20000));
        const qint64 lostAfter = H->Clock.Now() - silentFrom;
        QVERIFY2(lostAfter >= 10000 && lostAfter <= 14000, qPrintable(QString::number(lostAfter)));
        QCOMPARE(H->Title(), SearchingTitle);
        QCOMPARE(Cell(0), QString());
        QCOMPARE(Cell(10), QString());

        Sim->SetFailureMode(QStringLiteral("none"));
        QVERIFY(Advance([&] { return H->Title() == IdentifiedTitle; }, 5000));
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Pause"); }, 5000));
    }

    // The line may garble or chop the heater's answers; the handler still finds and follows it.
    void damagedLineStillIdentifies_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("split-frames") << "split-frames";
        QTest::newRow("noise") << "noise";
    }

    void damagedLineStillIdentifies()
    {
        QFETCH(QString, mode);
        QVERIFY(Sim->SetFailureMode(mode));
        ConnectAndStream();
        H->Clock.AdvanceBy(30000);
        QVERIFY(!H->LogContains(QStringLiteral("Connection lost.")));
        QCOMPARE(Cell(0), QStringLiteral("Pause"));
    }

    void badCrcIsNeverAccepted()
    {
        Sim->SetFailureMode(QStringLiteral("bad-crc"));
        H->Choose(QStringLiteral("Hydrel-7S"));
        QVERIFY(Advance([&] { return H->LogContains(QStringLiteral("Connection lost.")); }, 20000));
        QCOMPARE(H->Title(), SearchingTitle);
        QVERIFY(!H->LogContains(QStringLiteral("Version: ")));
    }

    void fault27StopsTheHeaterAndItsBlower()
    {
        ConnectAndStream();
        CurrentProduct->Start();
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Low"); }, 60000));
        Sim->SetFailureMode(QStringLiteral("fault-27"));
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Switching off"); }, 3000));
        QCOMPARE(Cell(10), QStringLiteral("[27]Air pump’ motor won’t rotate"));
    }

    // The control panel's commands reach the heater and show in what it streams back; refusals send nothing.
    void commandsReachTheHeater()
    {
        ConnectAndStream();
        const QString launched = QStringLiteral("Unable to perform: Hydrel-7S launched.");

        CurrentProduct->SetBlower(40);
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Ventilation"); }, 2000));
        QVERIFY(CurrentProduct->Running);
        QVERIFY(Advance([&] { return Cell(2) == QLatin1String("40") && Cell(3).toInt() >= 38; }, 6000));
        Line->Written.clear();
        CurrentProduct->Start();
        QCOMPARE(H->Messages(), QStringList{launched});
        QVERIFY(Line->Written.isEmpty());
        CurrentProduct->SetBlower(0);
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Pause"); }, 2000));
        QVERIFY(Advance([&] { return !CurrentProduct->Running; }, 8000));

        CurrentProduct->RunPump(2);
        H->Clock.AdvanceBy(1000);
        QVERIFY2(Sim->Heater().CirculationPumpSecondsLeft() > 110, qPrintable(QString::number(Sim->Heater().CirculationPumpSecondsLeft())));

        const QChar point = QLocale().decimalPoint().front();
        CurrentProduct->PumpFuel(10);
        QVERIFY(CurrentProduct->RunLog().value(0).startsWith(QStringLiteral("Стадия;режим;")));
        QVERIFY(Advance([&] { return Cell(4) == QStringLiteral("2") + point + QStringLiteral("50 Hz"); }, 2000));
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Pause"); }, 6000));
        QVERIFY(Advance([&] { return !CurrentProduct->Running; }, 8000)); // the priming run is saved

        CurrentProduct->Start();
        QVERIFY(Advance([&] { return Cell(0) == QLatin1String("Plug heating"); }, 6000));
        Line->Written.clear();
        CurrentProduct->SetBlower(90);
        QCOMPARE(H->Messages().size(), 2);
        QCOMPARE(H->Messages().last(), launched);
        QVERIFY(Line->Written.isEmpty());
        H->Clock.AdvanceBy(2000);
        QCOMPARE(Cell(2), QStringLiteral("15"));
    }

    void edrBlockAnsweredOnItsSecondRequest()
    {
        ConnectAndStream();
        Sim->SetFailureMode(QStringLiteral("edr-first-request-unanswered"));
        Line->Written.clear();
        CurrentProduct->ReadEDR();
        QVERIFY(H->Messages().isEmpty());
        QCOMPARE(Sim->EepromRequestsIgnored(), 1);
        QVERIFY(!H->LogContains(QStringLiteral("EEPROM reading error.")));
        const QByteArray firstBlock("\xAA\x03\x03\x00\x0B\x00\x00\x40", 8);
        QCOMPARE(Line->Written.count(firstBlock), 2);

        const QStringList report = frmBB->Lines();
        QCOMPARE(report.value(0), QStringLiteral("Version: 3"));
        QCOMPARE(report.value(1), QStringLiteral("Number: 41-7700123"));
        QVERIFY(report.contains(QStringLiteral("Ignition attempts: 152")));
        // The durations from the heater's counters (the closing bracket is the report's own business).
        auto hasLine = [&](const QString &start) {
            return std::any_of(report.begin(), report.end(), [&](const QString &line) { return line.startsWith(start); });
        };
        QVERIFY(hasLine(QStringLiteral("Total operation time: 000083 hours.(003-11:33.06")));
        QVERIFY(hasLine(QStringLiteral("Operation time at power 5: 000025 hours.(001-01:01.01")));
        QVERIFY(hasLine(QStringLiteral("Operation time at power 9: 000001 hours.(000-01:02.05")));
        QVERIFY(report.contains(QStringLiteral("Operation time at power 0: ---")));
        QVERIFY(report.contains(QStringLiteral("Number of the last record of failure: 5")));
        auto table = [](const char *label, const QStringList &cells) {
            return QString::fromLatin1(label).leftJustified(32) + cells.join(QString());
        };
        QVERIFY(report.contains(table("Faultcode", {"      8 ", "      9 ", "     15 ", "      5 ", "     29 ", "     17 "})));
        QVERIFY(report.contains(table("Stage/Mode", {"  3/  0 ", "  2/  1 ", "  3/  8 ", "  3/  8 ", "  3/  2 ", "  2/  3 "})));
        QVERIFY(report.contains(table("Ventilation is permitted", {"      V ", "      X ", "      V ", "      V ", "      X ", "      V "})));
        QVERIFY(report.contains(table("Work on...", {"    Pwr ", " Тplate ", "  Т RCU ", "  Тext. ", "    Pwr ", "    Pwr "})));

        // The stream comes back after the read.
        Line->Written.clear();
        QVERIFY(Advance([&] { return Sim->Streaming(); }, 3000));
        H->Clock.AdvanceBy(15000);
        QVERIFY(!H->LogContains(QStringLiteral("Connection lost.")));
    }
};

QTEST_MAIN(TestLinkCurrent)
#include "tst_scenario_current.moc"
