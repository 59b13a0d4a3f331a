// Run recording under random sequences of events, for every simulated model: the program's windows
// run offscreen on the virtual clock against the model's simulator, and each sequence, made from a
// seed, mixes what the technician does (Start and Stop on the control panel, another model chosen and
// this one again, a box left open while the clock runs on as in a modal box's own event loop, closing
// the program, SIGTERM), what the heater does by itself (it starts and stops from its own control),
// and what goes wrong (the heater's answers lost on the line, nothing through either way, the
// heater's supply cut so that it comes back at rest, the adapter pulled out and put back, the disk
// full and then space again), with plain waiting between them.
//
// What must come of it (tests/support/RecordingOracle.h): every presentation tick at which a run was
// being recorded, the adapter was there and at least one valid status answer had come since the
// handler's previous tick yields a row; a tick with no status answer since the previous one may yield
// a row only when the same handler got a status answer later, before the next connection loss (the
// row repeats what the heater then confirmed); no other tick yields one. A row shows as the tick's
// chart points (x = Tick / 86400) and as one line in exactly one run-log file, and the graphs and the
// files hold the same rows: each file is, in order, a stretch of the chart points of one run (one
// handler, one chart, no connection loss within), named after the heater. Once the program has
// closed (the disk has space again by then) every row is in a file and no journal is left. A status
// answer is what the family streams or polls: for the current family a status frame (command 1 with
// its full payload, not the short start acknowledgement), for the Hydrel-7 a status message (a frame
// without the reply flag), for the legacy air family any valid answer (its poll cycle is its status).
// And the program keeps its heater: closed at least 45 s after the last event, it has found it again
// and had a status answer within the last 5 s.
//
// A failure names the model, the seed and the shortest sequence that still fails the same way
// (events dropped one at a time, then disturbances and waits shortened, each run from scratch).
//
// CI runs 60 sequences per model. A local campaign (Qt Test ends a test function after 5 minutes
// unless told otherwise):
//   QTEST_FUNCTION_TIMEOUT=86400000 RUN_SEQUENCES=10000 build/tst_run_sequences sequences
// or one model and another range of seeds:
//   ... RUN_SEQUENCES=10000 RUN_SEQUENCES_SEED=50001 build/tst_run_sequences "sequences:Hydrel-7"
// scripts/run-sequences runs every model's campaign, two at a time, each in a folder of its own.
#include "app/Globals.h"
#include "app/Signals.h"
#include "app/fMain.h"
#include "core/LogMemo.h"
#include "legacy_liquid/Hydrel7Frame.h"
#include "product/Product.h"
#include "product/ProductEnvironment.h"
#include "product/RunJournal.h"
#include "serial/MemoryChannel.h"
#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "support/EventSequence.h"
#include "support/Harness.h"
#include "support/RecordingOracle.h"
#include "support/RecordingSpy.h"
#include "support/SaveCapture.h"
#include "views/fControl.h"
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QFileInfo>
#include <QtTest>
#include <csignal>
#include <limits>
#include <memory>

