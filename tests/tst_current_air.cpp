// The two air heaters on the current protocol, Zephal-33D and Zephal-1, as tables of one fixture:
// creation, identity, status decoding with its limits, state texts, the fault byte, the grid units,
// the run log and the command rules.
#include "support/CurrentPeer.h"
#include "support/RunLogHeaders.h"
#include "support/StatusLayouts.h"
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

const QString Zephal33 = QStringLiteral("Zephal-33 [new rev.]");
const QString Zephal1Caption = QStringLiteral("Zephal-1");

const TStatusLayout &LayoutOf(const QString &caption)
{
    return caption == Zephal1Caption ? Zephal1 : Zephal33D;
}

QString Cell(int row)
{
    return frmViewData->strngrd->Cells(1, row);
}

} // namespace

class TestCurrentAir : public QObject {
    Q_OBJECT
    std::unique_ptr<TModelFixture> F;

    void Open(const QString &caption)
    {
        F.reset(); // one set of windows at a time
        F = std::make_unique<TModelFixture>(caption);
        QVERIFY(F->Product);
        F->TakeWritten();
    }
    void FeedStatus(const QString &caption, const TStatus &status) { F->Feed(status.Frame(LayoutOf(caption))); }
    void AddModels()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("Zephal-33D") << Zephal33;
        QTest::newRow("Zephal-1") << Zephal1Caption;
    }

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { F.reset(); }

    void creation_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("title");
        QTest::newRow("Zephal-33D") << Zephal33 << 2400 << "Thermoryx Diagnostic - Zephal-33D - Connecting...";
        QTest::newRow("Zephal-1: no dots at first") << Zephal1Caption << 9600 << "Thermoryx Diagnostic - Zephal-1 - Connecting";
    }
    void creation()
    {
        QFETCH(QString, caption);
        QFETCH(int, baud);
        QFETCH(QString, title);
        Open(caption);
        QCOMPARE(F->Line->LineBaudRate(), baud);
        QCOMPARE(F->H.Title(), title);
        QVERIFY(frmControl->pnlTN->isVisibleTo(frmControl));
        QVERIFY(frmControl->pnlSetParamZ1->isVisibleTo(frmControl));
        QVERIFY(!frmControl->pnlPump->isVisibleTo(frmControl));
        QVERIFY(!frmGraph->lbl8->isVisibleTo(frmGraph));
        QCOMPARE(frmGraph->lbl7->text(), QStringLiteral("T air(ext. sensor) (°C)"));
        QCOMPARE(frmViewData->strngrd->RowCount(), 11);
        const QStringList captions = {"Workmode", "Worktime", "SB", "ASB", "FP Frequency", "Plug voltage", "FI",
                                      "T air(ext. sensor)", "T plate", "Voltage", "Faultcode"};
        for (int row = 0; row < captions.size(); ++row)
            QCOMPARE(frmViewData->strngrd->Cells(0, row), captions[row]);
    }

    void identityAndTitles_data() { AddModels(); }
    void identityAndTitles()
    {
        QFETCH(QString, caption);
        Open(caption);
        F->Feed(Frame(4, QByteArray::fromHex("12 000102")));
        QCOMPARE(F->Product->SerialNumberText, QStringLiteral("180000258"));
        F->Feed(Frame(6, QByteArray::fromHex("00128305")));
        QCOMPARE(F->Product->VersionText, QStringLiteral("18.3.1.5"));
        const QString name = caption == Zephal33 ? QStringLiteral("Zephal-33D") : QStringLiteral("Zephal-1");
        QCOMPARE(F->H.Title(), "Thermoryx Diagnostic - " + name + " #180000258 firmware version: 18.3.1.5");
        // After a lost line both models search with the dotted title.
        F->H.Clock.AdvanceBy(2000 * 7);
        QCOMPARE(F->H.Title(), "Thermoryx Diagnostic - " + name + " - Connecting...");
    }

    void fuelPumpPeriod_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<double>("hertz");
        QTest::newRow("FF FF: the shortest period") << 0xFFFF << 15625.0;
        QTest::newRow("00 00: below a quarter hertz") << 0 << 0.0;
        QTest::newRow("exactly 0.25 Hz stays") << 3036 << 0.25;
        QTest::newRow("just below 0.25 Hz") << 3035 << 0.0;
        QTest::newRow("1 Hz") << 65536 - 15625 << 1.0;
    }
    void fuelPumpPeriod()
    {
        QFETCH(int, raw);
        QFETCH(double, hertz);
        Open(Zephal33);
        TStatus status;
        status.FuelPump = quint16(raw);
        FeedStatus(Zephal33, status);
        QCOMPARE(F->Product->FuelPumpFrequency, hertz);
    }

    void statusDecoding_data() { AddModels(); }
    void statusDecoding()
    {
        QFETCH(QString, caption);
        Open(caption);
        TStatus status;
        status.Stage = 3;
        status.Mode = 0;
        status.WorkTime = 70000;
        status.StageTime = 600;
        status.ModeTime = 5;
        status.BlowerSet = 150;
        status.BlowerActual = 151;
        status.PlugPwm = 10;
        status.FlameKelvin = 573;
        status.Plate = 45;
        status.VoltageTenths = 126;
        status.External = 21;
        status.Liquid = 99; // not sent by an air heater; its value stays 0
        FeedStatus(caption, status);
        const TCurrentProduct &p = *F->Product;
        QCOMPARE(p.WorkTime, 70000);
        QCOMPARE(p.StageTime, 600);
        QCOMPARE(p.ModeTime, 5);
        QCOMPARE(p.BlowerSet, 150.0);
        QCOMPARE(p.BlowerActual, 0.0);
        QCOMPARE(p.PlugPwm, 2000.0);
        QCOMPARE(p.FlameIndicator, 300.0);
        QCOMPARE(p.TempPlate, 45.0);
        QCOMPARE(p.Voltage, 12.6);
        QCOMPARE(p.TempExternal, 21.0);
        QCOMPARE(p.TempLiquid, 0.0);
        QCOMPARE(p.StateText, QStringLiteral("Burning"));
        status.External = 127;
        FeedStatus(caption, status);
        QCOMPARE(p.TempExternal, 0.0);
    }

    void stateTexts_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("0/0") << 0 << 0 << "Pause";
        QTest::newRow("0/1") << 0 << 1 << "Pause";
        QTest::newRow("0/2") << 0 << 2 << "Checking bowler";
        QTest::newRow("0/3 unknown") << 0 << 3 << "Unknown:ST:0MD:3";
        QTest::newRow("0/4") << 0 << 4 << "Fuel pumping";
        QTest::newRow("1/0") << 1 << 0 << "Switching off";
        QTest::newRow("2/4") << 2 << 4 << "Ignition";
        QTest::newRow("2/5 unknown") << 2 << 5 << "Unknown:ST:2MD:5";
        QTest::newRow("3/2 unknown") << 3 << 2 << "Unknown:ST:3MD:2";
        QTest::newRow("3/5") << 3 << 5 << "Ventilation";
        QTest::newRow("3/6") << 3 << 6 << "Ignition";
        QTest::newRow("3/9") << 3 << 9 << "Ignition";
        QTest::newRow("3/10") << 3 << 10 << "Switching off";
        QTest::newRow("4/2") << 4 << 2 << "Switching off";
        QTest::newRow("4/3 unknown") << 4 << 3 << "Unknown:ST:4MD:3";
        QTest::newRow("5/0 unknown") << 5 << 0 << "Unknown:ST:5MD:0";
    }
    void stateTexts()
    {
        QFETCH(int, stage);
        QFETCH(int, mode);
        QFETCH(QString, text);
        Open(Zephal1Caption);
        TStatus status;
        status.Stage = quint8(stage);
        status.Mode = quint8(mode);
        FeedStatus(Zephal1Caption, status);
        QCOMPARE(F->Product->StateText, text);
    }

    // The blower-motor faults stop the heater only when read from the model's own fault byte.
    void faultByteOfEachModel_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("stops");
        QTest::newRow("Zephal-1, byte 54") << Zephal1Caption << 54 << true;
        QTest::newRow("Zephal-1, byte 56") << Zephal1Caption << 56 << false;
        QTest::newRow("Zephal-33D, byte 56") << Zephal33 << 56 << true;
        QTest::newRow("Zephal-33D, byte 54") << Zephal33 << 54 << false;
    }
    void faultByteOfEachModel()
    {
        QFETCH(QString, caption);
        QFETCH(int, offset);
        QFETCH(bool, stops);
        Open(caption);
        QByteArray payload = TStatus().Frame(LayoutOf(caption)).mid(5, 52);
        payload[offset - 5] = char(27);
        F->Feed(Frame(1, payload));
        const QByteArray stopPair = Frame(3) + Frame(8, QByteArray(1, '\0'));
        QCOMPARE(F->TakeWritten(), stops ? stopPair : QByteArray());
        QCOMPARE(F->Product->FaultCode, quint8(stops ? 27 : 0));
    }

    void faultNames_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("Zephal-33D 29 as the liquid heater") << Zephal33 << 29 << "[29]Flamout count exceeded";
        QTest::newRow("Zephal-1 29 spelled its own way") << Zephal1Caption << 29 << "[29]Flameout count exceeded";
        QTest::newRow("Zephal-1 8") << Zephal1Caption << 8 << "[8]Flame failure";
        QTest::newRow("no name") << Zephal1Caption << 40 << "[40]";
        QTest::newRow("no fault") << Zephal33 << 0 << "-";
    }
    void faultNames()
    {
        QFETCH(QString, caption);
        QFETCH(int, code);
        QFETCH(QString, text);
        Open(caption);
        QCOMPARE(F->Product->MakeFaultText(quint8(code)), text);
    }

    void gridUnits_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("Zephal-33D") << Zephal33
                                    << QStringList{"Burning", "120 s", "60", "59", "1.00 Hz", "0 V", "300 °C",
                                                   "21 °C", "45 °C", "12.6 V", "-"};
        QTest::newRow("Zephal-1, Cyrillic units") << Zephal1Caption
                                                  << QStringList{"Burning", "120 с", "60", "59", "1.00 Гц", "0 В",
                                                                 "300 °C", "21 °C", "45 °C", "12.6 В", "-"};
    }
    void gridUnits()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, cells);
        Open(caption);
        TStatus status;
        status.Stage = 3;
        status.Mode = 0;
        status.WorkTime = 120;
        status.BlowerSet = 60;
        status.BlowerActual = 59;
        status.FuelPump = 65536 - 15625;
        status.FlameKelvin = 573;
        status.External = 21;
        status.Plate = 45;
        status.VoltageTenths = 126;
        FeedStatus(caption, status);
        F->Product->TransmitTimerEvent(nullptr);
        for (int row = 0; row < cells.size(); ++row)
            QCOMPARE(Cell(row), cells[row]);
    }

    // The liquid heater's row layout, with the external sensor in its column and 0 on the liquid series.
    void runLogRowAndCharts()
    {
        Open(Zephal33);
        F->Product->Start();
        F->Feed(Frame(1));
        TStatus status;
        status.Stage = 2;
        status.Mode = 1;
        status.WorkTime = 30;
        status.StageTime = 10;
        status.ModeTime = 3;
        status.BlowerSet = 40;
        status.BlowerActual = 39;
        status.FuelPump = 65536 - 6250; // 2.5 Hz
        status.FlameKelvin = 300;
        status.External = 18;
        status.Plate = 22;
        status.VoltageTenths = 124;
        FeedStatus(Zephal33, status);
        F->Product->TransmitTimerEvent(nullptr);
        QCOMPARE(F->Product->RunLog(), QStringList({RunLogHeaders::English,
                                                     "2;1;30;10;3;40;39;2.50;-0.3;0.00;27;18;22;12.40;0;"}));
        QCOMPARE(frmGraph->lnsrsTout->Points().ValueAt(0), 18.0);
    }

    void commandRules_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("launched");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("frame");
        const QByteArray settings = Frame(2, QByteArray::fromHex("001401160105"));
        QTest::newRow("33D settings while idle are sent") << Zephal33 << "apply" << false << "" << settings;
        QTest::newRow("Zephal-1 settings while idle refused")
            << Zephal1Caption << "apply" << false << "Unable to perform: Zephal not launched." << QByteArray();
        QTest::newRow("Zephal-1 settings while launched") << Zephal1Caption << "apply" << true << "" << settings;
        QTest::newRow("start while launched") << Zephal1Caption << "startWithSettings" << true
                                              << "Unable to perform: Zephal launched." << QByteArray();
        QTest::newRow("fuel pumping while launched")
            << Zephal33 << "pumpFuel" << true << "Unable to perform: Zephal launched." << QByteArray();
        QTest::newRow("blower while burning")
            << Zephal33 << "blower" << true << "Unable to perform: Zephal launched." << QByteArray();
        QTest::newRow("circulation pump not offered")
            << Zephal1Caption << "runPump" << false << "Unable to perform: running the pump is not available for Zephal-1."
            << QByteArray();
    }
    void commandRules()
    {
        QFETCH(QString, caption);
        QFETCH(QString, command);
        QFETCH(bool, launched);
        QFETCH(QString, message);
        QFETCH(QByteArray, frame);
        Open(caption);
        if (launched) {
            F->Product->Start();
            F->Feed(Frame(1));
            TStatus burning;
            burning.Stage = 3;
            burning.Mode = 0;
            burning.BlowerActual = 50;
            FeedStatus(caption, burning);
            QVERIFY(F->Product->Running);
            F->TakeWritten();
        }
        if (command == "apply")
            F->Product->ApplySettings(20, 1, 22, 1, 5);
        else if (command == "startWithSettings")
            F->Product->StartWithSettings(20, 1, 22, 1, 5);
        else if (command == "pumpFuel")
            F->Product->PumpFuel(10);
        else if (command == "blower")
            F->Product->SetBlower(40);
        else
            F->Product->RunPump(5);
        QCOMPARE(F->H.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(F->TakeWritten(), frame);
    }

    // The blower check (stage 0 mode 2) accepts the blower while launched; fuel pumping records with
    // the English header.
    void blowerCheckAndFuelPumpingHeader()
    {
        Open(Zephal1Caption);
        F->Product->SetBlower(20);
        TStatus check;
        check.Mode = 2;
        check.BlowerActual = 20;
        FeedStatus(Zephal1Caption, check);
        F->TakeWritten();
        F->Product->SetBlower(30);
        QVERIFY(F->H.Messages().isEmpty());
        QCOMPARE(F->TakeWritten(), Frame(8, QByteArray(1, char(30))));

        Open(Zephal1Caption);
        F->Product->PumpFuel(3);
        QCOMPARE(F->Product->RunLog(), QStringList{RunLogHeaders::English});
    }
};

QTEST_MAIN(TestCurrentAir)
#include "tst_current_air.moc"
