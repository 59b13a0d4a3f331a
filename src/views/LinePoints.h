#pragma once
#include "views/LineSeriesSummary.h"
#include <array>
#include <memory>
#include <vector>

// The points of a line series in key order, kept lean for week-long runs: chunks of a fixed number
// of points, so a long run costs its points and not the slack of one ever-growing array; each key
// as a float offset from its chunk's first key (a chunk spans minutes of a run, so the offset keeps
// well under a millisecond), each value exactly as given. A summary of the values in blocks answers
// for the lowest and highest value of any run of points.
class TLinePoints {
public:
    // Appends a point; a key earlier than the last one is put in its place in key order.
    void Append(double key, double value);
    void Clear();

    int Count() const { return PointCount; }
    double KeyAt(int i) const
    {
        return Bases[i >> ChunkShift] + Chunks[i >> ChunkShift]->KeyOffsets[i & ChunkMask];
    }
    double ValueAt(int i) const { return Chunks[i >> ChunkShift]->Values[i & ChunkMask]; }

    // The first point whose key is not below key (LowerBound) or above key (UpperBound), searched
    // from the point from on; Count() when there is none.
    int LowerBound(double key, int from = 0) const;
    int UpperBound(double key, int from = 0) const;

    // The lowest and highest value of the points [from, to); NaN values count as none.
    TLineSeriesSummary::TSpan Span(int from, int to) const
    {
        return Summary.Span(from, to, [this](int i) { return ValueAt(i); });
    }

    // Blocks of BlockPoints points in a row, the last one filling as points come. A picture with
    // many blocks per pixel column is drawn from them alone: their first keys and their lowest,
    // highest, first and last values lie together in memory, apart from the points.
    static constexpr int BlockPoints = TLineSeriesSummary::BlockPoints;
    int BlockCount() const { return int(BlockKeys.size()); }
    double BlockKey(int block) const { return BlockKeys[block]; }
    // The first block from `from` on whose first key is not below key; BlockCount() when none.
    int LowerBlock(double key, int from) const;
    struct TBlocksSpan {
        TLineSeriesSummary::TSpan Values;
        double First;
        double Last;
    };
    // The values of the blocks [from, to).
    TBlocksSpan BlocksSpan(int from, int to) const
    {
        return {Span(from * BlockPoints, to * BlockPoints), Summary.FirstOf(from), Summary.LastOf(to - 1)};
    }

private:
    static constexpr int ChunkShift = 10;
    static constexpr int ChunkSize = 1 << ChunkShift;
    static constexpr int ChunkMask = ChunkSize - 1;

    struct TChunk {
        std::array<float, ChunkSize> KeyOffsets;
        std::array<double, ChunkSize> Values;
    };

    void AppendInOrder(double key, double value);

    std::vector<std::unique_ptr<TChunk>> Chunks;
    // Each chunk's first key, apart from the chunks, so a walk over the run reads them from one place.
    std::vector<double> Bases;
    std::vector<double> BlockKeys;
    int PointCount = 0;
    TLineSeriesSummary Summary;
};
