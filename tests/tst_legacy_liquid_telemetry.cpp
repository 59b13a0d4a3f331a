// The Hydrel-7 status cycle: decoding the worked values, the stage, band and fault tables, the grid,
// the chart points and bars, the run-log row, and when a recorded run begins, ends and is saved.
#include "support/Hydrel7Peer.h"
#include "legacy_liquid/Hydrel7Tables.h"
#include "product/Presentation.h"
#include "views/BandSeries.h"
#include "views/StringGrid.h"
#include "views/LineSeries.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QLocale>
#include <QtTest>
#include <qcustomplot.h>

using namespace Hydrel7Test;

Q_DECLARE_METATYPE(std::optional<QColor>)

class TestLegacyLiquidTelemetry : public QObject {
    Q_OBJECT
    std::unique_ptr<THydrel7Fixture> F;

    QString Cell(int row) const { return frmViewData->strngrd->Cells(1, row); }
    static QList<double> Points(TSeries series)
    {
        QList<double> values;
        const TLinePoints &points = frmGraph->Graph(series)->Points();
        for (int i = 0; i < points.Count(); ++i)
            values << points.ValueAt(i);
        return values;
    }
    static QStringList SavedRunLogs()
    {
        QStringList ours;
        for (const QString &name : QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files))
            if (name.startsWith(QStringLiteral("[unidentified] ")))
                ours << name;
        return ours;
    }
    // Starts a run: the start request, its confirmation at stage 0.
    void StartRun()
    {
        F->Cycle(0);
        F->Hydrel->Start();
        F->Feed(Reply(1));
        QVERIFY(F->Hydrel->Running);
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        F = std::make_unique<THydrel7Fixture>();
        QVERIFY(F->Hydrel);
        F->SkipSearch();
    }
    void cleanup() { F.reset(); }

    void workedValues()
    {
        F->Feed(Status(104, 251, 20, 1, 44) + Status(2, 47, 60, 58, 19) + Status(3, 1, 125, 13, 24)
                + Status(5, 0, 0, 0xF6, 0) + Status(1, 1, 44, 0, 0));
        THydrelOld *h = F->Hydrel;
        QCOMPARE(h->FlameIndicator, 27.0);
        QCOMPARE(h->TempLiquid1, -5.0);
        QCOMPARE(h->TempLiquid2, 20.0);
        QCOMPARE(h->FuelPumpFrequency, 4.7);
        QCOMPARE(h->Pump, quint8(1));
        QCOMPARE(h->PlugPwm, 12.5);
        QCOMPARE(h->TempPlate, -10.0);
        QCOMPARE(h->WorkTime, 300);
        F->Feed(Status(107));
        F->H.Clock.AdvanceBy(1000);
        QCOMPARE(Cell(0), QStringLiteral("Burning"));
        QCOMPARE(Cell(1), QStringLiteral("300 s"));
        QCOMPARE(Cell(4), QStringLiteral("4.70 Hz"));
        QCOMPARE(Cell(5), QStringLiteral("12.50 V"));
        QCOMPARE(Cell(6), QStringLiteral("27 °C"));
        QCOMPARE(Cell(7), QStringLiteral("-5 °C"));
        QCOMPARE(Cell(8), QStringLiteral("20 °C"));
        QCOMPARE(Cell(9), QStringLiteral("1"));
        QCOMPARE(Cell(11), QStringLiteral("-10 °C"));
        QCOMPARE(Cell(12), QStringLiteral("13 V"));
        // A heater found burning is presented: the FP frequency is drawn ten times over.
        QCOMPARE(Points(TSeries::TNperiodX10), QList<double>{47});
        QCOMPARE(Points(TSeries::Toverheat), QList<double>{20});
    }

    void stages_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<QColor>>("band");
        QTest::newRow("0") << 0 << "Pause" << std::optional<QColor>(StageColor::Pause);
        QTest::newRow("1") << 1 << "Test" << std::optional<QColor>(StageColor::Preparing);
        QTest::newRow("2") << 2 << "Cooling" << std::optional<QColor>(StageColor::Preparing);
        QTest::newRow("3") << 3 << "Ignition" << std::optional<QColor>(StageColor::Ignition);
        QTest::newRow("20") << 20 << "Ignition" << std::optional<QColor>(StageColor::Ignition);
        QTest::newRow("21") << 21 << "Warming up" << std::optional<QColor>(StageColor::Burning);
        QTest::newRow("23") << 23 << "Low" << std::optional<QColor>(StageColor::Burning);
        QTest::newRow("25") << 25 << "Prepurging" << std::optional<QColor>(StageColor::SwitchingOff);
        QTest::newRow("26") << 26 << "Purging" << std::optional<QColor>(StageColor::SwitchingOff);
        QTest::newRow("27") << 27 << "Waiting" << std::optional<QColor>(StageColor::Burning);
        QTest::newRow("28") << 28 << "Pump" << std::optional<QColor>(StageColor::Burning);
        QTest::newRow("29") << 29 << "Unknown" << std::optional<QColor>();
        QTest::newRow("255") << 255 << "Unknown" << std::optional<QColor>();
    }
    void stages()
    {
        QFETCH(int, stage);
        QFETCH(QString, text);
        QFETCH(std::optional<QColor>, band);
        QCOMPARE(Hydrel7::StageText(quint8(stage)), text);
        QCOMPARE(Hydrel7::StageBand(quint8(stage)), band);
    }

    void faultTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << "-";
        QTest::newRow("1") << 1 << "HE overheating";
        QTest::newRow("17") << 17 << "Fuel pump failure";
        QTest::newRow("18 unnamed") << 18 << "18";
        QTest::newRow("27 with apostrophes") << 27 << "Air pump’ motor won’t rotate";
        QTest::newRow("61") << 61 << "Relay failure";
        QTest::newRow("78") << 78 << "Flameout";
        QTest::newRow("80 unnamed") << 80 << "80";
        QTest::newRow("81 past the table") << 81 << "81";
        QTest::newRow("255") << 255 << "255";
    }
    void faultTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(Hydrel7::FaultText(quint8(code)), text);
    }

    void faultsAreTakenOnlyPastStageTwo()
    {
        F->Feed(Status(3, 0, 0, 12, 5) + Status(1, 0, 0, 0, 9));
        QCOMPARE(F->Hydrel->FaultText, QStringLiteral("Plug failure"));
        // Back at stage 2 a reported fault is not taken, and the last text stays.
        F->Feed(Status(3, 0, 0, 12, 2) + Status(1, 0, 0, 0, 14));
        QCOMPARE(F->Hydrel->FaultCode, quint8(9));
        QCOMPARE(F->Hydrel->FaultText, QStringLiteral("Plug failure"));
        // A code of 0 leaves the text standing too.
        F->Feed(Status(3, 0, 0, 12, 24) + Status(1, 0, 0, 0, 0));
        QCOMPARE(F->Hydrel->FaultCode, quint8(0));
        QCOMPARE(F->Hydrel->FaultText, QStringLiteral("Plug failure"));
        F->Feed(Status(101, 0, 0, 0, 200));
        QCOMPARE(F->Hydrel->FaultText, QStringLiteral("200"));
    }

    void runLogRow()
    {
        THydrelOld *h = F->Hydrel;
        h->Stage = 24;
        h->WorkTime = 300;
        h->BlowerSet = 60;
        h->BlowerActual = 58;
        h->FuelPumpFrequency = 2.5;
        h->PlugPwm = 0;
        h->FlameIndicator = 410;
        h->TempLiquid1 = 45;
        h->TempLiquid2 = 50;
        h->TempPlate = 80;
        h->Voltage = 12;
        h->Relay = 1;
        h->Pump = 1;
        h->FaultCode = 0;
        QCOMPARE(h->RunLogRow(), QStringLiteral("24;300;60;58;2.50;0.0;410.00;45;50;80;12.00;1;1;0;"));
        QLocale::setDefault(QLocale(QLocale::Russian));
        QCOMPARE(h->RunLogRow(), QStringLiteral("24;300;60;58;2,50;0,0;410,00;45;50;80;12,00;1;1;0;"));
    }

    void recordedRunEndsAtRestAndIsSaved()
    {
        StartRun();
        QCOMPARE(F->Hydrel->RunLog(), QStringList{THydrelOld::RunLogHeader()});
        F->Cycle(3);
        F->H.Clock.AdvanceBy(1000);
        QCOMPARE(F->Hydrel->StageStartTick, 0);
        F->Cycle(24);
        F->H.Clock.AdvanceBy(1000);
        QCOMPARE(F->Hydrel->StageStartTick, 1);
        // Back at rest within the first four ticks: still running, rows and points go on.
        F->Cycles(0, 2);
        F->Cycle(0);
        QVERIFY(F->Hydrel->Running);
        QCOMPARE(F->Hydrel->ModeTime, 4);
        QCOMPARE(F->Hydrel->RunLog().size(), 5);
        QVERIFY(SavedRunLogs().isEmpty());
        F->H.Clock.AdvanceBy(1000);
        F->Cycle(0);
        QVERIFY(!F->Hydrel->Running);
        QVERIFY(F->Hydrel->LogSaved);
        QCOMPARE(SavedRunLogs().size(), 1);
        QVERIFY(frmGraph->SavePath().startsWith(QStringLiteral("Log saved to ")));
        // Bars: stage 3 in orange from tick 0, then the green burning bar from tick 1.
        const auto &bars = frmGraph->Band(TBand::Upper)->Bars();
        QVERIFY(bars.size() >= 2);
        QCOMPARE(bars[0].Color, StageColor::Ignition);
        QCOMPARE(bars[1].Color, StageColor::Burning);
        QCOMPARE(bars[1].Start, 1.0 / 86400);
    }

    void aRunTheHeaterStartsItselfIsRecordedAsARunOfItsOwn()
    {
        StartRun();
        F->Cycles(24, 5);
        F->Cycle(0);
        QCOMPARE(SavedRunLogs().size(), 1);
        // The heater starts on its own: presented and recorded from its first status on, under the
        // header, and saved at rest as a file of its own.
        F->Cycle(24);
        QVERIFY(F->Hydrel->Running);
        F->Cycles(24, 6);
        const QStringList run = F->Hydrel->RunLog();
        QCOMPARE(run.size(), 7);
        QCOMPARE(run.first(), THydrelOld::RunLogHeader());
        F->Cycle(0);
        QVERIFY(!F->Hydrel->Running);
        QVERIFY(F->Hydrel->RunLog().isEmpty());
        QCOMPARE(SavedRunLogs().size(), 2);
    }

    void unknownStageDrawsPointsWithoutABar()
    {
        StartRun();
        F->Cycle(29);
        F->H.Clock.AdvanceBy(1000);
        QVERIFY(frmGraph->Band(TBand::Lower)->Bars().isEmpty());
        QCOMPARE(Points(TSeries::Tout).size(), 1);
        QCOMPARE(Cell(0), QStringLiteral("Unknown"));
    }

    void aRunBeingRecordedIsSavedWhenTheLineIsLost()
    {
        StartRun();
        F->Cycle(24);
        F->H.Clock.AdvanceBy(2000);
        QVERIFY(SavedRunLogs().isEmpty());
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->H.LogContains(QStringLiteral("Connection lost.")); }, 20000));
        QCOMPARE(SavedRunLogs().size(), 1);
    }

    void aRunBeingRecordedIsSavedWhenTheModelChanges()
    {
        StartRun();
        F->Cycle(24);
        F->H.Clock.AdvanceBy(2000);
        F->H.Choose(QStringLiteral("Hydrel-7S"));
        QCOMPARE(SavedRunLogs().size(), 1);
    }
};

QTEST_MAIN(TestLegacyLiquidTelemetry)
#include "tst_legacy_liquid_telemetry.moc"
