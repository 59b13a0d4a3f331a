#include "views/LinePoints.h"
#include <algorithm>

void TLinePoints::Clear()
{
    Chunks.clear();
    Bases.clear();
    BlockKeys.clear();
    PointCount = 0;
    Summary.Clear();
}

void TLinePoints::AppendInOrder(double key, double value)
{
    if ((PointCount & ChunkMask) == 0) {
        Chunks.push_back(std::make_unique<TChunk>());
        Bases.push_back(key);
    }
    TChunk &chunk = *Chunks.back();
    chunk.KeyOffsets[PointCount & ChunkMask] = float(key - Bases.back());
    chunk.Values[PointCount & ChunkMask] = value;
    ++PointCount;
    // The key as stored, so a block's key and its first point's key are the same number.
    if ((PointCount - 1) % BlockPoints == 0)
        BlockKeys.push_back(KeyAt(PointCount - 1));
    Summary.Append(value);
}

void TLinePoints::Append(double key, double value)
{
    if (PointCount == 0 || !(key < KeyAt(PointCount - 1))) {
        AppendInOrder(key, value);
        return;
    }
    // A clock that went back: the points are laid out again with this one in its place, so the
    // searches by key stay right. It does not happen in a run, whose keys are its ticks.
    const int at = UpperBound(key);
    std::vector<std::pair<double, double>> points;
    points.reserve(PointCount + 1);
    for (int i = 0; i < PointCount; ++i) {
        if (i == at)
            points.emplace_back(key, value);
        points.emplace_back(KeyAt(i), ValueAt(i));
    }
    Clear();
    for (const auto &[k, v] : points)
        AppendInOrder(k, v);
}

namespace {
// The first index from `from` on (below count) for which before(keyAt(index)) is false, or count: a
// gallop of steps 1, 2, 4, ... from `from` and a binary search within the last step, so walking a
// run column by column costs the points of each column and not the run's length.
template <class TKeyAt, class TBefore>
int Gallop(int from, int count, const TKeyAt &keyAt, const TBefore &before)
{
    if (from >= count)
        return count;
    if (!before(keyAt(from)))
        return from;
    int low = from, bound = from + 1, step = 1;
    while (bound < count && before(keyAt(bound))) {
        low = bound;
        step *= 2;
        bound = low + step;
    }
    int first = low + 1, last = qMin(bound, count);
    while (first < last) {
        const int middle = first + (last - first) / 2;
        if (before(keyAt(middle)))
            first = middle + 1;
        else
            last = middle;
    }
    return first;
}
} // namespace

int TLinePoints::LowerBound(double key, int from) const
{
    return Gallop(from, PointCount, [this](int i) { return KeyAt(i); }, [key](double k) { return k < key; });
}

int TLinePoints::UpperBound(double key, int from) const
{
    return Gallop(from, PointCount, [this](int i) { return KeyAt(i); }, [key](double k) { return !(key < k); });
}

int TLinePoints::LowerBlock(double key, int from) const
{
    return Gallop(from, BlockCount(), [this](int b) { return BlockKeys[b]; }, [key](double k) { return k < key; });
}
