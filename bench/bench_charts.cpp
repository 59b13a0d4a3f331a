// The graphs window holding a long recorded run: a full redraw (against QCustomPlot's own graph
// drawing the same data), one hover read-out, the cost of one presentation tick's additions as the
// run grows, and the memory a tick costs.
#include "product/RunLog.h"
#include "views/Chart.h"
#include "views/LineSeries.h"
#include "views/fGraph.h"
#include <QApplication>
#include <QTime>
#include <benchmark/benchmark.h>
#include <cmath>
#include <malloc.h>
#include <memory>

namespace {
constexpr int Day = 86400;

// The run log's rows, kept as the handler keeps them beside the charts.
TRunLog RunLog;

double X(int tick)
{
    return tick / 86400.0;
}

// The stages of a run as the handlers colour the band: a pause, preparing, ignition, then burning.
QColor StageAt(int tick, int &stageStart)
{
    if (tick < 30) {
        stageStart = 0;
        return StageColor::Pause;
    }
    if (tick < 90) {
        stageStart = 30;
        return StageColor::Preparing;
    }
    if (tick < 210) {
        stageStart = 90;
        return StageColor::Ignition;
    }
    stageStart = 210;
    return StageColor::Burning;
}

// One presentation tick as a handler delivers it: a point per series, a bar per band, a log row.
void AddTick(TfrmGraph &graph, int tick)
{
    const double x = X(tick);
    const double wave = std::sin(tick / 300.0);
    graph.AddPoint(TSeries::DP, x, 180 + 40 * wave);
    graph.AddPoint(TSeries::Tout, x, 60 + 10 * wave);
    graph.AddPoint(TSeries::Toverheat, x, 70 + 12 * wave);
    graph.AddPoint(TSeries::Tplate, x, 90 + 20 * wave + (tick % 7));
    graph.AddPoint(TSeries::U, x, 12.4 + 0.3 * wave);
    graph.AddPoint(TSeries::TNperiodX10, x, 30 + (tick % 11));
    graph.AddPoint(TSeries::Vust, x, 45 + 5 * wave);
    graph.AddPoint(TSeries::Vcalc, x, 44 + 5 * wave + (tick % 3));
    graph.AddPoint(TSeries::Uplug, x, 8 + (tick % 5) * 0.1);
    int stageStart = 0;
    const QColor color = StageAt(tick, stageStart);
    graph.AddBandBar(TBand::Upper, X(stageStart), x, color);
    graph.AddBandBar(TBand::Lower, X(stageStart), x, color);
    // The row holds the same readings, as a handler writes them (decimal comma, a clock time).
    const auto number = [](double value, int decimals) { return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(',')); };
    RunLog.Append(QStringLiteral("%1;%2;%3;%4;%5;%6;%7;%8;%9;62,25;4;1;0;21,75;0;-")
                      .arg(QTime(12, 0).addSecs(tick).toString(QStringLiteral("hh:mm:ss")))
                      .arg(tick)
                      .arg(number(12.4 + 0.3 * wave, 1), number(180 + 40 * wave, 2), number(90 + 20 * wave + (tick % 7), 2))
                      .arg(int(45 + 5 * wave))
                      .arg(int(44 + 5 * wave + (tick % 3)))
                      .arg(number(3 + (tick % 11) * 0.1, 1), number(8 + (tick % 5) * 0.1, 1)));
}

std::unique_ptr<TfrmGraph> GraphWithRun(int ticks)
{
    RunLog.Begin(QStringLiteral("Time;Tick;U;T FI;T plate;SB;ASB;FP;Plug;T liq;Stage;Mode;Fault;T ext;Pump;State"));
    auto graph = std::make_unique<TfrmGraph>();
    graph->resize(1298, 432);
    graph->show();
    for (int tick = 0; tick < ticks; ++tick)
        AddTick(*graph, tick);
    graph->ReplotNow();
    QApplication::processEvents();
    return graph;
}

// Both charts redrawn with a run of range(0) hours.
void BM_ChartReplot(benchmark::State &state)
{
    auto graph = GraphWithRun(int(state.range(0)) * 3600);
    for (auto _ : state)
        graph->ReplotNow();
}
BENCHMARK(BM_ChartReplot)->Arg(1)->Arg(24)->Arg(168)->Unit(benchmark::kMillisecond);

