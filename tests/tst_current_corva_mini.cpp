// The pre-heater Corva-Mini on the current protocol: its search with the wake-up pairs at 2400 baud,
// its status layout, texts, grid, run log and recording rules, its commands, its tracing and its
// guarded writes.
#include "support/CurrentPeer.h"
#include "support/StatusLayouts.h"
#include "core/LogMemo.h"
#include "current/CorvaMini.h"
#include "serial/ComPort.h"
#include "views/StringGrid.h"
#include "views/fControl.h"
#include "views/LineSeries.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QLabel>
#include <qcustomplot.h>
#include <QtTest>

using namespace CurrentTest;

namespace {

const QString Caption = QStringLiteral("Corva-mini");
const QString Header = QStringLiteral(
    "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;Pump;Relay;FI;T liq.;"
    "T overheat;T plate;Voltage;FaultCode;");

// The far end of the line as a wire probe: every byte with the line speed it was sent at.
class TWireProbe : public TLinePeer {
public:
    void Receive(const QByteArray &bytes) override
    {
        if (Bursts.isEmpty() || Bursts.last().first != Baud)
            Bursts.append({Baud, QByteArray()});
        Bursts.last().second += bytes;
    }
    void LineBaudRateChanged(qint32 baud) override { Baud = baud; }
    qint32 Baud = 0;
    QList<QPair<qint32, QByteArray>> Bursts;
};

} // namespace

class TestCurrentCorvaMini : public QObject {
    Q_OBJECT
    std::unique_ptr<TModelFixture> F;

    TCorvaMini *Corva() { return static_cast<TCorvaMini *>(F->Product); }
    void Feed(const TStatus &status) { F->Feed(status.Frame(CorvaMini)); }
    void Launch()
    {
        Corva()->Start();
        F->Feed(Frame(1));
        TStatus burning;
        burning.Stage = 3;
        burning.Mode = 0;
        burning.BlowerActual = 50;
        Feed(burning);
        QVERIFY(Corva()->Running);
        F->TakeWritten();
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        F = std::make_unique<TModelFixture>(Caption);
        QVERIFY(Corva());
        F->TakeWritten();
    }
    void cleanup() { F.reset(); }

    void creation()
    {
        QCOMPARE(F->Line->LineBaudRate(), 19200);
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Corva-Mini - Connecting..."));
        for (QWidget *section : {frmControl->pnlTN, frmControl->pnlSetParamZ1, frmControl->pnlPump})
            QVERIFY(!section->isVisibleTo(frmControl));
        QVERIFY(frmGraph->lbl8->isVisibleTo(frmGraph));
        QCOMPARE(frmGraph->lbl8->text(), QStringLiteral("T overheat (°C)"));
        QCOMPARE(frmGraph->lbl7->text(), QStringLiteral("T liq. (°C)"));
        const QStringList captions = {"Workmode", "Worktime", "SB",    "ASB",        "FP Frequency",
                                      "Plug voltage", "Pump", "Relay", "FI",         "T out",
                                      "T overheat",   "T plate", "Voltage", "Faultcode"};
        QCOMPARE(frmViewData->strngrd->RowCount(), captions.size());
        for (int row = 0; row < captions.size(); ++row)
            QCOMPARE(frmViewData->strngrd->Cells(0, row), captions[row]);
    }

    // One search tick on the wire: the stream stopped at 19200, the two pairs at 2400, then the stop
    // and both identity requests at 19200 again; its log line goes to the log window.
    void searchTickOnTheWire()
    {
        F.reset(); // a harness of its own, with the probe on the line from the start
        THarness h;
        TWireProbe wire;
        h.Connect(&wire);
        h.Choose(Caption);
        h.Clock.AdvanceBy(1000 + 200 + 250 + 250 + 250 + 250 + 250 + 100);
        const QByteArray stop = Frame(7, QByteArray(1, '\0'));
        const QList<QPair<qint32, QByteArray>> expected = {
            {19200, stop},
            {2400, QByteArray::fromHex("96969797")},
            {19200, stop + Frame(4) + Frame(6)},
        };
        QCOMPARE(wire.Bursts, expected);
        QVERIFY(h.LogContains(QStringLiteral(" SearchTimerEvent")));
        QVERIFY(!h.LogContains(QStringLiteral("OnSearchTimer")));
        F = std::make_unique<TModelFixture>(Caption);
    }

