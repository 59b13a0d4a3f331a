// How fast the current family's frame extraction consumes a status stream and pure line noise.
#include "current/CurrentFrame.h"
#include <benchmark/benchmark.h>

namespace {

QByteArray StatusFrame(int seed)
{
    QByteArray payload(40, '\0');
    for (int i = 0; i < payload.size(); ++i)
        payload[i] = char((seed * 31 + i * 7) % 256);
    payload[0] = 3;
    return BuildCurrentFrame(3, 0, 1, payload);
}

// The stream arrives in pieces the size a serial read delivers.
constexpr int ReadSize = 64;

} // namespace

static void BM_CurrentParseFrames(benchmark::State &state)
{
    QByteArray stream;
    for (int i = 0; i < 1000; ++i)
        stream += StatusFrame(i);
    qint64 frames = 0;
    for (auto _ : state) {
        QByteArray buffer;
        for (qsizetype at = 0; at < stream.size(); at += ReadSize) {
            buffer += stream.mid(at, ReadSize);
            ExtractCurrentFrames(buffer, [&](const QByteArray &frame) {
                benchmark::DoNotOptimize(frame.constData());
                ++frames;
            });
        }
    }
    if (frames != 1000 * state.iterations())
        state.SkipWithError("frames were lost");
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_CurrentParseFrames);

static void BM_CurrentParseNoise(benchmark::State &state)
{
    QByteArray noise(1024 * 1024, '\0');
    for (int i = 0; i < noise.size(); ++i) {
        const char byte = char((i * 2654435761u) >> 24);
        noise[i] = byte == char(0xAA) ? char(0x55) : byte;
    }
    for (auto _ : state) {
        QByteArray buffer = noise;
        ExtractCurrentFrames(buffer, [](const QByteArray &) {});
        benchmark::DoNotOptimize(buffer.size());
    }
    state.SetBytesProcessed(state.iterations() * noise.size());
}
BENCHMARK(BM_CurrentParseNoise);
