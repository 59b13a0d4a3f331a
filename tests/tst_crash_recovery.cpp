// kill -9 of the real program while it records a run, for every model, each kill followed by a start
// of the program, which recovers what the dead one left. The heater is thermoryx-heater-sim (a fresh
// one for each start, at rest); gdb presses the control panel's Start and Stop in the running program,
// as the technician's click would, and stops the program between saving a run and removing its
// journal. The kills fall at the first rows of a run, in its middle, at the moment of its save, and at
// random moments around a stop. After each recovery every run-log file must be a whole run: the header
// line, then whole rows, each line ended by CR LF, Windows-1251; a recovered file holds exactly the
// whole lines the journal held; a run already saved is not saved again; a journal without a row
// leaves no file; no file is named without its heater's serial number.
//
// The models run side by side, each in its own folder (program, journals, log), in about a minute.
// THERMORYX_CRASH_KILLS sets the kills per model (default 3: at a save, at the first rows, mid-run;
// the moments then come round again, around a stop next); THERMORYX_CRASH_SEED repeats a campaign.
// scripts/crash-campaign runs this test with many kills.
#include "support/Processes.h"
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <numeric>
#include <thread>
#include <unistd.h>

using namespace ProcessTest;

namespace {
// In the order the kills of a model take them.
enum TMoment { SaveMoment, FirstRows, MidRun, AroundStop, MomentCount };
const char *const MomentNames[MomentCount] = {"save", "first rows", "mid-run", "around a stop"};

// What one model's kills found.
struct TFigures {
    int Kills[MomentCount] = {};
    int JournalsLeft = 0;    // journals on the disk after a kill
    int WithoutRow = 0;      // of them, journals without a whole row
    int Recovered = 0;       // run-log files written by a recovery
    int SavedAlready = 0;    // journals whose run the dead program had saved: removed, no second file
    int Copies = 0;          // recovered files that repeat a run saved before
    int TornRows = 0;        // lines that are not whole rows
    int EmptyFiles = 0;      // recovered files without a row
    int SavedWithoutRow = 0; // files the program itself saved without a row
    int Unnamed = 0;         // run-log files named without a serial number
    int Files = 0;           // run-log files at the end
    QStringList Problems;
    qint64 Ms = 0;

    int TotalKills() const { return std::accumulate(std::begin(Kills), std::end(Kills), 0); }
};

// A journal or a run-log file as it was on the disk.
struct TFileSeen {
    QString Path;
    QByteArray Bytes;
    QDateTime Written;
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A journal's run as a recovery must write it: after the serial line, up to the last whole line.
QByteArray WholeLines(const QByteArray &journal)
{
    const QByteArray run = journal.mid(journal.indexOf('\n') + 1);
    const qsizetype end = run.lastIndexOf("\r\n");
    return end < 0 ? QByteArray() : run.left(end + 2);
}

bool IsNumber(const QString &field)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+([.,][0-9]+)?$"));
    return number.match(field).hasMatch();
}

// One model's campaign: its heater, its program, its kills.
class TLane {
public:
    TLane(const QString &model, int kills, quint32 seed, const QString &folder)
        : Model(model), KillCount(kills), Random(seed), Folder(folder)
    {
    }

    void Run()
    {
        QElapsedTimer clock;
        clock.start();
        // The processes belong to this thread, which drives them.
        QProcess heater, program;
        Heater = &heater;
        Program = &program;
        if (Prepare() && Start(0)) {
            for (int kill = 0; kill < KillCount; ++kill) {
                KillAt(TMoment(kill % MomentCount), kill);
                if (!Start(kill + 1))
                    break;
            }
        }
        End(program);
        End(heater);
        CheckFiles();
        F.Ms = clock.elapsed();
    }

    TFigures F;

private:
    QString ProgramFolder() const { return Folder + QStringLiteral("/program"); }
    QString DataFolder() const { return Folder + QStringLiteral("/data"); }
    QString Log(int start) const { return Folder + QStringLiteral("/log-%1.txt").arg(start); }
    void Problem(const QString &text) { F.Problems << Model + QStringLiteral(": ") + text; }

    // The program beside its own run-log files: a hard link to the built one (a copy where the
    // folders are on different disks), so that its folder is this model's alone.
    bool Prepare()
    {
        QDir().mkpath(ProgramFolder());
        QDir().mkpath(DataFolder());
        const QString program = ProgramFolder() + QStringLiteral("/thermoryx-diagnostic");
        if (::link(QFile::encodeName(Binary("thermoryx-diagnostic")).constData(), QFile::encodeName(program).constData()) != 0
            && !QFile::copy(Binary("thermoryx-diagnostic"), program)) {
            Problem(QStringLiteral("cannot place the program in ") + ProgramFolder());
            return false;
        }
        return true;
    }

