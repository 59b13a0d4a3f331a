// The Hydrel-7S status answer: decoding with its limits, state and fault texts, the grid, the chart
// bars, the run-log row, the start acknowledgement and the automatic stop on a blower fault.
#include "support/CurrentPeer.h"
#include "support/RunLogHeaders.h"
#include "views/StringGrid.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include "core/Timer.h"
#include <QLocale>
#include <QtTest>

using namespace CurrentTest;

class TestCurrentTelemetry : public QObject {
    Q_OBJECT
    std::unique_ptr<TOrvelFixture> F;

    QString Cell(int row) const { return frmViewData->strngrd->Cells(1, row); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        F = std::make_unique<TOrvelFixture>();
        QVERIFY(F->Orvel);
    }
    void cleanup() { F.reset(); }

    void gridIsLaidOut()
    {
        TStringGrid *grid = frmViewData->strngrd;
        QCOMPARE(grid->RowCount(), 11);
        QCOMPARE(grid->ColCount(), 2);
        QStringList captions;
        for (int row = 0; row < grid->RowCount(); ++row)
            captions << grid->Cells(0, row);
        QCOMPARE(captions, QStringList({"Workmode", "Worktime", "SB", "ASB", "FP Frequency", "Plug voltage", "FI",
                                        "T liq.", "T plate", "Voltage", "Faultcode"}));
    }

