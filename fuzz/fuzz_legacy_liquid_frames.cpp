// Feeds arbitrary bytes to the Hydrel-7 frame extraction, whole and in chunks, and checks what must
// hold whatever the line carries: every frame handed on is ten bytes with the start byte and a
// matching sum, every byte is accounted for, fewer than ten bytes are left, and how the bytes were
// split across reads changes nothing.
#include "legacy_liquid/Hydrel7Frame.h"
#include <QByteArray>
#include <QList>
#include <cstdio>
#include <cstdlib>

namespace {
struct TRun {
    QList<QByteArray> Frames;
    Hydrel7::TDrops Drops;
    QByteArray Left;
};

TRun Feed(const QByteArray &input, int chunk)
{
    TRun run;
    for (qsizetype at = 0; at < input.size(); at += chunk) {
        run.Left.append(input.mid(at, chunk));
        Hydrel7::ExtractFrames(run.Left, [&run](const QByteArray &frame) { run.Frames << frame; }, &run.Drops);
    }
    return run;
}

void Check(bool holds, int line)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken at line %d\n", line);
        std::abort();
    }
}
#define CHECK(condition) Check((condition), __LINE__)
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses how the rest is split across reads.
    const int chunk = 1 + data[0] % 16;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const TRun whole = Feed(input, int(qMax<qsizetype>(1, input.size())));
    const TRun split = Feed(input, chunk);

    for (const TRun *run : {&whole, &split}) {
        for (const QByteArray &frame : run->Frames) {
            CHECK(frame.size() == Hydrel7::FrameSize && quint8(frame[0]) == Hydrel7::StartByte);
            CHECK(Hydrel7::IsFrameSumOk(frame));
        }
        CHECK(run->Drops.Frames == run->Frames.size());
        CHECK(run->Left.size() < Hydrel7::FrameSize);
        CHECK(run->Drops.Frames * Hydrel7::FrameSize + run->Drops.SkippedBytes + run->Drops.BadFrameBytes
                  + run->Left.size()
              == input.size());
    }
    CHECK(whole.Frames == split.Frames);
    return 0;
}