namespace {

// The heaters' serial numbers here: a prefix of this test's own and a number per model.
constexpr quint8 SerialPrefix = 93;
constexpr quint32 SerialBase = 4200000;
// Sequences per model when no campaign is asked for.
constexpr int CiSequences = 60;
// Runs a shrinking may take for one fault, and in CI for all faults of a model, so that a failing
// CI run still ends in time.
constexpr int ShrinkRuns = 120;
constexpr int CiShrinkRuns = 40;
// A heater must be found again and answering when the program closes this long after the last event.
constexpr int SettledAfter = 45;
constexpr int AnsweredWithinMs = 5000;

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int FromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// The model's simulator with a serial number of this test's own.
std::unique_ptr<THeaterSimulator> SimulatorFor(const QString &model, int index)
{
    const quint32 number = SerialBase + quint32(index);
    if (const TAirVariant *air = FindAirVariant(model)) {
        TAirVariant variant = *air;
        variant.Batch = SerialPrefix;
        variant.Number = number;
        return std::make_unique<TAirHeaterSim>(variant);
    }
    std::unique_ptr<THeaterSimulator> simulator = CreateSimulator(model);
    if (auto *current = dynamic_cast<TCurrentHeaterSim *>(simulator.get()))
        current->SetIdentity(SerialPrefix, number, FindCurrentVariant(model)->VersionAnswer);
    if (auto *liquid = dynamic_cast<THydrel7HeaterSim *>(simulator.get()))
        liquid->SetIdentity(SerialPrefix, number);
    return simulator;
}

TRecordingSpy::TStatusRule StatusRuleOf(const THeaterSimulator *simulator)
{
    if (dynamic_cast<const TCurrentHeaterSim *>(simulator))
        return [](const QByteArray &frame) { return frame.size() > 4 && quint8(frame[4]) == 1 && quint8(frame[2]) > 6; };
    if (dynamic_cast<const THydrel7HeaterSim *>(simulator))
        return [](const QByteArray &frame) { return frame.size() > 1 && !(quint8(frame[1]) & Hydrel7::ReplyFlag); };
    return [](const QByteArray &) { return true; };
}

// A model of another family: its handler speaks at another line speed, so it never finds this heater.
QString OtherModel(const QString &model)
{
    return model == QLatin1String("Hydrel-7") ? QStringLiteral("Zephal-1") : QStringLiteral("Hydrel-7");
}

// The line to the heater, which can let nothing through either way.
class TCutLine : public TLinePeer {
public:
    explicit TCutLine(THeaterSimulator *heater) : Heater(heater)
    {
        Heater->Send = [this](const QByteArray &bytes) {
            LastSentAtMs = TScheduler::Instance().Now();
            if (!Cut && Send)
                Send(bytes);
        };
    }
    void Receive(const QByteArray &bytes) override
    {
        if (!Cut)
            Heater->Receive(bytes);
    }
    void LineBaudRateChanged(qint32 bitsPerSecond) override { Heater->LineBaudRateChanged(bitsPerSecond); }

    bool Cut = false;
    qint64 LastSentAtMs = -1; // when the heater last sent, through or not

private:
    THeaterSimulator *Heater;
};

bool Polled()
{
    return CurrentProduct && CurrentProduct->Identified && CurrentProduct->StatusActive;
}

void RemoveJournals()
{
    const QDir folder(TRunJournal::Folder());
    for (const QString &name : folder.entryList({QStringLiteral("*.runjournal")}, QDir::Files))
        QFile::remove(folder.filePath(name));
}

// One sequence against one model, from a fresh program and heater; what it found wrong.
class TSequenceRun {
public:
    TSequenceRun(const QString &model, int index) : Model(model), Heater(SimulatorFor(model, index))
    {
        RemoveJournals();
        Capture = std::make_unique<TSaveCapture>();
        H = std::make_unique<THarness>();
        SetDialogHook([this](TDialogKind kind, const QString &) { return Box(kind); });
        Peer = std::make_unique<TCutLine>(Heater.get());
        Spy = std::make_unique<TRecordingSpy>(ProductEnvironment().View, StatusRuleOf(Heater.get()));
        ProductEnvironment().View = Spy.get();
        Line = H->Connect(Peer.get());
        Changed = QObject::connect(frmMain, &TfrmMain::ProductChanged, frmMain, [this] { Spy->NewHandler(); });
        LossLine = QObject::connect(mLog, &TLogMemo::LineRecorded, mLog, [this](const QString &line) {
            if (line.endsWith(QLatin1String(" Connection lost.")))
                Spy->ConnectionLost();
        });
        H->Choose(Model);
    }

    ~TSequenceRun()
    {
        if (frmMain) {
            QObject::disconnect(Changed);
            QObject::disconnect(LossLine);
        }
        // The line goes before the heater, the heater before the clock it keeps its time on, the
        // windows (and a handler still there) before the spy they talk to.
        H->Connect(nullptr);
        Peer.reset();
        Heater.reset();
        H.reset();
        Spy.reset();
        for (const TSaveCapture::TSave &save : Capture->Saves())
            QFile::remove(save.Path);
        Capture.reset();
        RemoveJournals();
    }

    // damage, when given, changes the files before they are checked (to show that the check sees it).
    QList<TRecordingFault> Run(const TSequence &sequence, const std::function<void(QList<TRunFile> &)> &damage = {})
    {
        if (!H->Clock.AdvanceUntil(Polled, 30000, 50))
            return {{QStringLiteral("heater not found at the start"), Model}};
        Serial = CurrentProduct->SerialNumberText;
        for (const TEvent &event : sequence)
            Apply(event);
        if (CurrentProduct)
            Faults << TRecordingFault{QStringLiteral("program did not close"), Model};
        QList<TRunFile> files = Files();
        if (damage)
            damage(files);
        return Faults + CheckRecording(*Spy, files, Serial);
    }

private:
    void Advance(int seconds) { H->Clock.AdvanceBy(qint64(seconds) * 1000); }

