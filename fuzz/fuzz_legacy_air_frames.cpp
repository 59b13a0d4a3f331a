// Feeds arbitrary bytes to the legacy air family's answer reader, whole and in chunks, with and
// without an expected dump, and checks what must hold whatever the line carries: every answer handed
// on is four bytes with a matching sum, every dump 257 bytes, every byte is accounted for, and how the
// bytes were split across reads changes nothing.
#include "legacy_air/AirFrame.h"
#include <QByteArray>
#include <QList>
#include <cstdio>
#include <cstdlib>

namespace {
struct TRun {
    QList<QByteArray> Answers;
    QList<QByteArray> Dumps;
    TAirDrops Drops;
    QByteArray Left;
};

void Check(bool holds, int line)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken at line %d\n", line);
        std::abort();
    }
}
#define CHECK(condition) Check((condition), __LINE__)

// dumpsFirst: how many dumps are expected before answers (a dump answers command 24).
TRun Feed(const QByteArray &input, int chunk, const TAirFraming &rules, int dumpsFirst)
{
    TRun run;
    int dumpsLeft = dumpsFirst;
    for (qsizetype at = 0; at < input.size(); at += chunk) {
        run.Left.append(input.mid(at, chunk));
        for (;;) {
            const TAirCutResult cut = CutAirAnswer(run.Left, dumpsLeft > 0, rules, &run.Drops);
            if (cut.Kind == TAirCut::Waiting)
                break;
            if (cut.Kind == TAirCut::Answer) {
                run.Answers << cut.Bytes;
            } else {
                --dumpsLeft;
                if (cut.Kind == TAirCut::Dump)
                    run.Dumps << cut.Bytes;
            }
        }
    }
    return run;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the split, the model rule and whether a dump comes first.
    const int chunk = 1 + data[0] % 16;
    const TAirFraming rules{(data[0] & 0x20) == 0};
    const int dumps = (data[0] & 0x40) ? 1 : 0;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const TRun whole = Feed(input, int(qMax<qsizetype>(1, input.size())), rules, dumps);
    const TRun split = Feed(input, chunk, rules, dumps);

    for (const TRun *run : {&whole, &split}) {
        for (const QByteArray &answer : run->Answers) {
            CHECK(answer.size() == AirAnswerSize && isCRC4ok(answer));
            CHECK(rules.AcceptZeroStatus || answer[0] != 0);
        }
        for (const QByteArray &dump : run->Dumps)
            CHECK(dump.size() == AirDumpSize && isBlockCRCok(dump));
        CHECK(run->Drops.Answers == run->Answers.size());
        CHECK(run->Drops.Dumps == run->Dumps.size());
        CHECK(run->Drops.Answers * AirAnswerSize + (run->Drops.Dumps + run->Drops.BadDumps) * AirDumpSize
                  + run->Drops.SkippedBytes + run->Left.size()
              == input.size());
        CHECK(run->Left.size() < (run->Drops.Dumps + run->Drops.BadDumps < dumps ? AirDumpSize : AirAnswerSize));
    }
    CHECK(whole.Answers == split.Answers);
    CHECK(whole.Dumps == split.Dumps);
    return 0;
}
