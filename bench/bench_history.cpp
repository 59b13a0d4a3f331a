// The service history at the size of years of a busy workshop: 10,000 heaters, 100,000 runs and
// 20,000 EDR reads (each with its 1 KiB image). BM_HistoryOpen/0 is the History window's first page
// (the file opened, the heaters seen last read and listed); BM_HistoryOpen/1 a serial number typed
// into its search field. BM_HistoryRecordRow is what one record costs the thread that runs the line:
// the handler's report through the presentation to the writer thread, which does the writing.
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/WindowPresentation.h"
#include "history/HistoryStore.h"
#include "views/fHistory.h"
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
constexpr int Heaters = 10000;
constexpr int RunsPerHeater = 10;
constexpr int EdrReadsPerHeater = 2;

QString Serial(int i)
{
    return QStringLiteral("%1").arg(100000000 + i * 7919 % 900000000, 9, 10, QLatin1Char('0'));
}

// The filled file, made once for the whole program.
const QString &FilledHistory()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("history.sqlite"));
        THistoryStore store;
        if (!store.Open(file) || !store.Begin())
            qFatal("history: %s", qPrintable(store.Error()));
        const QStringList models = {"Hydrel-7S", "Zephal-1", "Zephal-33 [new rev.]", "Corva-mini",
                                    "Zephal-3/-33/-6 [old rev.]", "Corva", "Hydrel-7"};
        const QDateTime start(QDate(2020, 1, 1), QTime(8, 0));
        const QByteArray image(1024, '\x5a');
        TRunSummary summary;
        summary.Rows = 1800;
        summary.Stages = {0, 1, 2, 3, 4};
        summary.HighestTemperatures = {{QStringLiteral("T plate"), 61}, {QStringLiteral("T liq."), 78.5}};
        summary.LowestVoltage = 11.7;
        for (int i = 0; i < Heaters; ++i) {
            const QDateTime seen = start.addSecs(qint64(i) * 3 * 3600);
            const std::optional<qint64> id = store.NoteHeater(models[i % models.size()], Serial(i), "1.2.0.3.17", seen);
            if (!id)
                qFatal("history: %s", qPrintable(store.Error()));
            for (int run = 0; run < RunsPerHeater; ++run)
                store.AddRun(*id, QStringLiteral("/runs/[%1] %2.csv").arg(Serial(i)).arg(run), seen.addSecs(run * 2400), summary);
            for (int read = 0; read < EdrReadsPerHeater; ++read)
                store.AddEdrRead(*id, seen.addSecs(read * 600), image, QStringLiteral("EDR report\nline 2\nline 3"));
        }
        if (!store.Commit())
            qFatal("history: %s", qPrintable(store.Error()));
        return file;
    }();
    return path;
}

void BM_HistoryOpen(benchmark::State &state)
{
    const QString path = FilledHistory();
    const bool search = state.range(0) == 1;
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<TfrmHistory>();
        if (search) {
            window->SetFile(path);
            window->Refresh();
        }
        state.ResumeTiming();
        if (search) {
            window->edtSearch->setText(Serial(4321));
        } else {
            window->SetFile(path);
            window->Refresh();
        }
        found = window->grdHeaters->rowCount();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["heaters listed"] = found;
}
BENCHMARK(BM_HistoryOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_HistoryRecordRow(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    StartHistory(path);
    TWindowPresentation presentation;
    qint64 i = 0;
    for (auto _ : state)
        presentation.NoteHeaterIdentified(QStringLiteral("Hydrel-7S"), QString::number(70000000 + i++ % 500),
                                          QStringLiteral("1.2.0.3.17"));
    // The writer catches up outside the measured time; what it wrote shows that it did the work.
    StopHistory();
    THistoryStore store;
    state.counters["heaters recorded"] = store.Open(path) ? double(store.Heaters(QString(), 0, 1).Total) : -1;
}
BENCHMARK(BM_HistoryRecordRow)->Unit(benchmark::kMicrosecond)->Iterations(20000);
} // namespace