    TDialogResult Box(TDialogKind kind)
    {
        const bool modal = kind == TDialogKind::Message || kind == TDialogKind::Warning || kind == TDialogKind::Question;
        if (modal && HoldArmed && !Holding) {
            HoldArmed = false;
            Holding = true;
            H->Clock.AdvanceBy(HoldMs);
            Holding = false;
        }
        return TDialogResult::Ok;
    }

    void Apply(const TEvent &event)
    {
        switch (event.Kind) {
        case TEventKind::Wait:
            break;
        case TEventKind::PanelStart:
            frmControl->btnStart->click();
            break;
        case TEventKind::PanelStop:
            frmControl->Button2->click();
            break;
        case TEventKind::OwnStart:
            Heater->StartByItself();
            break;
        case TEventKind::OwnStop:
            Heater->StopByItself();
            break;
        case TEventKind::Quiet:
            BeQuiet(event);
            break;
        case TEventKind::Unplug:
            Line->Unplug();
            Advance(event.Seconds);
            Line->Replug();
            break;
        case TEventKind::DiskFull:
            Capture->SetFull(true);
            Advance(event.Seconds);
            Capture->SetFull(false);
            break;
        case TEventKind::BoxOpen:
            HoldMs = qint64(event.Seconds) * 1000;
            HoldArmed = true;
            if (CurrentProduct && CurrentProduct->Running)
                frmControl->btnStart->click();
            Advance(event.After);
            HoldArmed = false;
            return;
        case TEventKind::ModelSwitch:
            H->Choose(OtherModel(Model));
            Advance(event.Seconds);
            H->Choose(Model);
            break;
        case TEventKind::Close:
        case TEventKind::Terminate:
            Close(event);
            return;
        }
        Advance(event.After);
    }

    void BeQuiet(const TEvent &event)
    {
        switch (event.Quiet) {
        case TQuiet::LineFault:
            Heater->SetFailureMode(QStringLiteral("silence"));
            Advance(event.Seconds);
            Heater->SetFailureMode(QStringLiteral("none"));
            break;
        case TQuiet::DroppedBoth:
            Peer->Cut = true;
            Advance(event.Seconds);
            Peer->Cut = false;
            break;
        case TQuiet::PowerCut:
            Heater->CutPower(event.Seconds * 1000);
            Advance(event.Seconds);
            break;
        }
    }

    void Close(const TEvent &event)
    {
        Advance(event.After);
        if (event.After >= SettledAfter
            && !(Polled() && Spy->LastAnswerAtMs() >= H->Clock.Now() - AnsweredWithinMs))
            Faults << TRecordingFault{QStringLiteral("heater not polled again"),
                                      QStringLiteral("%1 s after the last event: %2, last status answer at %3 s")
                                          .arg(event.After)
                                          .arg(Polled() ? QStringLiteral("identified") : QStringLiteral("not identified"))
                                          .arg(double(Spy->LastAnswerAtMs()) / 1000)};
        if (event.Kind == TEventKind::Close) {
            frmMain->CloseWithoutAsking();
        } else {
            std::raise(SIGTERM);
            for (int i = 0; i < 100 && CurrentProduct; ++i)
                QCoreApplication::processEvents();
        }
        Advance(1);
    }

    // Every file the program saved, and the journals it left.
    QList<TRunFile> Files()
    {
        QList<TRunFile> files;
        QHash<QString, QByteArray> last;
        for (const TSaveCapture::TSave &save : Capture->Saves()) {
            files << TRunFile{QFileInfo(save.Path).fileName(), save.Bytes,
                              QStringLiteral("saved at %1 s").arg(double(save.AtMs) / 1000, 0, 'f', 1)};
            last.insert(save.Path, save.Bytes);
        }
        for (auto it = last.cbegin(); it != last.cend(); ++it)
            if (ReadAll(it.key()) != it.value())
                Faults << TRecordingFault{QStringLiteral("saved file not on the disk"), it.key()};
        const QDir folder(TRunJournal::Folder());
        for (const QString &name : folder.entryList({QStringLiteral("*.runjournal")}, QDir::Files)) {
            const QByteArray journal = ReadAll(folder.filePath(name));
            const QByteArray run = journal.mid(journal.indexOf('\n') + 1);
            Faults << TRecordingFault{QStringLiteral("journal left after closing"),
                                      QStringLiteral("%1, %2 bytes").arg(name).arg(run.size())};
            files << TRunFile{name, run, QStringLiteral("journal")};
        }
        return files;
    }

