// How fast the Hydrel-7 frame extraction consumes a status stream with line noise between the frames.
#include "legacy_liquid/Hydrel7Frame.h"
#include <benchmark/benchmark.h>

namespace {

// A status cycle of six frames, then one to three noise bytes (never the start byte), over and over.
QByteArray NoisyStream(int cycles, qint64 &frames)
{
    static const quint8 types[] = {1, 2, 3, 5, 104, 107};
    QByteArray stream;
    frames = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (quint8 type : types) {
            stream += Hydrel7::BuildFrame({1, 0, 0, type, quint8(cycle), quint8(cycle * 7), 20, quint8(type * 3)});
            ++frames;
            for (int i = 0; i <= (cycle + type) % 3; ++i) {
                const char noise = char((cycle * 131 + type * 17 + i * 7) & 0xFF);
                stream += noise == char(Hydrel7::StartByte) ? char(0x55) : noise;
            }
        }
    }
    return stream;
}

// The stream arrives in pieces the size a serial read delivers.
constexpr int ReadSize = 64;

} // namespace

static void BM_Hydrel7Parse(benchmark::State &state)
{
    qint64 framesPerPass = 0;
    const QByteArray stream = NoisyStream(2000, framesPerPass);
    qint64 frames = 0;
    for (auto _ : state) {
        QByteArray buffer;
        for (qsizetype at = 0; at < stream.size(); at += ReadSize) {
            buffer += stream.mid(at, ReadSize);
            Hydrel7::ExtractFrames(buffer, [&](const QByteArray &frame) {
                benchmark::DoNotOptimize(frame.constData());
                ++frames;
            });
        }
    }
    if (frames != framesPerPass * state.iterations())
        state.SkipWithError("frames were lost");
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_Hydrel7Parse);
