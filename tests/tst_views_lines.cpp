// The chart's wide lines are drawn without stroking: the pixels must still form the band a wide pen
// draws, for flat, steep, diagonal and dense lines alike. Each case renders the same data with the
// chart's line series and with QCustomPlot's own graph and compares the red pixels.
#include "views/LineSeries.h"
#include <QtTest>
#include <qcustomplot.h>

namespace {
const QColor lineColour(255, 0, 0);

struct TPicture {
    QImage Image;

    bool Red(int x, int y) const { return Image.pixelColor(x, y) == lineColour; }
    int Count() const
    {
        int n = 0;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x)
                n += Red(x, y);
        return n;
    }
    // Red pixels in column x (or row y).
    int InColumn(int x) const
    {
        int n = 0;
        for (int y = 0; y < Image.height(); ++y)
            n += Red(x, y);
        return n;
    }
    // The topmost and bottommost red pixel of column x, or -1 when it has none.
    std::pair<int, int> Extent(int x) const
    {
        int top = -1, bottom = -1;
        for (int y = 0; y < Image.height(); ++y)
            if (Red(x, y)) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        return {top, bottom};
    }
    int InRow(int y) const
    {
        int n = 0;
        for (int x = 0; x < Image.width(); ++x)
            n += Red(x, y);
        return n;
    }
};

// Renders the data; with earlier data given, the series is drawn with that first and then given the
// data, as a chart cleared and refilled is.
TPicture Render(const QVector<double> &keys, const QVector<double> &values, int width, bool ownSeries,
                const QVector<double> &earlierKeys = {}, const QVector<double> &earlierValues = {})
{
    QCustomPlot plot;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.xAxis->setRange(0, 100);
    plot.yAxis->setRange(0, 100);
    TLineSeries *own = ownSeries ? new TLineSeries(plot.xAxis, plot.yAxis) : nullptr;
    QCPGraph *stock = ownSeries ? nullptr : plot.addGraph();
    QCPAbstractPlottable *series = own ? static_cast<QCPAbstractPlottable *>(own) : stock;
    series->setPen(QPen(lineColour, width));
    series->setAntialiased(false);
    if (stock)
        stock->setAdaptiveSampling(true);
    const auto fill = [&](const QVector<double> &k, const QVector<double> &v) {
        if (stock) {
            stock->setData(k, v, true);
            return;
        }
        own->Clear();
        for (int i = 0; i < k.size(); ++i)
            own->AddPoint(k[i], v[i]);
    };
    plot.resize(300, 300);
    if (!earlierValues.isEmpty()) {
        fill(earlierKeys, earlierValues);
        plot.toPixmap(300, 300);
    }
    fill(keys, values);
    return {plot.toPixmap(300, 300).toImage()};
}

// A long run across the plot's width: a slow wave with fast ripple, and optionally single-point spikes
// that a summary of the points must not lose.
void DenseRun(int count, bool spikes, QVector<double> &keys, QVector<double> &values)
{
    for (int i = 0; i < count; ++i) {
        keys << i * 100.0 / count;
        double value = 50 + 30 * std::sin(i * 172.8 / count) + (i % 7);
        if (spikes && i % 7919 == 3000)
            value += 40;
        values << value;
    }
}

// Column by column the band of a reaches as high and as low as the band of b does within a pixel
// column either side, give or take the pen's caps.
bool Within(const TPicture &a, const TPicture &b, int x)
{
    const auto [top, bottom] = a.Extent(x);
    int nearTop = INT_MAX, nearBottom = -1;
    for (int dx = -1; dx <= 1; ++dx) {
        const auto [t, bt] = b.Extent(x + dx);
        if (t >= 0) {
            nearTop = qMin(nearTop, t);
            nearBottom = qMax(nearBottom, bt);
        }
    }
    return top < 0 || (nearBottom >= 0 && top >= nearTop - 3 && bottom <= nearBottom + 3);
}

// The plot area's pixel of a data point.
QPoint At(double key, double value)
{
    QCustomPlot plot;
    plot.xAxis->setRange(0, 100);
    plot.yAxis->setRange(0, 100);
    plot.resize(300, 300);
    plot.toPixmap(300, 300);
    return QPoint(int(plot.xAxis->coordToPixel(key)), int(plot.yAxis->coordToPixel(value)));
}
} // namespace

