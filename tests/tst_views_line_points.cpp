// The line series' point store answers the searches and spans the chart draws from: every answer is
// checked against a plain list of the same points.
#include "views/LinePoints.h"
#include <QtTest>
#include <algorithm>
#include <random>

namespace {
struct TPoint {
    double Key;
    double Value;
};

// Keys at a steady pace of one second (in days) from start, values a wave with noise and a few gaps.
QVector<TPoint> Run(int count, double start, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-3, 3);
    QVector<TPoint> points;
    for (int i = 0; i < count; ++i) {
        const double value = i % 997 == 500 ? NAN : 50 + 30 * std::sin(i / 700.0) + noise(random);
        points.append({start + i / 86400.0, value});
    }
    return points;
}

TLinePoints Store(const QVector<TPoint> &points)
{
    TLinePoints store;
    for (const TPoint &point : points)
        store.Append(point.Key, point.Value);
    return store;
}
} // namespace

class TestViewsLinePoints : public QObject {
    Q_OBJECT

private slots:
    // Keys come back within a millisecond, values exactly, for runs from seconds to a week long.
    void pointsComeBack_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("start");
        QTest::newRow("a few points") << 5 << 0.0;
        QTest::newRow("a chunk and one") << 1025 << 0.0;
        QTest::newRow("a week") << 604800 << 0.0;
        QTest::newRow("a day far from zero") << 86400 << 46000.0;
    }
    void pointsComeBack()
    {
        QFETCH(int, count);
        QFETCH(double, start);
        const QVector<TPoint> points = Run(count, start, 1);
        const TLinePoints store = Store(points);
        QCOMPARE(store.Count(), count);
        for (int i = 0; i < count; ++i) {
            QVERIFY2(qAbs(store.KeyAt(i) - points[i].Key) * 86400 < 0.001, qPrintable(QString::number(i)));
            if (std::isnan(points[i].Value))
                QVERIFY(std::isnan(store.ValueAt(i)));
            else
                QCOMPARE(store.ValueAt(i), points[i].Value);
        }
    }

    // The searches from any starting point, and the lowest and highest value of any run of points,
    // NaN left out, match the plain list.
    void searchesAndSpans_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("shorter than a block") << 11;
        QTest::newRow("a few blocks") << 300;
        QTest::newRow("many chunks") << 70000;
    }
    void searchesAndSpans()
    {
        QFETCH(int, count);
        const QVector<TPoint> points = Run(count, 0, 2);
        const TLinePoints store = Store(points);
        QVector<double> keys;
        for (int i = 0; i < count; ++i)
            keys.append(store.KeyAt(i));
        std::mt19937 random(3);
        std::uniform_int_distribution<int> index(0, count);
        for (int trial = 0; trial < 2000; ++trial) {
            const int from = index(random);
            const double key = (index(random) - 0.5) / 86400.0;
            const int lower = int(std::lower_bound(keys.begin() + from, keys.end(), key) - keys.begin());
            const int upper = int(std::upper_bound(keys.begin() + from, keys.end(), key) - keys.begin());
            QCOMPARE(store.LowerBound(key, from), lower);
            QCOMPARE(store.UpperBound(key, from), upper);
            // A key that is a point's own: lower and upper bound straddle it.
            if (from < count) {
                QCOMPARE(store.LowerBound(keys[from], 0), int(std::lower_bound(keys.begin(), keys.end(), keys[from]) - keys.begin()));
                QCOMPARE(store.UpperBound(keys[from], 0), from + 1);
            }

            int a = index(random), b = index(random);
            if (a > b)
                std::swap(a, b);
            double low = INFINITY, high = -INFINITY;
            for (int i = a; i < b; ++i)
                if (!std::isnan(points[i].Value)) {
                    low = qMin(low, points[i].Value);
                    high = qMax(high, points[i].Value);
                }
            const TLineSeriesSummary::TSpan span = store.Span(a, b);
            if (low > high) {
                QVERIFY(span.Low > span.High);
                continue;
            }
            // Blocks keep floats rounded outwards: never narrower, at most a float step wider.
            QVERIFY2(span.Low <= low && span.High >= high, qPrintable(QStringLiteral("%1..%2").arg(a).arg(b)));
            QVERIFY(low - span.Low < 1e-4 && span.High - high < 1e-4);
        }
    }

    // Blocks: the first key of each, and the first and last value of a run of blocks.
    void blocksSpan()
    {
        const QVector<TPoint> points = Run(1000, 0, 4);
        const TLinePoints store = Store(points);
        const int blocks = store.BlockCount();
        QCOMPARE(blocks, (1000 + TLinePoints::BlockPoints - 1) / TLinePoints::BlockPoints);
        for (int b = 0; b < blocks; ++b)
            QCOMPARE(store.BlockKey(b), store.KeyAt(b * TLinePoints::BlockPoints));
        const TLinePoints::TBlocksSpan span = store.BlocksSpan(3, blocks);
        QCOMPARE(span.First, double(float(points[3 * TLinePoints::BlockPoints].Value)));
        QCOMPARE(span.Last, double(float(points.last().Value)));
        QCOMPARE(store.LowerBlock(store.BlockKey(10), 0), 10);
        QCOMPARE(store.LowerBlock(store.BlockKey(10) + 1e-9, 0), 11);
        QCOMPARE(store.LowerBlock(1e9, 5), blocks);
    }

    // A point earlier than the last takes its place in key order; the searches and spans then see it.
    void earlierKeyTakesItsPlace()
    {
        TLinePoints store;
        for (int i = 0; i < 3000; ++i)
            store.Append(i, i % 10);
        store.Append(1500.5, 99);
        QCOMPARE(store.Count(), 3001);
        for (int i = 1; i < store.Count(); ++i)
            QVERIFY(store.KeyAt(i - 1) <= store.KeyAt(i));
        const int at = store.LowerBound(1500.5);
        QCOMPARE(store.ValueAt(at), 99.0);
        QCOMPARE(store.KeyAt(at), 1500.5);
        QVERIFY(store.Span(1400, 1600).High >= 99);
        QVERIFY(store.Span(0, 1400).High < 10);
        store.Append(3000, 5);
        QCOMPARE(store.ValueAt(store.Count() - 1), 5.0);
    }

    void clearedStoreIsEmpty()
    {
        TLinePoints store = Store(Run(2000, 0, 5));
        store.Clear();
        QCOMPARE(store.Count(), 0);
        QCOMPARE(store.BlockCount(), 0);
        QCOMPARE(store.LowerBound(0), 0);
        QVERIFY(store.Span(0, 10).Low > store.Span(0, 10).High);
        store.Append(1, 2);
        QCOMPARE(store.KeyAt(0), 1.0);
        QCOMPARE(store.Span(0, 1).High, 2.0);
    }
};

QTEST_MAIN(TestViewsLinePoints)
#include "tst_views_line_points.moc"
