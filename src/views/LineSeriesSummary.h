#pragma once
#include <QVector>
#include <cmath>

// The lowest and highest value of a line series' points in blocks of 16 points, of 16 such blocks,
// and so on up: the lowest and highest value of any run of points is then read from a few blocks and
// at most a few dozen single points, however long the run. Appending a point updates one block per
// level. Points without a value (NaN) count in no block.
class TLineSeriesSummary {
public:
    // Low > High when the points hold no value.
    struct TSpan {
        double Low = INFINITY;
        double High = -INFINITY;
    };

    void Clear();
    void Append(double value);
    int Count() const { return PointCount; }

    // Points per block of the lowest level.
    static constexpr int BlockPoints = 16;
    // The first and last value of a block of the lowest level (NaN as given).
    double FirstOf(int block) const { return Ends[block].First; }
    double LastOf(int block) const { return Ends[block].Last; }

    // The lowest and highest value of the points [from, to); valueAt(i) gives a single point's value.
    // The points before the first whole block and after the last are read one by one, the rest
    // from the largest blocks that fit.
    template <class TValueAt>
    TSpan Span(int from, int to, const TValueAt &valueAt) const
    {
        TSpan span;
        to = qMin(to, PointCount);
        const auto take = [&span](double low, double high) {
            // NaN compares false and leaves the span as it was.
            span.Low = low < span.Low ? low : span.Low;
            span.High = high > span.High ? high : span.High;
        };
        const int blocksFrom = qMin(to, (from + BlockSize(0) - 1) & ~(BlockSize(0) - 1));
        const int blocksTo = qMax(blocksFrom, to & ~(BlockSize(0) - 1));
        for (; from < blocksFrom; ++from)
            take(valueAt(from), valueAt(from));
        while (from < blocksTo) {
            int level = 0;
            while (level + 1 < Levels && (from & (BlockSize(level + 1) - 1)) == 0 && from + BlockSize(level + 1) <= blocksTo)
                ++level;
            const TBlock &block = Blocks[level][from >> (Shift * (level + 1))];
            take(block.Low, block.High);
            from += BlockSize(level);
        }
        for (; from < to; ++from)
            take(valueAt(from), valueAt(from));
        return span;
    }

private:
    static constexpr int Shift = 4; // BlockPoints points, or 16 blocks of the level below, per block
    static constexpr int Levels = 5;

    static constexpr int BlockSize(int level) { return 1 << (Shift * (level + 1)); }

    // Rounded outwards to float, so a block never claims less than its points reach.
    struct TBlock {
        float Low;
        float High;
    };

    struct TEnds {
        float First;
        float Last;
    };

    int PointCount = 0;
    QVector<TBlock> Blocks[Levels];
    QVector<TEnds> Ends;
};
