// Memory the program adds over 24 hours on the virtual clock: the Hydrel-7S chosen with the adapter
// pulled out (every search tick fails and is logged), and a heater recorded for a whole day.
//
// The figure is the growth of the bytes malloc hands out (glibc's mallinfo2: in-use arena bytes plus
// mmapped blocks), read before and after the day. Qt's containers and strings allocate through malloc
// and C++'s operator new does too, so it counts every live allocation of the program, and unlike the
// resident set size it does not depend on what the allocator returns to the system.
#include "app/Globals.h"
#include "app/Windows.h"
#include "app/fMain.h"
#include "core/Dialogs.h"
#include "core/VirtualScheduler.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "serial/ComPort.h"
#include "sim/Simulators.h"
#include <QDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>

namespace {
constexpr qint64 Day = 24LL * 3600 * 1000;

qint64 MallocInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

// The program's windows on the virtual clock, the port on an in-memory line to the peer, a model
// chosen; afterwards the handler is destroyed and the run logs it saved are removed again.
class TDay {
public:
    explicit TDay(TLinePeer *peer)
        : RunLogsBefore(QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files))
    {
        TScheduler::Install(&Clock);
        SetDialogHook([](TDialogKind, const QString &) { return TDialogResult::Ok; });
        CreateWindows();
        ComPort->SetChannel(std::make_unique<TMemoryChannel>(peer));
        ComPort->SetPort(QStringLiteral("ttyBENCH0"));
        frmMain->ChooseProduct(QStringLiteral("Hydrel-7S"));
    }
    ~TDay()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        DestroyWindows();
        SetDialogHook(nullptr);
        TScheduler::Install(nullptr);
        QDir folder(RunLogFolder());
        for (const QString &name : folder.entryList({QStringLiteral("*.csv")}, QDir::Files))
            if (!RunLogsBefore.contains(name))
                folder.remove(name);
    }

    TVirtualScheduler Clock;

private:
    QStringList RunLogsBefore;
};

void BM_DayWithoutAdapter(benchmark::State &state)
{
    for (auto _ : state) {
        TDay day(nullptr);
        ComPort->Close(); // the adapter pulled out after the model was chosen
        day.Clock.AdvanceBy(60'000); // the first minute settles what the handler keeps for good
        const qint64 before = MallocInUse();
        day.Clock.AdvanceBy(Day);
        state.counters["bytes_added"] = double(MallocInUse() - before);
    }
}

void BM_DayRecorded(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<THeaterSimulator> heater = CreateSimulator(QStringLiteral("Hydrel-7S"));
        TDay day(heater.get());
        if (!day.Clock.AdvanceUntil([] { return CurrentProduct && CurrentProduct->Identified; }, 10'000, 50)) {
            state.SkipWithError("the simulated heater was not identified");
            return;
        }
        day.Clock.AdvanceBy(5'000); // the status flows before the start is asked for
        const qint64 before = MallocInUse();
        // A plain start runs the heater for its default 20 minutes, after which the run is saved and
        // its rows let go: the day's run asks for unlimited work time (-1 minutes).
        CurrentProduct->StartWithSettings(-1, 4, 20, 2, 5);
        day.Clock.AdvanceBy(Day);
        const qint64 added = MallocInUse() - before;
        const qsizetype rows = CurrentProduct->RunLog().size();
        if (rows == 0) {
            state.SkipWithError("the heater's day was not recorded");
            return;
        }
        state.counters["bytes_added"] = double(added);
        state.counters["run_rows"] = double(rows);
    }
}
} // namespace

BENCHMARK(BM_DayWithoutAdapter)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_DayRecorded)->Iterations(1)->Unit(benchmark::kSecond);
