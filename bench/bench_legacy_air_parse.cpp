// How fast the legacy air family's answer reader consumes a stream of answers with line noise
// between them, read in the pieces a serial read delivers.
#include "legacy_air/AirFrame.h"
#include <benchmark/benchmark.h>

namespace {
constexpr int ReadSize = 64;

QByteArray NoisyStream(int answers)
{
    QByteArray stream;
    quint32 noise = 12345;
    for (int i = 0; i < answers; ++i) {
        // Every third answer has one to three noise bytes in front of it.
        if (i % 3 == 0) {
            for (int n = 0; n <= i % 9 / 3; ++n) {
                noise = noise * 1103515245u + 12345u;
                stream.append(char(noise >> 24));
            }
        }
        const quint8 s = quint8(1 + i % 3), d1 = quint8(i * 7), d2 = quint8(i * 13);
        stream.append(char(s)).append(char(d1)).append(char(d2)).append(char(quint8(s + d1 + d2)));
    }
    return stream;
}
} // namespace

static void BM_LegacyAirParse(benchmark::State &state)
{
    const QByteArray stream = NoisyStream(20000);
    qint64 answers = 0;
    for (auto _ : state) {
        QByteArray buffer;
        for (qsizetype at = 0; at < stream.size(); at += ReadSize) {
            buffer += stream.mid(at, ReadSize);
            for (;;) {
                const TAirCutResult cut = CutAirAnswer(buffer, false, {});
                if (cut.Kind != TAirCut::Answer)
                    break;
                benchmark::DoNotOptimize(cut.Bytes.constData());
                ++answers;
            }
        }
    }
    state.counters["answers"] = benchmark::Counter(double(answers), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_LegacyAirParse);
