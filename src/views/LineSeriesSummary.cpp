#include "views/LineSeriesSummary.h"

void TLineSeriesSummary::Clear()
{
    PointCount = 0;
    for (QVector<TBlock> &level : Blocks)
        level.clear();
    Ends.clear();
}

void TLineSeriesSummary::Append(double value)
{
    const bool hasValue = !std::isnan(value);
    const float low = hasValue ? std::nextafter(float(value), -INFINITY) : INFINITY;
    const float high = hasValue ? std::nextafter(float(value), INFINITY) : -INFINITY;
    for (int level = 0; level < Levels; ++level) {
        QVector<TBlock> &blocks = Blocks[level];
        const int block = PointCount >> (Shift * (level + 1));
        if (block == blocks.size()) {
            blocks.append({low, high});
        } else {
            TBlock &span = blocks[block];
            span.Low = qMin(span.Low, low);
            span.High = qMax(span.High, high);
        }
    }
    if (PointCount % BlockPoints == 0)
        Ends.append({float(value), float(value)});
    else
        Ends.last().Last = float(value);
    ++PointCount;
}