    void stateTexts_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown") << 0 << 0 << "Unknown";
        QTest::newRow("pause") << 0 << 1 << "Pause";
        QTest::newRow("ventilation") << 0 << 3 << "Ventilation";
        QTest::newRow("waiting") << 1 << 1 << "Waiting";
        QTest::newRow("not in table 1/0") << 1 << 0 << "ST:1MD:0";
        QTest::newRow("ignition failure purge") << 2 << 7 << "Purging after ignition failure";
        QTest::newRow("medium") << 3 << 8 << "Medium";
        QTest::newRow("not in table 3/9") << 3 << 9 << "ST:3MD:9";
        QTest::newRow("w/o FP") << 4 << 3 << "Purging w/o FP work";
        QTest::newRow("stage 200") << 200 << 17 << "ST:200MD:17";
    }
    void stateTexts()
    {
        QFETCH(int, stage);
        QFETCH(int, mode);
        QFETCH(QString, text);
        TStatus status;
        status.Stage = quint8(stage);
        status.Mode = quint8(mode);
        F->Feed(status.Frame());
        QCOMPARE(F->Orvel->StateText, text);
    }

    void faultTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << "-";
        QTest::newRow("overheating") << 1 << "[1]HE overheating";
        QTest::newRow("no text") << 3 << "[3]";
        QTest::newRow("blower") << 27 << "[27]Air pump\u2019 motor won\u2019t rotate";
        QTest::newRow("flamout") << 29 << "[29]Flamout count exceeded";
        QTest::newRow("last") << 78 << "[78]Flameout";
        QTest::newRow("beyond table") << 200 << "[200]";
    }
    void faultTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        TStatus status;
        status.Fault = quint8(code);
        F->Feed(status.Frame());
        QCOMPARE(F->Orvel->FaultText, text);
        QCOMPARE(F->Orvel->MakeFaultText(quint8(code)), text);
    }

    void valuesAreDecodedWithTheirLimits_data()
    {
        QTest::addColumn<int>("blower");
        QTest::addColumn<int>("external");
        QTest::addColumn<int>("flameKelvin");
        QTest::addColumn<double>("blowerValue");
        QTest::addColumn<double>("externalValue");
        QTest::addColumn<double>("flame");
        QTest::newRow("in range") << 200 << 126 << 300 << 200.0 << 126.0 << 27.0;
        QTest::newRow("blower above 200, no external sensor") << 201 << 127 << 0 << 0.0 << 0.0 << -273.0;
        QTest::newRow("sensor 128") << 0 << 128 << 65535 << 0.0 << 128.0 << 65262.0;
    }
    void valuesAreDecodedWithTheirLimits()
    {
        QFETCH(int, blower);
        QFETCH(int, external);
        QFETCH(int, flameKelvin);
        TStatus status;
        status.Stage = 3;
        status.Mode = 2;
        status.WorkTime = 0x123456;
        status.StageTime = 70000;
        status.ModeTime = 5;
        status.BlowerSet = quint8(blower);
        status.BlowerActual = quint8(blower);
        status.External = quint8(external);
        status.FlameKelvin = quint16(flameKelvin);
        status.FuelPump = 125;
        status.PlugPwm = 50;
        status.Liquid = 81;
        status.Plate = 35;
        status.VoltageTenths = 124;
        F->Feed(status.Frame());
        TOrvel *o = F->Orvel;
        QCOMPARE(o->Stage, quint8(3));
        QCOMPARE(o->Mode, quint8(2));
        QCOMPARE(o->WorkTime, 0x123456);
        QCOMPARE(o->StageTime, 70000);
        QCOMPARE(o->ModeTime, 5);
        QTEST(o->BlowerSet, "blowerValue");
        QTEST(o->BlowerActual, "blowerValue");
        QTEST(o->TempExternal, "externalValue");
        QTEST(o->FlameIndicator, "flame");
        QCOMPARE(o->FuelPumpFrequency, 1.25);
        QCOMPARE(o->PlugPwm, 10000.0);
        QCOMPARE(o->TempLiquid, 81.0);
        QCOMPARE(o->TempPlate, 35.0);
        QCOMPARE(o->Voltage, 12.4);
        QVERIFY(o->StatusActive);
        QVERIFY(o->TransmitTimer->Enabled());
    }

    void plugVoltage_data()
    {
        QTest::addColumn<int>("pwm");
        QTest::addColumn<int>("voltageTenths");
        QTest::addColumn<double>("volts");
        QTest::addColumn<QString>("shown");
        QTest::newRow("12.4 V, byte 50") << 50 << 124 << 8.25680 << "8.26 V";
        QTest::newRow("12.4 V, byte 0: negative") << 0 << 124 << -0.285422 << "0 V";
        QTest::newRow("19.0 V divides by 180") << 100 << 190 << 19.755278 << "19.76 V";
        QTest::newRow("18.9 V divides by 90") << 100 << 189 << 39.29155 << "39.29 V";
    }
    void plugVoltage()
    {
        QFETCH(int, pwm);
        QFETCH(int, voltageTenths);
        QFETCH(double, volts);
        QFETCH(QString, shown);
        TStatus status;
        status.PlugPwm = quint8(pwm);
        status.VoltageTenths = quint16(voltageTenths);
        F->Feed(status.Frame());
        QVERIFY2(qAbs(F->Orvel->PlugVoltage() - volts) < 1e-4, qPrintable(QString::number(F->Orvel->PlugVoltage())));
        F->Orvel->TransmitTimerEvent(nullptr);
        QCOMPARE(Cell(5), shown);
    }

    void gridShowsTheValues()
    {
        TStatus status;
        status.Stage = 3;
        status.Mode = 0;
        status.WorkTime = 3600;
        status.BlowerSet = 40;
        status.BlowerActual = 39;
        status.FuelPump = 125;
        status.FlameKelvin = 483;
        status.Liquid = 81;
        status.Plate = 35;
        status.VoltageTenths = 126;
        status.Fault = 8;
        F->Feed(status.Frame());
        F->H.Clock.AdvanceBy(1000); // the presentation tick
        QStringList values;
        for (int row = 0; row < 11; ++row)
            values << Cell(row);
        QCOMPARE(values, QStringList({"Low", "3600 с", "40", "39", "1.25 Hz", "0 V", "210 °C", "81 °C", "35 °C",
                                      "12.6 V", "[8]Flame failure"}));
    }

    void numbersFollowTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TStatus status;
        status.FuelPump = 125;
        status.VoltageTenths = 126;
        status.WorkTime = 12345;
        F->Feed(status.Frame());
        F->Orvel->TransmitTimerEvent(nullptr);
        QCOMPARE(Cell(1), QStringLiteral("12345 с"));
        QCOMPARE(Cell(4), QStringLiteral("1,25 Hz"));
        QCOMPARE(Cell(9), QStringLiteral("12,6 V"));
    }

    void csvRowOfTheWorkedExample_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("row");
        QTest::newRow("point") << QLocale::c() << "3;0;3600;100;50;40;39;1.25;-0.3;0.00;210;0;35;12.60;0;";
        QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany)
                               << "3;0;3600;100;50;40;39;1,25;-0,3;0,00;210;0;35;12,60;0;";
    }
    void csvRowOfTheWorkedExample()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        TStatus status;
        status.Stage = 3;
        status.Mode = 0;
        status.WorkTime = 3600;
        status.StageTime = 100;
        status.ModeTime = 50;
        status.BlowerSet = 40;
        status.BlowerActual = 39;
        status.FuelPump = 125;
        status.PlugPwm = 0;
        status.FlameKelvin = 483;
        status.External = 127;
        status.Plate = 35;
        status.VoltageTenths = 126;
        F->Feed(status.Frame());
        QTEST(F->Orvel->RunLogRow(), "row");
        TStatus pwm = status;
        pwm.PlugPwm = 50;
        F->Feed(pwm.Frame());
        QVERIFY(F->Orvel->RunLogRow().contains(QLocale().toString(10.0, 'f', 2))); // PlugPwm / 1000
    }

    void shortStatusReadsZerosPastItsPayload()
    {
        TStatus full;
        full.Stage = 3;
        full.Mode = 2;
        full.VoltageTenths = 126;
        full.Fault = 27;
        F->Feed(full.Frame());
        QCOMPARE(F->Orvel->Voltage, 12.6);
        F->TakeWritten();
        // Seven payload bytes: stage, mode and the work time; every later field is 0, and the CRC
        // bytes are never taken for values.
        F->Feed(Frame(1, QByteArray::fromHex("0301000e10ffff")));
        TOrvel *o = F->Orvel;
        QCOMPARE(o->Stage, quint8(3));
        QCOMPARE(o->Mode, quint8(1));
        QCOMPARE(o->WorkTime, 3600);
        QCOMPARE(o->StageTime, 0xFFFF * 256);
        QCOMPARE(o->ModeTime, 0);
        QCOMPARE(o->Voltage, 0.0);
        QCOMPARE(o->FlameIndicator, -273.0);
        QCOMPARE(o->FaultCode, quint8(0));
        QCOMPARE(o->FaultText, QStringLiteral("-"));
        QVERIFY(F->TakeWritten().isEmpty());
    }

    void blowerFaultStopsOnEveryAnswer_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("pairs");
        QTest::newRow("27") << 27 << 2;
        QTest::newRow("28") << 28 << 2;
        QTest::newRow("29 is no blower fault") << 29 << 0;
    }
    void blowerFaultStopsOnEveryAnswer()
    {
        QFETCH(int, fault);
        QFETCH(int, pairs);
        F->TakeWritten();
        TStatus status;
        status.Stage = 3;
        status.Fault = quint8(fault);
        F->Feed(status.Frame());
        F->Feed(status.Frame());
        const QByteArray pair = QByteArray::fromHex("aa030000035d7c") + Frame(8, QByteArray(1, '\0'));
        QCOMPARE(F->TakeWritten().toHex(' '), pair.repeated(pairs).toHex(' '));
    }

    void startAcknowledgementBeginsARun()
    {
        TStatus idle;
        F->Feed(idle.Frame());
        F->Orvel->Start();
        F->Feed(Frame(1, QByteArray(6, '\0')));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Start OK")));
        QVERIFY(F->Orvel->Running);
        QCOMPARE(F->Orvel->RunLog(), QStringList{RunLogHeaders::English});
        QCOMPARE(F->Orvel->Tick, 1);
    }

    void acknowledgementWithoutRequestOnlyLogs()
    {
        TStatus burning;
        burning.Stage = 3;
        F->Feed(burning.Frame());
        F->Orvel->StartRequested = true;
        F->Feed(Frame(1, QByteArray(2, '\0'))); // stage 3: no new run
        QVERIFY(!F->Orvel->Running);
        F->Orvel->StartRequested = false;
        F->Feed(TStatus().Frame());
        F->Feed(Frame(1));
        QVERIFY(!F->Orvel->Running);
        QCOMPARE(F->H.LogLines().count(QStringLiteral("Start OK")), 2);
    }

    void runTicksDrawBarsPointsAndRows()
    {
        TStatus status;
        F->Feed(status.Frame());
        F->Orvel->Start();
        F->Feed(Frame(1));
        status.Stage = 2;
        status.Mode = 1;
        F->Stream(status.Frame(), 3); // stage changes at tick 1: its bar starts at tick 0
        QCOMPARE(F->Orvel->RunLog().size(), 4);
        QCOMPARE(F->Orvel->Tick, 4);
        QCOMPARE(F->Orvel->StageStartTick, 0);
        status.Stage = 3;
        F->Feed(status.Frame());
        QCOMPARE(F->Orvel->StageStartTick, 3);
    }
};

QTEST_MAIN(TestCurrentTelemetry)
#include "tst_current_telemetry.moc"
