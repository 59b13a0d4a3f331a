#include "views/LineSeriesSummary.h"
#include <cmath>

void TLineSeriesSummary::Clear()
{
    PointCount = 0;
    for (QVector<TSpan> &level : Blocks)
        level.clear();
}

void TLineSeriesSummary::Append(double value)
{
    // Rounded outwards to float, so a block never claims less than its points reach.
    const float low = std::nextafter(float(value), -INFINITY);
    const float high = std::nextafter(float(value), INFINITY);
    for (int level = 0; level < Levels; ++level) {
        QVector<TSpan> &blocks = Blocks[level];
        const int block = PointCount >> (Shift * (level + 1));
        if (block == blocks.size()) {
            blocks.append({low, high});
        } else {
            TSpan &span = blocks[block];
            span.Low = qMin(span.Low, low);
            span.High = qMax(span.High, high);
        }
    }
    ++PointCount;
}

TLineSeriesSummary::TSpan TLineSeriesSummary::Span(int from, int to, const std::function<double(int)> &valueAt) const
{
    TSpan span{INFINITY, -INFINITY};
    to = qMin(to, PointCount);
    while (from < to) {
        // The largest whole block that starts here and ends before to, else a single point.
        int level = -1;
        while (level + 1 < Levels && from % BlockSize(level + 1) == 0 && from + BlockSize(level + 1) <= to)
            ++level;
        if (level < 0) {
            const float value = float(valueAt(from));
            span.Low = qMin(span.Low, std::nextafter(value, -INFINITY));
            span.High = qMax(span.High, std::nextafter(value, INFINITY));
            ++from;
        } else {
            const TSpan &block = Blocks[level][from / BlockSize(level)];
            span.Low = qMin(span.Low, block.Low);
            span.High = qMax(span.High, block.High);
            from += BlockSize(level);
        }
    }
    return span;
}