    QString Model;
    std::unique_ptr<THeaterSimulator> Heater;
    std::unique_ptr<TSaveCapture> Capture;
    std::unique_ptr<THarness> H;
    std::unique_ptr<TCutLine> Peer;
    TMemoryChannel *Line = nullptr; // the port's channel to Peer
    std::unique_ptr<TRecordingSpy> Spy;
    QMetaObject::Connection Changed;
    QMetaObject::Connection LossLine;
    QString Serial;
    QList<TRecordingFault> Faults;
    bool HoldArmed = false;
    bool Holding = false;
    qint64 HoldMs = 0;
};

QList<TRecordingFault> RunOnce(const QString &model, int index, const TSequence &sequence)
{
    TSequenceRun run(model, index);
    return run.Run(sequence);
}

// The offscreen windows warn about every window they show; one run shows several.
QtMessageHandler PassOn = nullptr;
void QuietOffscreenWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")) && PassOn)
        PassOn(type, context, text);
}

} // namespace
Q_DECLARE_METATYPE(std::function<void(QList<TRunFile> &)>)
namespace {

bool HasKind(const QList<TRecordingFault> &faults, const QString &kind)
{
    return std::any_of(faults.begin(), faults.end(), [&](const TRecordingFault &fault) { return fault.Kind == kind; });
}

} // namespace