// The same day of points in two plain QCustomPlot charts of the same sizes, with QCustomPlot's own
// graphs in the same pens and its fast polyline drawing.
void BM_StockChartReplot24h(benchmark::State &state)
{
    auto graph = GraphWithRun(Day);
    std::vector<std::unique_ptr<QCustomPlot>> plots;
    for (TChart *chart : {graph->chtHiTemp, graph->chtLoTemp}) {
        auto plot = std::make_unique<QCustomPlot>();
        plot->resize(chart->size());
        plot->setBackground(Qt::white);
        plot->setNotAntialiasedElements(QCP::aePlottables);
        plot->setPlottingHint(QCP::phFastPolylines);
        for (QCPAbstractPlottable *series : chart->DrawingOrder()) {
            auto *own = qobject_cast<TLineSeries *>(series);
            if (!own)
                continue;
            QCPGraph *stock = plot->addGraph();
            stock->setPen(own->pen());
            stock->setAntialiased(false);
            stock->setAdaptiveSampling(true);
            QVector<QCPGraphData> points;
            for (int i = 0; i < own->Points().Count(); ++i)
                points.append(QCPGraphData(own->Points().KeyAt(i), own->Points().ValueAt(i)));
            stock->data()->set(points, true);
        }
        plot->xAxis->setRange(chart->xAxis->range());
        plot->yAxis->setRange(chart->yAxis->range());
        plot->show();
        plot->replot(QCustomPlot::rpImmediateRefresh);
        plots.push_back(std::move(plot));
    }
    QApplication::processEvents();
    for (auto _ : state)
        for (const auto &plot : plots)
            plot->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_StockChartReplot24h)->Unit(benchmark::kMillisecond);

// Heap bytes in use, the large blocks the allocator maps on their own included.
size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap bytes a tick adds, over a day's run: the nine series' points, the two bands and the run-log row.
void BM_ChartMemoryPerTick(benchmark::State &state)
{
    double perTick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto graph = GraphWithRun(0);
        const size_t before = HeapInUse();
        state.ResumeTiming();
        for (int tick = 0; tick < Day; ++tick)
            AddTick(*graph, tick);
        state.PauseTiming();
        perTick = double(HeapInUse() - before) / Day;
        state.ResumeTiming();
    }
    state.counters["bytes_per_tick"] = perTick;
}
BENCHMARK(BM_ChartMemoryPerTick)->Iterations(1)->Unit(benchmark::kMillisecond);

// The mouse moves over the lower chart along its voltage line: hit tests of every series, the
// texts, and the read-out layer redrawn and shown.
void BM_ChartHover24h(benchmark::State &state)
{
    auto graph = GraphWithRun(Day);
    TChart *chart = graph->chtLoTemp;
    TLineSeries *voltage = graph->lnsrsU;
    std::vector<QPoint> positions;
    for (int tick = 1000; tick < Day; tick += 997)
        positions.push_back(voltage->coordsToPixels(X(tick), voltage->Points().ValueAt(tick)).toPoint());
    size_t next = 0;
    size_t hits = 0;
    for (auto _ : state) {
        chart->ShowReadout(positions[next]);
        chart->repaint();
        hits += chart->Readout().size();
        next = (next + 1) % positions.size();
    }
    state.counters["texts"] = benchmark::Counter(double(hits), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ChartHover24h)->Unit(benchmark::kMillisecond);

// The additions of one tick when the run already holds range(0) ticks. Every 1000 ticks the run is
// rebuilt to its starting length, outside the timing, so the size stays as named.
void BM_TickAppend(benchmark::State &state)
{
    const int start = int(state.range(0));
    auto graph = GraphWithRun(start);
    int tick = start;
    for (auto _ : state) {
        AddTick(*graph, tick++);
        if (tick - start == 1000) {
            state.PauseTiming();
            graph->ClearCharts();
            RunLog.Clear();
            for (int t = 0; t < start; ++t)
                AddTick(*graph, t);
            tick = start;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TickAppend)->Arg(100)->Arg(Day)->Unit(benchmark::kMicrosecond);
} // namespace