    void identity()
    {
        F->Feed(Frame(4, QByteArray::fromHex("05 0004d2")));
        F->Feed(Frame(6, QByteArray::fromHex("00038102")));
        QCOMPARE(F->H.Title(), QStringLiteral("Thermoryx Diagnostic - Corva-Mini #050001234 firmware version: 3.1.1.2"));
    }

    void statusLayout()
    {
        TStatus status;
        status.Stage = 3;
        status.Mode = 6;
        status.WorkTime = 4000;
        status.StageTime = 300;
        status.ModeTime = 200;
        status.BlowerSet = 151;
        status.BlowerActual = 150;
        status.FuelPump = 65536 - 3125; // 5 Hz
        status.PlugPwm = 5;
        status.Pump = 1;
        status.Relay = 2;
        status.FlameKelvin = 700;
        status.Liquid = 65;
        status.Overheat = 70;
        status.Plate = 40;
        status.VoltageTenths = 241;
        status.Fault = 14;
        Feed(status);
        const TCorvaMini &c = *Corva();
        QCOMPARE(c.WorkTime, 4000);
        QCOMPARE(c.StageTime, 300);
        QCOMPARE(c.ModeTime, 200);
        QCOMPARE(c.BlowerSet, 0.0);
        QCOMPARE(c.BlowerActual, 150.0);
        QCOMPARE(c.FuelPumpFrequency, 5.0);
        QCOMPARE(c.PlugPwm, 1000.0);
        QCOMPARE(c.Pump(), quint8(1));
        QCOMPARE(c.Relay(), quint8(2));
        QCOMPARE(c.FlameIndicator, 427.0);
        QCOMPARE(c.TempOut, 65.0);
        QCOMPARE(c.TempOverheat, 70.0);
        QCOMPARE(c.TempPlate, 40.0);
        QCOMPARE(c.Voltage, 24.1);
        QCOMPARE(c.FaultText, QStringLiteral("[14]Pump failure"));
        QCOMPARE(c.StateText, QStringLiteral("High"));
        Corva()->TransmitTimerEvent(nullptr);
        const QStringList cells = {"High", "4000 с", "0", "150", "5.00 Гц", "1.25 В", "1", "2",
                                   "427 °C", "65 °C", "70 °C", "40 °C", "24.1 В", "[14]Pump failure"};
        for (int row = 0; row < cells.size(); ++row)
            QCOMPARE(frmViewData->strngrd->Cells(1, row), cells[row]);
    }

    // A one-byte answer to command 1 is a status too, its missing bytes read as 0.
    void shortStatusAnswer()
    {
        F->Feed(Frame(1, QByteArray(1, '\3')));
        QVERIFY(Corva()->StatusActive);
        QCOMPARE(Corva()->Stage, quint8(3));
        QCOMPARE(Corva()->Voltage, 0.0);
    }