    // A fresh heater at rest and a program that recovers what the last one left, then finds the heater.
    bool Start(int start)
    {
        End(*Heater);
        Heater->start(Binary("thermoryx-heater-sim"), {"--model", Model, "--speed", "20"});
        Heater->waitForStarted(10000);
        const QString pty = PtyPath(*Heater);
        if (!pty.startsWith(QLatin1String("/dev/"))) {
            Problem(QStringLiteral("the heater did not start: ") + QString::fromLocal8Bit(Heater->readAllStandardError()));
            return false;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), Folder);
        env.insert(QStringLiteral("XDG_DATA_HOME"), DataFolder());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Folder + QStringLiteral("/config"));
        Program->setProcessEnvironment(env);
        Program->start(ProgramFolder() + QStringLiteral("/thermoryx-diagnostic"),
                      {"--port", pty, "--model", Model, "--log-file", Log(start)});
        if (!Program->waitForStarted(10000)) {
            Problem(QStringLiteral("the program did not start: ") + Program->errorString());
            return false;
        }
        CheckRecovery(Log(start));
        if (!WaitFor([&] { return CountContaining(LogLines(Log(start)), QStringLiteral("Version: ")) > 0; }, 30000)) {
            Problem(QStringLiteral("the program did not identify the heater after start %1").arg(start));
            return false;
        }
        QThread::msleep(1000);
        return true;
    }

    void KillAt(TMoment moment, int kill)
    {
        ++F.Kills[moment];
        switch (moment) {
        case FirstRows:
            if (PressStart() && WaitFor([&] { return !Journals().isEmpty(); }, 15000))
                QThread::msleep(Random.bounded(1500));
            else
                Problem(QStringLiteral("kill %1: no run recorded after Start").arg(kill));
            break;
        case MidRun:
            if (PressStart() && WaitFor([&] { return Rows() >= 1; }, 20000))
                QThread::msleep(Random.bounded(6000));
            else
                Problem(QStringLiteral("kill %1: no row recorded after Start").arg(kill));
            break;
        case SaveMoment:
            // Stopped after a few rows, the run is saved once the heater is at rest (and, for the old
            // air heaters, once ten seconds have passed since the start); the program stops at the
            // removal of the journal of the run it has just saved.
            if (PressStart() && WaitFor([&] { return Rows() >= 2; }, 30000)) {
                const QString gdb = Gdb({"break 'TRunJournal::Remove()'", Press("Button2Click"), "continue", "kill"}, 60000);
                if (!gdb.contains(QLatin1String("Breakpoint 1, ")))
                    Problem(QStringLiteral("kill %1: the program never came to removing a saved run's journal:\n%2").arg(kill).arg(gdb));
            } else {
                Problem(QStringLiteral("kill %1: no rows recorded after Start").arg(kill));
            }
            break;
        case AroundStop:
            if (PressStart()) {
                QThread::msleep(Random.bounded(6000));
                Gdb({Press("Button2Click")}, 30000);
                QThread::msleep(Random.bounded(5000));
            }
            break;
        case MomentCount:
            break;
        }
        Program->kill();
        Program->waitForFinished(10000);
        Left = Journals();
        const auto rows = [](const TFileSeen &journal) { return WholeLines(journal.Bytes).count("\r\n") - 1; };
        const qsizetype mostRows = Left.isEmpty() ? -1 : rows(*std::max_element(Left.cbegin(), Left.cend(), [&](auto &a, auto &b) {
            return rows(a) < rows(b);
        }));
        if ((moment == FirstRows && mostRows < 0) || ((moment == MidRun || moment == SaveMoment) && mostRows < 1))
            Problem(QStringLiteral("kill %1 (%2) left %3 journals, the longest with %4 rows")
                        .arg(kill)
                        .arg(QLatin1String(MomentNames[moment]))
                        .arg(Left.size())
                        .arg(mostRows));
        F.JournalsLeft += int(Left.size());
        Before = RunFiles();
    }

    // The start after a kill: every journal with a whole row becomes one file holding exactly those
    // lines, unless the dead program had saved that very run; a journal without a row goes quietly.
    void CheckRecovery(const QString &log)
    {
        if (!WaitFor([&] { return Journals().isEmpty(); }, 15000))
            Problem(QStringLiteral("journals still there after a start: ") + Journals().keys().join(QStringLiteral(", ")));
        QList<QByteArray> toRecover;
        int savedAlready = 0;
        LastRows.clear();
        for (const TFileSeen &journal : std::as_const(Left)) {
            const QByteArray run = WholeLines(journal.Bytes);
            LastRows.insert(run, journal.Written);
            if (run.count("\r\n") < 2) {
                ++F.WithoutRow;
                continue;
            }
            bool saved = false;
            for (auto file = Before.cbegin(); file != Before.cend(); ++file)
                saved = saved || (file->Bytes == run && file->Written >= journal.Written);
            if (saved)
                ++savedAlready;
            else
                toRecover << run;
        }
        const QString recoveredText = QStringLiteral("recovered. Log saved to ");
        const QString savedText = QStringLiteral("had been saved already to ");
        WaitFor([&] {
            const QStringList lines = LogLines(log);
            return CountContaining(lines, recoveredText) + CountContaining(lines, savedText) >= toRecover.size() + savedAlready;
        },
                5000);
        const QStringList lines = LogLines(log);
        QStringList recovered;
        for (const QString &line : lines) {
            if (line.contains(recoveredText))
                recovered << line.mid(line.indexOf(recoveredText) + recoveredText.size());
            if (line.contains(QLatin1String("Unsaved run kept in")) || line.contains(QLatin1String("cannot be read")))
                Problem(QStringLiteral("recovery failed: ") + line);
        }
        F.SavedAlready += CountContaining(lines, savedText);
        if (CountContaining(lines, savedText) != savedAlready)
            Problem(QStringLiteral("%1 runs saved before the kill, %2 recognised as such").arg(savedAlready).arg(CountContaining(lines, savedText)));
        const QMap<QString, TFileSeen> after = RunFiles();
        QStringList added;
        for (auto file = after.cbegin(); file != after.cend(); ++file)
            if (!Before.contains(file.key()))
                added << file.key();
        if (added.size() != toRecover.size() || recovered.size() != toRecover.size())
            Problem(QStringLiteral("%1 journals with rows left, %2 files recovered, %3 new files: %4")
                        .arg(toRecover.size())
                        .arg(recovered.size())
                        .arg(added.size())
                        .arg(added.join(QStringLiteral(", "))));
        for (const QString &path : std::as_const(recovered)) {
            ++F.Recovered;
            const QByteArray bytes = ReadAll(path);
            if (!toRecover.removeOne(bytes))
                Problem(QStringLiteral("%1 is not the whole lines of a journal left").arg(path));
            // A file with these bytes written after the journal's last row held this very run.
            for (auto file = Before.cbegin(); file != Before.cend(); ++file)
                if (file->Bytes == bytes && LastRows.contains(bytes) && file->Written >= LastRows.value(bytes)) {
                    ++F.Copies;
                    Problem(QStringLiteral("%1 repeats %2").arg(path, file.key()));
                }
            CheckFile(path, true);
            RecoveredNames << QFileInfo(path).fileName();
        }
        Left.clear();
    }

    // A run-log file: "[serial] yyyy-MM-dd HH-mm-ss.csv"; the header line, then whole rows of as
    // many fields, every line ended by CR LF, Windows-1251. A recovered file holds a row at least; a
    // file the program saved itself without a row is counted, as the program's own doing.
    void CheckFile(const QString &path, bool recovered)
    {
        static const QRegularExpression name(QStringLiteral("^\\[([^\\]]*)\\] \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.csv$"));
        const QString fileName = QFileInfo(path).fileName();
        const QRegularExpressionMatch match = name.match(fileName);
        if (!match.hasMatch() || match.captured(1).isEmpty() || match.captured(1) == QLatin1String("unidentified")) {
            ++F.Unnamed;
            Problem(QStringLiteral("a run-log file named \"%1\"").arg(fileName));
        }
        const QByteArray bytes = ReadAll(path);
        QStringDecoder decoder("windows-1251");
        const QString text = decoder.decode(bytes);
        if (decoder.hasError())
            Problem(fileName + QStringLiteral(" is not Windows-1251"));
        QList<QByteArray> lines = bytes.split('\n');
        const bool endsWhole = lines.last().isEmpty();
        lines.removeLast();
        if (!endsWhole)
            ++F.TornRows;
        if (lines.size() < 2 && recovered) {
            ++F.EmptyFiles;
            Problem(QStringLiteral("%1 holds no row (%2 bytes)").arg(fileName).arg(bytes.size()));
        } else if (lines.size() < 2) {
            ++F.SavedWithoutRow;
        }
        if (lines.isEmpty())
            return;
        const QStringList header = QString::fromLatin1(lines.first()).chopped(1).split(QLatin1Char(';'));
        if (std::all_of(header.begin(), header.end(), [](const QString &field) { return field.isEmpty() || IsNumber(field); }))
            Problem(fileName + QStringLiteral(" begins with a row, not the header: ") + QString::fromLatin1(lines.first()));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QByteArray &line = lines[i];
            const QStringList fields = QString::fromLatin1(line).chopped(1).split(QLatin1Char(';'));
            const bool whole = line.endsWith('\r') && line.count('\r') == 1 && fields.size() == header.size()
                               && (i == 0 || std::all_of(fields.begin(), fields.end() - 1, IsNumber)) && fields.last().isEmpty();
            if (!whole) {
                ++F.TornRows;
                Problem(QStringLiteral("%1 line %2 is not a whole row: %3").arg(fileName).arg(i + 1).arg(QString::fromLatin1(line)));
            }
        }
        if (!endsWhole)
            Problem(fileName + QStringLiteral(" ends inside a line"));
    }

    void CheckFiles()
    {
        const QMap<QString, TFileSeen> files = RunFiles();
        F.Files = int(files.size());
        for (auto file = files.cbegin(); file != files.cend(); ++file)
            if (!RecoveredNames.contains(file.key()))
                CheckFile(file->Path, false);
    }

    bool PressStart()
    {
        const QString gdb = Gdb({Press("btnStartClick")}, 30000);
        if (gdb.contains(QLatin1String("No symbol")) || gdb.contains(QLatin1String("Cannot access"))) {
            Problem(QStringLiteral("gdb could not press Start: ") + gdb);
            return false;
        }
        return true;
    }

    // gdb's command that calls the control panel's handler of a button, as a click on it does.
    static QString Press(const char *handler)
    {
        return QStringLiteral("call ((void (*)(void *))'TfrmControl::%1()')(*(void **)&frmControl)").arg(QLatin1String(handler));
    }

    // gdb attached to the program runs these commands, then lets it go (or kills it). It reads the
    // program's symbols only, not its debugging information, and no library's: a call or a
    // breakpoint needs no more, and the seven models' gdbs stay quick side by side.
    QString Gdb(const QStringList &commands, int timeoutMs)
    {
        QStringList arguments{"-nx", "-q", "-batch", "-readnever", "-iex", "set auto-solib-add off",
                              "-p", QString::number(Program->processId())};
        for (const QString &command : commands)
            arguments << "-ex" << command;
        QProcess gdb;
        gdb.setProcessChannelMode(QProcess::MergedChannels);
        gdb.start(QStringLiteral("gdb"), arguments);
        if (!gdb.waitForFinished(timeoutMs)) {
            gdb.kill();
            gdb.waitForFinished(5000);
        }
        return QString::fromLocal8Bit(gdb.readAll());
    }

    QMap<QString, TFileSeen> Journals() const { return FilesIn(DataFolder(), QStringLiteral("*.runjournal")); }
    QMap<QString, TFileSeen> RunFiles() const { return FilesIn(ProgramFolder(), QStringLiteral("*.csv")); }
    static QMap<QString, TFileSeen> FilesIn(const QString &folder, const QString &pattern)
    {
        QMap<QString, TFileSeen> files;
        QDirIterator it(folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            files.insert(info.fileName(), {info.filePath(), ReadAll(info.filePath()), info.lastModified()});
        }
        return files;
    }
    // Rows in the journal of the run being recorded.
    int Rows() const
    {
        const QMap<QString, TFileSeen> journals = Journals();
        return journals.isEmpty() ? 0 : int(journals.first().Bytes.count("\r\n")) - 1;
    }

    static bool WaitFor(const std::function<bool()> &condition, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    const QString Model;
    const int KillCount;
    QRandomGenerator Random;
    const QString Folder;
    QProcess *Heater = nullptr;
    QProcess *Program = nullptr;
    QMap<QString, TFileSeen> Left;   // journals the last kill left
    QMap<QByteArray, QDateTime> LastRows; // their runs' last rows
    QSet<QString> RecoveredNames;         // run-log files written by recoveries
    QMap<QString, TFileSeen> Before; // run-log files at the last kill
};