class TestRunSequences : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale::c());
        PassOn = qInstallMessageHandler(QuietOffscreenWarnings);
        EndOnTerminationSignals([] {
            if (frmMain)
                frmMain->CloseWithoutAsking();
        });
    }

    // What the events do to each model's heater, as the program sees it: a start from the heater's own
    // control shows in its status, as does a stop; a supply cut silences it for as long as it lasts,
    // and it comes back at rest.
    void heaterEvents_data() { sequences_data(); }
    void heaterEvents()
    {
        QFETCH(QString, model);
        QFETCH(int, index);
        const std::unique_ptr<THeaterSimulator> heater = SimulatorFor(model, index);
        TCutLine line(heater.get());
        THarness h;
        h.Connect(&line);
        h.Choose(model);
        QVERIFY(h.Clock.AdvanceUntil(Polled, 30000, 50));
        QCOMPARE(CurrentProduct->Stage, quint8(0));
        const auto runs = [] { return CurrentProduct && CurrentProduct->Identified && CurrentProduct->Stage != 0; };
        const auto rests = [] { return CurrentProduct && CurrentProduct->Identified && CurrentProduct->Stage == 0; };
        heater->StartByItself();
        QVERIFY(h.Clock.AdvanceUntil(runs, 10000, 50));
        heater->StopByItself();
        QVERIFY(h.Clock.AdvanceUntil(rests, 120000, 50));
        heater->StartByItself();
        QVERIFY(h.Clock.AdvanceUntil(runs, 10000, 50));
        const qint64 cutAt = h.Clock.Now();
        heater->CutPower(7000);
        QVERIFY(h.Clock.AdvanceUntil([&] { return line.LastSentAtMs > cutAt; }, 60000, 50));
        QVERIFY2(line.LastSentAtMs >= cutAt + 7000, qPrintable(QString::number(line.LastSentAtMs - cutAt)));
        QVERIFY(h.Clock.AdvanceUntil(rests, 60000, 50));
        QVERIFY(h.Clock.AdvanceUntil(Polled, 30000, 50));
        h.Connect(nullptr);
    }

    // The check itself: a run recorded and saved cleanly passes, and each kind of damage to its file
    // is found.
    void checkFindsDamagedFiles_data()
    {
        using TDamage = std::function<void(QList<TRunFile> &)>;
        QTest::addColumn<TDamage>("damage");
        QTest::addColumn<bool>("found");
        const auto rows = [](QList<TRunFile> &files, const std::function<void(QList<QByteArray> &)> &change) {
            QList<QByteArray> lines = files.first().Bytes.split('\n');
            change(lines);
            files.first().Bytes = lines.join('\n');
        };
        QTest::newRow("none") << TDamage([](QList<TRunFile> &) {}) << false;
        QTest::newRow("no file") << TDamage([](QList<TRunFile> &files) { files.clear(); }) << true;
        QTest::newRow("saved twice") << TDamage([](QList<TRunFile> &files) { files << files.first(); }) << true;
        QTest::newRow("last row lost") << TDamage([=](QList<TRunFile> &files) {
            rows(files, [](QList<QByteArray> &lines) { lines.removeAt(lines.size() - 2); });
        }) << true;
        QTest::newRow("a row twice") << TDamage([=](QList<TRunFile> &files) {
            rows(files, [](QList<QByteArray> &lines) { lines.insert(5, lines[5]); });
        }) << true;
        QTest::newRow("two rows swapped") << TDamage([=](QList<TRunFile> &files) {
            rows(files, [](QList<QByteArray> &lines) { lines.swapItemsAt(3, 20); });
        }) << true;
        QTest::newRow("a value changed") << TDamage([=](QList<TRunFile> &files) {
            rows(files, [](QList<QByteArray> &lines) {
                QList<QByteArray> fields = lines[7].split(';');
                fields[13] = "99.99"; // the voltage
                lines[7] = fields.join(';');
            });
        }) << true;
        QTest::newRow("header lost") << TDamage([=](QList<TRunFile> &files) {
            rows(files, [](QList<QByteArray> &lines) { lines.removeFirst(); });
        }) << true;
    }
    void checkFindsDamagedFiles()
    {
        using TDamage = std::function<void(QList<TRunFile> &)>;
        QFETCH(TDamage, damage);
        QFETCH(bool, found);
        const TSequence run{{TEventKind::PanelStart, 0, 40}, {TEventKind::Close, 0, 0}};
        const QString model = QStringLiteral("Hydrel-7S");
        TSequenceRun sequence(model, int(SimulatedModels().indexOf(model)));
        const QList<TRecordingFault> faults = sequence.Run(run, [&](QList<TRunFile> &files) {
            QCOMPARE(files.size(), 1);
            QVERIFY(files.first().Bytes.count('\n') > 30);
            damage(files);
        });
        QStringList kinds;
        for (const TRecordingFault &fault : faults)
            kinds << fault.Kind + QStringLiteral(": ") + fault.Detail;
        QVERIFY2(kinds.isEmpty() != found, qPrintable(kinds.join(QLatin1Char('\n'))));
    }

    void sequences_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("index");
        const QStringList models = SimulatedModels();
        for (int i = 0; i < models.size(); ++i)
            QTest::newRow(qPrintable(models[i])) << models[i] << i;
    }
    void sequences()
    {
        QFETCH(QString, model);
        QFETCH(int, index);
        const int count = FromEnvironment("RUN_SEQUENCES", CiSequences);
        const int firstSeed = FromEnvironment("RUN_SEQUENCES_SEED", 1);
        QElapsedTimer clock;
        clock.start();
        QStringList reports;
        QMap<QString, int> failing; // sequences that failed, by kind of fault
        int shrinkBudget = qEnvironmentVariableIsSet("RUN_SEQUENCES") ? std::numeric_limits<int>::max() : CiShrinkRuns;
        for (int seed = firstSeed; seed < firstSeed + count; ++seed) {
            const TSequence sequence = GenerateSequence(quint32(seed));
            const QList<TRecordingFault> faults = RunOnce(model, index, sequence);
            for (const TRecordingFault &fault : faults) {
                if (failing[fault.Kind]++ > 0)
                    continue;
                int runs = 0;
                const TSequence shortest = Shrink(sequence, [&](const TSequence &candidate) {
                    if (++runs > ShrinkRuns || --shrinkBudget < 0)
                        return false;
                    return HasKind(RunOnce(model, index, candidate), fault.Kind);
                });
                const QList<TRecordingFault> again = RunOnce(model, index, shortest);
                const auto found = std::find_if(again.begin(), again.end(),
                                                [&](const TRecordingFault &f) { return f.Kind == fault.Kind; });
                reports << fault.Kind;
                qInfo("%s, seed %d: %s\n  %s\nshortest sequence:\n%s", qPrintable(model), seed, qPrintable(fault.Kind),
                      qPrintable(found != again.end() ? found->Detail : fault.Detail), qPrintable(Describe(shortest)));
            }
        }
        QStringList tally;
        for (auto it = failing.cbegin(); it != failing.cend(); ++it)
            tally << QStringLiteral("%1 in %2").arg(it.key()).arg(it.value());
        qInfo("%s: %d sequences from seed %d in %.1f s; %s", qPrintable(model), count, firstSeed,
              double(clock.elapsed()) / 1000, tally.isEmpty() ? "no fault" : qPrintable(tally.join(QStringLiteral(", "))));
        QVERIFY2(reports.isEmpty(), qPrintable(QStringLiteral("faults (seeds and shortest sequences above): ") + reports.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestRunSequences)
#include "tst_run_sequences.moc"
