#pragma once
#include <QVector>
#include <functional>

// The lowest and highest value of a line series' points in blocks of 16 points, of 16 such blocks,
// and so on up: the lowest and highest value of any run of points is then read from a few blocks and
// at most a few dozen single points, however long the run. Appending a point updates one block per
// level.
class TLineSeriesSummary {
public:
    struct TSpan {
        float Low;
        float High;
    };

    void Clear();
    void Append(double value);
    int Count() const { return PointCount; }

    // The lowest and highest value of the points [from, to); valueAt gives a single point's value.
    TSpan Span(int from, int to, const std::function<double(int)> &valueAt) const;

private:
    static constexpr int Shift = 4; // 16 points, or 16 blocks of the level below, per block
    static constexpr int Levels = 5;

    static int BlockSize(int level) { return 1 << (Shift * (level + 1)); }

    int PointCount = 0;
    QVector<TSpan> Blocks[Levels];
};