const QStringList Models = {"Hydrel-7S", "Zephal-33 [new rev.]", "Zephal-1", "Corva-mini", "Zephal-3/-33/-6 [old rev.]",
                            "Corva", "Hydrel-7"};
} // namespace

class TestCrashRecovery : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> Root;
    QMap<QString, TFigures> Results;

private slots:
    // Every model's kills at once, each model in a thread of its own; the rows below judge them.
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
            QSKIP("gdb presses the program's Start and holds it at the save; it is not installed");
        const int kills = qEnvironmentVariableIsSet("THERMORYX_CRASH_KILLS") ? qEnvironmentVariableIntValue("THERMORYX_CRASH_KILLS")
                                                                             : 3;
        const quint32 seed = qEnvironmentVariableIsSet("THERMORYX_CRASH_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("THERMORYX_CRASH_SEED"))
                                 : quint32(QDateTime::currentMSecsSinceEpoch());
        // Beside the program, so that a hard link can place it in each model's folder.
        Root = std::make_unique<QTemporaryDir>(qEnvironmentVariable("THERMORYX_BIN_DIR") + QStringLiteral("/crash-recovery-XXXXXX"));
        QVERIFY(Root->isValid());
        qInfo("seed %u, %d kills per model, folder %s", seed, kills, qPrintable(Root->path()));
        QList<std::shared_ptr<TLane>> lanes;
        std::vector<std::thread> threads;
        for (int i = 0; i < Models.size(); ++i) {
            lanes << std::make_shared<TLane>(Models[i], kills, seed + quint32(i), Root->filePath(QString::number(i)));
            threads.emplace_back([lane = lanes.last()] { lane->Run(); });
        }
        for (std::thread &thread : threads)
            thread.join();
        TFigures total;
        for (int i = 0; i < Models.size(); ++i) {
            const TFigures &f = lanes[i]->F;
            Results.insert(Models[i], f);
            Report(Models[i], f);
            for (int m = 0; m < MomentCount; ++m)
                total.Kills[m] += f.Kills[m];
            total.JournalsLeft += f.JournalsLeft;
            total.WithoutRow += f.WithoutRow;
            total.Recovered += f.Recovered;
            total.SavedAlready += f.SavedAlready;
            total.Copies += f.Copies;
            total.TornRows += f.TornRows;
            total.EmptyFiles += f.EmptyFiles;
            total.SavedWithoutRow += f.SavedWithoutRow;
            total.Unnamed += f.Unnamed;
            total.Files += f.Files;
            total.Problems += f.Problems;
            total.Ms = std::max(total.Ms, f.Ms);
        }
        Report(QStringLiteral("all models"), total);
        // A failed campaign keeps its folders for a look.
        Root->setAutoRemove(total.Problems.isEmpty());
    }

    void killedRunsAreRecoveredWhole_data()
    {
        QTest::addColumn<QString>("model");
        for (const QString &model : Models)
            QTest::newRow(qPrintable(model)) << model;
    }
    void killedRunsAreRecoveredWhole()
    {
        QFETCH(QString, model);
        const TFigures f = Results.value(model);
        QVERIFY2(f.Problems.isEmpty(), qPrintable(f.Problems.join(QLatin1Char('\n'))));
        QVERIFY(f.TotalKills() > 0);
        // Every kill at a save left a run that was saved already.
        QCOMPARE(f.SavedAlready, f.Kills[SaveMoment]);
        QCOMPARE(f.Copies + f.TornRows + f.EmptyFiles + f.Unnamed, 0);
    }

private:
    static void Report(const QString &who, const TFigures &f)
    {
        qInfo("%s: %d kills (first rows %d, mid-run %d, save %d, around a stop %d); %d journals left, %d without a row; "
              "%d files recovered; %d runs saved already, not saved again; %d copies; %d torn rows; %d recovered files "
              "without a row; %d unnamed; %d run-log files, %d of them saved by the program without a row; %.1f s",
              qPrintable(who), f.TotalKills(), f.Kills[FirstRows], f.Kills[MidRun], f.Kills[SaveMoment], f.Kills[AroundStop],
              f.JournalsLeft, f.WithoutRow, f.Recovered, f.SavedAlready, f.Copies, f.TornRows, f.EmptyFiles, f.Unnamed, f.Files,
              f.SavedWithoutRow, f.Ms / 1000.0);
    }
};

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crash_recovery.moc"
