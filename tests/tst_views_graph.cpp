// The graphs window: drawing order and legend clicks, the hover read-out, the time axis, the stage
// band, zoom and its cancelling, and placement beside the control panel.
#include "app/Globals.h"
#include "app/fMain.h"
#include "support/Harness.h"
#include "product/NumberText.h"
#include "views/BandSeries.h"
#include "views/Chart.h"
#include "views/LegendSquare.h"
#include "views/LineSeries.h"
#include "views/TimeTicker.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(TSeries)

namespace {
// x of a tick count, as the handlers compute it.
double X(int tick)
{
    return tick / 86400.0;
}

TLegendSquare *Square(const QString &name)
{
    TfrmGraph &g = *frmGraph;
    const std::pair<const char *, TLegendSquare *> squares[] = {
        {"shp6", g.shp6}, {"shp7", g.shp7}, {"shp8", g.shp8}, {"shp1", g.shp1}, {"shp2", g.shp2},
        {"shp16", g.shp16}, {"shp3", g.shp3}, {"shp4", g.shp4}, {"shp5", g.shp5},
    };
    for (const auto &[squareName, square] : squares)
        if (name == QLatin1String(squareName))
            return square;
    qFatal("unknown square");
}

void SendMouse(QWidget *target, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void MoveMouse(TChart *chart, QPointF pos)
{
    SendMouse(chart, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

const QStringList UpperOrder{"lnsrsDP", "gntsrs3", "lnsrsTout", "lnsrsToverheat", "lnsrsTplate"};
const QStringList LowerOrder{"lnsrsU", "gntsrs2", "lnsrsTNperiodX10", "lnsrsVust", "lnsrsVcalc", "lnsrsUplug"};
} // namespace

class TestViewsGraph : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<THarness> Harness;

    // Ten points of one series at ticks 0..9, all at value, laid out; returns the chart.
    TChart *PlotFlat(TSeries series, double value)
    {
        for (int tick = 0; tick < 10; ++tick)
            frmGraph->AddPoint(series, X(tick), value);
        TChart *chart = frmGraph->ChartOf(series);
        chart->replot();
        return chart;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init()
    {
        Harness = std::make_unique<THarness>();
        // The charts need a real size for pixel positions.
        frmGraph->resize(1200, 432);
        frmGraph->show();
        frmGraph->layout()->activate();
    }

    void cleanup()
    {
        Harness.reset();
    }

    void initialDrawingOrder()
    {
        QCOMPARE(frmGraph->chtHiTemp->DrawingOrderNames(), UpperOrder);
        QCOMPARE(frmGraph->chtLoTemp->DrawingOrderNames(), LowerOrder);
    }

    // Every caption a model can set is shown whole, inside its legend panel.
    void legendCaptionsAreShownWhole_data()
    {
        QTest::addColumn<QString>("liquid");
        QTest::newRow("as designed") << QString();
        QTest::newRow("air heaters") << QStringLiteral("T air(ext. sensor) (°C)");
        QTest::newRow("a longer one") << QStringLiteral("T liquid at the heat exchanger outlet (°C)");
    }
    void legendCaptionsAreShownWhole()
    {
        QFETCH(QString, liquid);
        if (!liquid.isEmpty())
            frmGraph->SetLiquidCaption(liquid);
        frmGraph->layout()->activate();
        for (QLabel *caption : {frmGraph->lbl6, frmGraph->lbl7, frmGraph->lbl8, frmGraph->lbl1, frmGraph->lbl2,
                                frmGraph->lbl17, frmGraph->lbl3, frmGraph->lbl4, frmGraph->lbl5}) {
            QVERIFY2(caption->width() >= caption->fontMetrics().horizontalAdvance(caption->text()),
                     qPrintable(caption->text()));
            QVERIFY2(caption->geometry().right() < caption->parentWidget()->width(), qPrintable(caption->text()));
        }
        QCOMPARE(frmGraph->pnlLegendT1->width(), frmGraph->pnlLegendT2->width());
    }

    void legendClickMovesSeriesLater_data()
    {
        QTest::addColumn<QString>("square");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("upper");
        QTest::addColumn<QStringList>("lower");
        QTest::newRow("last series stays") << "shp1" << 1 << UpperOrder << LowerOrder;
        QTest::newRow("last of the lower chart stays") << "shp16" << 3 << UpperOrder << LowerOrder;
        QTest::newRow("first one place") << "shp6" << 1
                                         << QStringList{"gntsrs3", "lnsrsDP", "lnsrsTout", "lnsrsToverheat", "lnsrsTplate"} << LowerOrder;
        QTest::newRow("twice two places") << "shp6" << 2
                                          << QStringList{"gntsrs3", "lnsrsTout", "lnsrsDP", "lnsrsToverheat", "lnsrsTplate"} << LowerOrder;
        QTest::newRow("to the end and no further") << "shp7" << 5
                                                   << QStringList{"lnsrsDP", "gntsrs3", "lnsrsToverheat", "lnsrsTplate", "lnsrsTout"} << LowerOrder;
        QTest::newRow("lower chart") << "shp5" << 1 << UpperOrder
                                     << QStringList{"lnsrsU", "gntsrs2", "lnsrsTNperiodX10", "lnsrsVust", "lnsrsUplug", "lnsrsVcalc"};
        QTest::newRow("voltage past the band") << "shp2" << 2 << UpperOrder
                                               << QStringList{"gntsrs2", "lnsrsTNperiodX10", "lnsrsU", "lnsrsVust", "lnsrsVcalc", "lnsrsUplug"};
    }

    void legendClickMovesSeriesLater()
    {
        QFETCH(QString, square);
        QFETCH(int, clicks);
        QFETCH(QStringList, upper);
        QFETCH(QStringList, lower);
        for (int i = 0; i < clicks; ++i)
            QTest::mousePress(Square(square), Qt::LeftButton);
        QCOMPARE(frmGraph->chtHiTemp->DrawingOrderNames(), upper);
        QCOMPARE(frmGraph->chtLoTemp->DrawingOrderNames(), lower);
    }

    void readoutText_data()
    {
        QTest::addColumn<TSeries>("series");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("FP frequency 55") << TSeries::TNperiodX10 << 55.0 << "5.5";
        QTest::newRow("FP frequency 123") << TSeries::TNperiodX10 << 123.0 << "12.3";
        QTest::newRow("FP frequency 12345 has no separator") << TSeries::TNperiodX10 << 12345.0 << "1234.5";
        QTest::newRow("voltage 12.5") << TSeries::U << 12.5 << "12.5";
        QTest::newRow("whole number") << TSeries::Vust << 7.0 << "7";
        QTest::newRow("three decimals, thousands") << TSeries::DP << 1234.5678 << "1,234.568";
        QTest::newRow("negative") << TSeries::Tout << -12.25 << "-12.25";
        QTest::newRow("upper chart series holding 55") << TSeries::Tplate << 55.0 << "55";
    }

    void readoutText()
    {
        QFETCH(TSeries, series);
        QFETCH(double, value);
        QFETCH(QString, text);
        TChart *chart = PlotFlat(series, value);
        TLineSeries *graph = frmGraph->Graph(series);
        const QPointF point = graph->coordsToPixels(X(5), value);
        MoveMouse(chart, point + QPointF(1, 1));
        QCOMPARE(chart->Readout().size(), 1);
        QCOMPARE(chart->Readout().first().Text, text);
        QCOMPARE(chart->Readout().first().Color, graph->pen().color());
        QCOMPARE(chart->ReadoutPosition(), (point + QPointF(1, 1)).toPoint());
    }

    void readoutUsesLocaleSeparators()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString grouped = ReadoutNumber(1234.5);
        const QString tenths = ShortestText(5.5);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(grouped, QStringLiteral("1.234,5"));
        QCOMPARE(tenths, QStringLiteral("5,5"));
    }

    void readoutAwayFromPointsIsEmpty()
    {
        TChart *chart = PlotFlat(TSeries::U, 12.5);
        const QPointF point = frmGraph->lnsrsU->coordsToPixels(X(5), 12.5);
        MoveMouse(chart, point);
        QCOMPARE(chart->Readout().size(), 1);
        MoveMouse(chart, point + QPointF(0, 30));
        QVERIFY(chart->Readout().isEmpty());
    }

    // Each series with a point under the mouse adds its text, in drawing order; the legend click
    // changes that order.
    void readoutFollowsDrawingOrder()
    {
        for (int tick = 0; tick < 10; ++tick) {
            frmGraph->AddPoint(TSeries::Tout, X(tick), 40);
            frmGraph->AddPoint(TSeries::DP, X(tick), 40);
        }
        TChart *chart = frmGraph->chtHiTemp;
        chart->replot();
        const QPointF point = frmGraph->lnsrsDP->coordsToPixels(X(3), 40);
        MoveMouse(chart, point);
        QCOMPARE(chart->Readout().size(), 2);
        QCOMPARE(chart->Readout().at(0).Color, QColor(0xFF0000));
        QCOMPARE(chart->Readout().at(1).Color, QColor(0x800080));
        QTest::mousePress(frmGraph->shp6, Qt::LeftButton);
        QTest::mousePress(frmGraph->shp6, Qt::LeftButton);
        chart->replot();
        MoveMouse(chart, point);
        QCOMPARE(chart->Readout().at(0).Color, QColor(0x800080));
        QCOMPARE(chart->Readout().at(1).Color, QColor(0xFF0000));
    }

    // Between points far apart the read-out takes the point nearest in time, wherever the mouse is
    // on the line joining them, and tells that point's time.
    void readoutSnapsToNearestPointInTime_data()
    {
        QTest::addColumn<double>("between");
        QTest::addColumn<int>("tick");
        QTest::newRow("on a point") << 0.0 << 3;
        QTest::newRow("a third of the way on") << 0.3 << 3;
        QTest::newRow("two thirds of the way on") << 0.7 << 4;
        QTest::newRow("just before the next") << 0.95 << 4;
    }
    void readoutSnapsToNearestPointInTime()
    {
        QFETCH(double, between);
        QFETCH(int, tick);
        for (int t = 0; t < 10; ++t)
            frmGraph->AddPoint(TSeries::Tplate, X(t), 10 * t);
        TChart *chart = frmGraph->chtHiTemp;
        chart->replot();
        const QPointF pos = frmGraph->lnsrsTplate->coordsToPixels((3 + between) / 86400, 10 * (3 + between));
        QVERIFY(frmGraph->lnsrsTplate->coordsToPixels(X(4), 40).x() - pos.x() > 10 || between > 0.9);
        MoveMouse(chart, pos);
        QCOMPARE(chart->Readout().size(), 1);
        QCOMPARE(chart->Readout().first().Text, QString::number(10 * tick));
        QCOMPARE(chart->ReadoutTime(), QStringLiteral("00:00:0%1").arg(tick));
    }

    // In a day's run each pixel column holds many points: over the line the read-out shows the point
    // at the mouse's time, a short way above or below the line nothing.
    void readoutInADenseRun_data()
    {
        QTest::addColumn<int>("tick");
        QTest::addColumn<double>("above");
        QTest::addColumn<bool>("shown");
        QTest::newRow("noon, on the line") << 43200 << 0.0 << true;
        QTest::newRow("late, on the line") << 80000 << 0.0 << true;
        QTest::newRow("noon, well above the line") << 43200 << 25.0 << false;
    }
    void readoutInADenseRun()
    {
        QFETCH(int, tick);
        QFETCH(double, above);
        QFETCH(bool, shown);
        const auto value = [](int t) { return 12 + 2 * std::sin(t / 3000.0) + (t % 3) * 0.01; };
        for (int t = 0; t < 86400; ++t)
            frmGraph->AddPoint(TSeries::U, X(t), value(t));
        TChart *chart = frmGraph->chtLoTemp;
        chart->replot();
        const QPointF point = frmGraph->lnsrsU->coordsToPixels(X(tick), value(tick));
        MoveMouse(chart, point - QPointF(0, above));
        QCOMPARE(chart->Readout().size(), shown ? 1 : 0);
        if (!shown)
            return;
        // The mouse's pixel spans a few seconds: the time read is the nearest point's to the pixel.
        const int index = chart->HitTest(frmGraph->lnsrsU, chart->ReadoutPosition());
        QVERIFY(index >= 0);
        const int shownTick = int(frmGraph->lnsrsU->Points().KeyAt(index) * 86400 + 0.5);
        QVERIFY2(qAbs(shownTick - tick) <= 86400 / chart->axisRect()->width(), qPrintable(QString::number(shownTick)));
        QCOMPARE(chart->ReadoutTime(), TTimeTicker::FullLabel(X(shownTick)));
        QCOMPARE(chart->Readout().first().Text, ReadoutNumber(value(shownTick)));
    }

    // Over the stage band the read-out names the stage, as the key above the charts does.
    void bandReadoutNamesTheStage_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("name");
        QTest::newRow("pause") << StageColor::Pause << "Pause";
        QTest::newRow("preparing") << StageColor::Preparing << "Preparing to launch";
        QTest::newRow("ignition") << StageColor::Ignition << "Ignition";
        QTest::newRow("burning") << StageColor::Burning << "Burning";
        QTest::newRow("switching off") << StageColor::SwitchingOff << "Switching off";
    }
    void bandReadoutNamesTheStage()
    {
        QFETCH(QColor, color);
        QFETCH(QString, name);
        for (int tick = 1; tick <= 20; ++tick) {
            frmGraph->AddBandBar(TBand::Lower, 0, X(tick), StageColor::Pause);
            frmGraph->AddPoint(TSeries::U, X(tick), 20);
        }
        for (int tick = 21; tick <= 40; ++tick) {
            frmGraph->AddBandBar(TBand::Lower, X(20), X(tick), color);
            frmGraph->AddPoint(TSeries::U, X(tick), 20);
        }
        TChart *chart = frmGraph->chtLoTemp;
        chart->replot();
        MoveMouse(chart, frmGraph->gntsrs2->coordsToPixels(X(30), 1));
        QCOMPARE(chart->Readout().size(), 1);
        QCOMPARE(chart->Readout().first().Text, name);
        MoveMouse(chart, frmGraph->gntsrs2->coordsToPixels(X(10), 1));
        QCOMPARE(chart->Readout().first().Text, QStringLiteral("Pause"));
    }

    // The read-out's own buffer is kept while the mouse is over the chart and dropped when it
    // leaves, with the read-out.
    void readoutBufferOnlyWhileMouseOver()
    {
        TChart *chart = PlotFlat(TSeries::U, 12.5);
        MoveMouse(chart, frmGraph->lnsrsU->coordsToPixels(X(5), 12.5));
        QVERIFY(chart->ReadoutBuffered());
        QCOMPARE(chart->Readout().size(), 1);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(chart, &leave);
        chart->replot();
        QVERIFY(!chart->ReadoutBuffered());
        QVERIFY(chart->Readout().isEmpty());
        MoveMouse(chart, frmGraph->lnsrsU->coordsToPixels(X(6), 12.5));
        QVERIFY(chart->ReadoutBuffered());
        QCOMPARE(chart->Readout().size(), 1);
    }

    // A redraw of the chart wipes the read-out, as the next presentation tick does.
    void redrawWipesReadout()
    {
        TChart *chart = PlotFlat(TSeries::U, 12.5);
        MoveMouse(chart, frmGraph->lnsrsU->coordsToPixels(X(5), 12.5));
        QCOMPARE(chart->Readout().size(), 1);
        frmGraph->AddPoint(TSeries::U, X(10), 12.5);
        chart->replot();
        QVERIFY(chart->Readout().isEmpty());
    }

    void timeLabel_data()
    {
        QTest::addColumn<int>("tick");
        QTest::addColumn<QString>("label");
        QTest::newRow("start") << 0 << "00:00";
        QTest::newRow("tick 75") << 75 << "01:15";
        QTest::newRow("last second of an hour") << 3599 << "59:59";
        QTest::newRow("minutes within the hour") << 3675 << "01:15";
        QTest::newRow("a day less a second") << 86399 << "59:59";
    }

    void timeLabel()
    {
        QFETCH(int, tick);
        QFETCH(QString, label);
        QCOMPARE(TTimeTicker::Label(tick / 86400.0), label);
    }

    void fullTimeLabel_data()
    {
        QTest::addColumn<int>("tick");
        QTest::addColumn<QString>("label");
        QTest::newRow("start") << 0 << "00:00:00";
        QTest::newRow("tick 75") << 75 << "00:01:15";
        QTest::newRow("past a day") << 90075 << "25:01:15";
        QTest::newRow("a week less a second") << 604799 << "167:59:59";
    }
    void fullTimeLabel()
    {
        QFETCH(int, tick);
        QFETCH(QString, label);
        QCOMPARE(TTimeTicker::FullLabel(tick / 86400.0), label);
    }

    // The bottom axes of both charts label their ticks with minutes and seconds.
    void timeAxisLabels()
    {
        for (int tick = 0; tick <= 75; ++tick) {
            frmGraph->AddPoint(TSeries::Tplate, X(tick), 20 + tick);
            frmGraph->AddPoint(TSeries::U, X(tick), 12);
        }
        frmGraph->ReplotNow();
        for (TChart *chart : {frmGraph->chtHiTemp, frmGraph->chtLoTemp}) {
            const QVector<QString> labels = chart->xAxis->tickVectorLabels();
            QVERIFY2(labels.contains(QStringLiteral("01:15")), qPrintable(QStringList(labels.begin(), labels.end()).join(" ")));
            QVERIFY(labels.contains(QStringLiteral("00:00")));
            for (const QString &label : labels)
                QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d$").match(label).hasMatch(), qPrintable(label));
        }
    }

    // One bar per tick from the stage's start: the band keeps one bar per stage and colour.
    void bandMergesRepeatedBars()
    {
        for (int tick = 1; tick <= 30; ++tick)
            frmGraph->AddBandBar(TBand::Upper, 0, X(tick), StageColor::Pause);
        for (int tick = 31; tick <= 60; ++tick)
            frmGraph->AddBandBar(TBand::Upper, X(30), X(tick), StageColor::Preparing);
        const QVector<TBandSeries::TBar> &bars = frmGraph->gntsrs3->Bars();
        QCOMPARE(bars.size(), 2);
        QCOMPARE(bars[0].Color, StageColor::Pause);
        QCOMPARE(bars[0].End, X(30));
        QCOMPARE(bars[1].Start, X(30));
        QCOMPARE(bars[1].End, X(60));
        QCOMPARE(bars[1].Y, 1.0);
        // Same start in another colour is a bar of its own, drawn over the earlier one.
        frmGraph->AddBandBar(TBand::Upper, X(30), X(61), StageColor::Ignition);
        QCOMPARE(bars.size(), 3);
        QCOMPARE(bars[2].Color, StageColor::Ignition);
        QVERIFY(frmGraph->gntsrs2->Bars().isEmpty());
    }

    void clearEmptiesEverySeries()
    {
        for (int i = 0; i <= int(TSeries::Uplug); ++i)
            frmGraph->AddPoint(TSeries(i), 0, 1);
        frmGraph->AddBandBar(TBand::Upper, 0, X(1), StageColor::Burning);
        frmGraph->AddBandBar(TBand::Lower, 0, X(1), StageColor::Burning);
        frmGraph->ClearCharts();
        for (int i = 0; i <= int(TSeries::Uplug); ++i)
            QCOMPARE(frmGraph->Graph(TSeries(i))->Points().Count(), 0);
        QVERIFY(frmGraph->gntsrs3->Bars().isEmpty());
        QVERIFY(frmGraph->gntsrs2->Bars().isEmpty());
    }

    void zoomAndCancel()
    {
        for (int tick = 0; tick <= 100; ++tick)
            frmGraph->AddPoint(TSeries::Tplate, X(tick), tick);
        TChart *chart = frmGraph->chtHiTemp;
        chart->replot();
        QCOMPARE(chart->xAxis->range().upper, X(100));

        const QRect plot = chart->axisRect()->rect();
        const QPointF from = plot.topLeft() + QPointF(plot.width() * 0.25, 5);
        const QPointF to = plot.topLeft() + QPointF(plot.width() * 0.5, plot.height() - 5);
        SendMouse(chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(chart, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        SendMouse(chart, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        SendMouse(chart, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QVERIFY(chart->Zoomed());
        const QCPRange zoomed = chart->xAxis->range();
        QVERIFY(zoomed.upper < X(60) && zoomed.lower > X(20));

        // New points leave a zoomed chart where the user put it.
        frmGraph->AddPoint(TSeries::Tplate, X(200), 5);
        chart->replot();
        QCOMPARE(chart->xAxis->range(), zoomed);

        frmGraph->btn1->click();
        chart->replot();
        QVERIFY(!chart->Zoomed());
        QCOMPARE(chart->xAxis->range().upper, X(200));
        QCOMPARE(chart->xAxis->range().lower, 0.0);
        QVERIFY(!frmGraph->chtLoTemp->Zoomed());
    }

    // The lower chart keeps 3 % of its height free above and below the data.
    void lowerChartValueMargin()
    {
        frmGraph->AddPoint(TSeries::U, 0, 10);
        frmGraph->AddPoint(TSeries::U, X(1), 104);
        frmGraph->ReplotNow();
        const QCPRange range = frmGraph->chtLoTemp->yAxis->range();
        QVERIFY(qAbs((10 - range.lower) / range.size() - 0.03) < 1e-9);
        QVERIFY(qAbs((range.upper - 104) / range.size() - 0.03) < 1e-9);
    }

    void placedBesideControlPanel()
    {
        frmMain->resize(1400, 900);
        frmMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmMain));
        QWidget *graphs = frmGraph->parentWidget();
        const QRect panel = frmControl->parentWidget()->geometry();
        auto expected = [&] {
            return QRect(panel.left() + panel.width() + 10, panel.top() + 50, frmMain->width() - panel.width() - 40,
                         graphs->height());
        };
        frmMain->PlaceGraphs();
        QCOMPARE(graphs->geometry(), expected());
        // Moved away by the user, it comes back when shown again.
        graphs->move(300, 300);
        graphs->hide();
        graphs->show();
        QCOMPARE(graphs->geometry(), expected());
        // The main window's width sets the width.
        frmMain->resize(1300, 900);
        QCOMPARE(graphs->geometry(), expected());
        QCOMPARE(graphs->width(), 1300 - panel.width() - 40);
    }
};

QTEST_MAIN(TestViewsGraph)
#include "tst_views_graph.moc"