class TestViewsLines : public QObject {
    Q_OBJECT

private slots:
    // Across the middle of a flat line, or along the middle row of a steep one, the band is as many
    // pixels as the pen is wide.
    void straightLineIsAsThickAsThePen_data()
    {
        QTest::addColumn<bool>("steep");
        QTest::addColumn<int>("width");
        QTest::newRow("flat, 2") << false << 2;
        QTest::newRow("flat, 3") << false << 3;
        QTest::newRow("steep, 2") << true << 2;
        QTest::newRow("steep, 3") << true << 3;
    }
    void straightLineIsAsThickAsThePen()
    {
        QFETCH(bool, steep);
        QFETCH(int, width);
        const QPoint middle = At(50, 50);
        if (steep)
            QCOMPARE(Render({50, 50}, {10, 90}, width, true).InRow(middle.y()), width);
        else
            QCOMPARE(Render({10, 90}, {50, 50}, width, true).InColumn(middle.x()), width);
    }

    // A diagonal has no gap in any row it crosses and about as many pixels as the stroked pen.
    void diagonalIsClosedAndLikeTheStrokedPen()
    {
        const TPicture own = Render({10, 90}, {10, 90}, 3, true);
        const TPicture stroked = Render({10, 90}, {10, 90}, 3, false);
        const QPoint from = At(10, 10);
        const QPoint to = At(90, 90);
        for (int y = to.y(); y <= from.y(); ++y)
            QVERIFY2(own.InRow(y) >= 2, qPrintable(QStringLiteral("row %1").arg(y)));
        QVERIFY(qAbs(own.Count() - stroked.Count()) <= stroked.Count() / 5);
    }

    // A long run in one chart, many points per pixel column: the dense band covers the same pixels as
    // the stroked pen, no spike, gap or lost span.
    void denseRunCoversTheSameBand_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("spikes");
        QTest::addColumn<int>("width");
        QTest::newRow("a day, 3 pixels") << 86400 << false << 3;
        QTest::newRow("a day, 2 pixels") << 86400 << false << 2;
        QTest::newRow("a day with single-point spikes") << 86400 << true << 3;
        QTest::newRow("a week with single-point spikes") << 604800 << true << 3;
        QTest::newRow("a block's worth over a few columns") << 700 << true << 3;
    }
    void denseRunCoversTheSameBand()
    {
        QFETCH(int, count);
        QFETCH(bool, spikes);
        QFETCH(int, width);
        QVector<double> keys, values;
        DenseRun(count, spikes, keys, values);
        const TPicture own = Render(keys, values, width, true);
        const TPicture stroked = Render(keys, values, width, false);
        int columnsWithLine = 0;
        for (int x = 1; x < own.Image.width() - 1; ++x) {
            QVERIFY2(Within(own, stroked, x), qPrintable(QStringLiteral("column %1 reaches beyond the pen").arg(x)));
            QVERIFY2(Within(stroked, own, x), qPrintable(QStringLiteral("column %1 misses part of the pen").arg(x)));
            columnsWithLine += own.Extent(x).first >= 0;
        }
        QVERIFY(columnsWithLine >= At(100, 0).x() - At(0, 0).x() - 2);
        QVERIFY(qAbs(own.Count() - stroked.Count()) <= stroked.Count() * 3 / 10);
    }

    // Data cleared and given anew, shorter or longer and with other values, is drawn as if it had
    // been the only data: nothing of the earlier points' picture is kept.
    void refilledSeriesDrawsOnlyItsNewData_data()
    {
        QTest::addColumn<int>("earlierCount");
        QTest::newRow("earlier run longer") << 200000;
        QTest::newRow("earlier run shorter") << 20000;
        QTest::newRow("earlier run as long") << 86400;
    }
    void refilledSeriesDrawsOnlyItsNewData()
    {
        QFETCH(int, earlierCount);
        QVector<double> keys, values;
        DenseRun(86400, false, keys, values);
        QVector<double> earlierKeys, earlierValues;
        DenseRun(earlierCount, true, earlierKeys, earlierValues);
        for (double &value : earlierValues)
            value = 100 - value;
        const TPicture fresh = Render(keys, values, 3, true);
        const TPicture refilled = Render(keys, values, 3, true, earlierKeys, earlierValues);
        QCOMPARE(refilled.Image, fresh.Image);
    }

    void thinLinesAreLeftToTheChart()
    {
        const TPicture own = Render({10, 90}, {20, 70}, 1, true);
        const TPicture plain = Render({10, 90}, {20, 70}, 1, false);
        QCOMPARE(own.Image, plain.Image);
    }
};

QTEST_MAIN(TestViewsLines)
#include "tst_views_lines.moc"