    void stateTexts_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("0/0") << 0 << 0 << "Transferring paragraphs";
        QTest::newRow("3/1 quoted") << 3 << 1 << "Switching \"Low-Middle\"";
        QTest::newRow("3/14") << 3 << 14 << "Purging before ignition after flame-out";
        QTest::newRow("4/3") << 4 << 3 << "Purging at overheating or pump fault";
        QTest::newRow("1/0 keeps the last text") << 1 << 0 << "command Waiting";
        QTest::newRow("3/16 keeps the last text") << 3 << 16 << "command Waiting";
    }
    void stateTexts()
    {
        QFETCH(int, stage);
        QFETCH(int, mode);
        QFETCH(QString, text);
        Feed(TStatus()); // 0/1
        TStatus status;
        status.Stage = quint8(stage);
        status.Mode = quint8(mode);
        Feed(status);
        QCOMPARE(Corva()->StateText, text);
    }

    void faultNames_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("3") << 3 << "[3]Overheat sensor failure";
        QTest::newRow("30") << 30 << "[30]No connection between Control panel or modem and the heater";
        QTest::newRow("37") << 37 << "[37]Locked by Code 13";
        QTest::newRow("8 has no name here") << 8 << "[8]";
    }
    void faultNames()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(Corva()->MakeFaultText(quint8(code)), text);
    }

    // The short acknowledgement begins a run; the run ends once the mode time passes 5 at rest; a
    // blower run from rest is no recording, and nothing re-arms one.
    void recordingRules()
    {
        Corva()->Start();
        F->Feed(Frame(1));
        QVERIFY(Corva()->Running);
        QCOMPARE(Corva()->RunLog(), QStringList{Header});
        TStatus resting;
        resting.Stage = 0;
        resting.Mode = 1;
        resting.ModeTime = 5;
        Feed(resting);
        Corva()->TransmitTimerEvent(nullptr); // the run's one row
        Feed(resting); // the previous mode time is 5: not yet
        QVERIFY(Corva()->Running);
        resting.ModeTime = 6;
        Feed(resting);
        Feed(resting);
        QVERIFY(!Corva()->Running);
        QVERIFY(Corva()->LogSaved);

        TStatus blowing;
        blowing.Mode = 2;
        Feed(blowing);
        QVERIFY(!Corva()->Running);
        Corva()->SetBlower(30);
        QCOMPARE(F->TakeWritten().right(8), Frame(8, QByteArray(1, char(30))));
        QVERIFY(!Corva()->Running);
    }

    void runLogRow()
    {
        Corva()->Start();
        F->Feed(Frame(1));
        TStatus status;
        status.Stage = 3;
        status.Mode = 0;
        status.WorkTime = 100;
        status.StageTime = 50;
        status.ModeTime = 20;
        status.BlowerSet = 70;
        status.BlowerActual = 69;
        status.FuelPump = 65536 - 6250;
        status.Pump = 1;
        status.Relay = 0;
        status.FlameKelvin = 673;
        status.Liquid = 60;
        status.Overheat = 62;
        status.Plate = 35;
        status.VoltageTenths = 240;
        Feed(status);
        Corva()->TransmitTimerEvent(nullptr);
        QCOMPARE(Corva()->RunLog(),
                 QStringList({Header, "3;0;100;50;20;70;69;2.50;-0.4;0.00;1;0;400;60;62;35;24.00;0;"}));
        QCOMPARE(frmGraph->lnsrsTout->Points().ValueAt(0), 60.0);
        QCOMPARE(frmGraph->lnsrsToverheat->Points().ValueAt(0), 62.0);
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("start has no precondition") << "start" << "" << Frame(1);
        QTest::newRow("blower refused while launched, no full stop")
            << "blower" << "Unable to perform: Product launched" << QByteArray();
        QTest::newRow("fuel pumping not offered")
            << "pumpFuel" << "Unable to perform: fuel pumping is not available for Corva-mini." << QByteArray();
    }
    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        QFETCH(QByteArray, frame);
        Launch();
        if (command == "start")
            Corva()->Start();
        else if (command == "blower")
            Corva()->SetBlower(40);
        else
            Corva()->PumpFuel(3);
        QCOMPARE(F->H.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(F->TakeWritten(), frame);
    }

    // Every tick of its timers leaves a line in the log window, the watchdog's too.
    void timerTracing()
    {
        Corva()->LogMemo = nullptr;
        F->Feed(Frame(6, QByteArray::fromHex("00038102")));
        F->H.Clock.AdvanceBy(1000);
        F->Feed(TStatus().Frame(CorvaMini));
        F->H.Clock.AdvanceBy(5000);
        for (const char *line : {" SearchTimerEvent", " TimerEvent", " ErTimerEvent", " TransmitTimerEvent"})
            QVERIFY2(F->H.LogContains(QString::fromLatin1(line)), line);
    }

    // A closed port is written to with a line in the log, not an error.
    void guardedWrites()
    {
        ComPort->Close();
        Corva()->Stop();
        QVERIFY(F->H.LogContains(QStringLiteral("Couldn't write: ComPort is not connected!")));
        QVERIFY(!F->H.LogContains(QStringLiteral("Exception")));
        QVERIFY(F->TakeWritten().isEmpty());
    }
};

QTEST_MAIN(TestCurrentCorvaMini)
#include "tst_current_corva_mini.moc"
