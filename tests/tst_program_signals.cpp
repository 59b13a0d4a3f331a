// The real program over a pseudo-terminal while it records a run of a simulated Hydrel-7S: a
// termination signal closes it in order with the run saved, also while a message box is open, and a
// run cut off by kill -9 is saved at the next start. The heater runs in this test's own process, so
// that the test can set it fuel pumping (stage 0, mode 4), which the program records as a run without
// being told to. The box is one the program opens by itself: --log-file /dev/full makes the first log
// line fail, and the program says so in a message box. Real time, bounded to about half a minute a case.
#include "sim/PtyBridge.h"
#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "support/CurrentPeer.h"
#include "support/Processes.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

using namespace ProcessTest;

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's run-log files of the simulated heater: the program writes them beside itself.
QStringList RunFiles()
{
    return QDir(qEnvironmentVariable("THERMORYX_BIN_DIR"))
        .entryList({QStringLiteral("[[]070001234[]] *.csv")}, QDir::Files, QDir::Name);
}

// A heater that never answers and only counts what it hears.
class TDeafHeater : public THeaterSimulator {
public:
    void Receive(const QByteArray &bytes) override { Heard += bytes.size(); }
    bool SetFailureMode(const QString &) override { return false; }
    QStringList FailureModes() const override { return {}; }
    qsizetype Heard = 0;
};

bool WaitFor(const std::function<bool()> &condition, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}
} // namespace

class TestProgramSignals : public QObject {
    Q_OBJECT

    std::unique_ptr<THeaterSimulator> Heater;
    std::unique_ptr<TPtyBridge> Bridge;
    std::unique_ptr<QTemporaryDir> Data;
    QStringList FilesBefore;

    TCurrentHeaterSim *Sim() const { return static_cast<TCurrentHeaterSim *>(Heater.get()); }
    QString JournalFolder() const { return Data->filePath(QStringLiteral("Thermoryx Diagnostic")); }
    // The journal of the run being recorded, empty while there is none.
    QByteArray Journal() const
    {
        const QStringList names = QDir(JournalFolder()).entryList({QStringLiteral("*.runjournal")}, QDir::Files);
        return names.size() == 1 ? ReadAll(JournalFolder() + QLatin1Char('/') + names.first()) : QByteArray();
    }
    void StartProgram(QProcess &program, const QString &log, const QStringList &more = {},
                      const TPtyBridge *bridge = nullptr)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Data->path());
        program.setProcessEnvironment(env);
        const QString port = (bridge ? bridge : Bridge.get())->SlavePath();
        program.start(Binary("thermoryx-diagnostic"),
                      QStringList{"--port", port, "--model", "Hydrel-7S", "--log-file", log} + more);
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));
    }
    // The program has found the heater; the heater pumps fuel, and the program records it.
    void RecordRun(const QString &log)
    {
        QVERIFY2(WaitFor([&] { return CountContaining(LogLines(log), QStringLiteral("Version: ")) > 0; }, 20000),
                 qPrintable(LogLines(log).join('\n')));
        PumpAndRecord();
    }
    // The heater pumps fuel, and the program, once it has found the heater, records it.
    void PumpAndRecord()
    {
        QVERIFY(WaitFor(
            [&] {
                if (Sim()->Heater().Values().Mode != 4) {
                    Heater->Receive(CurrentTest::Frame(18));
                    Heater->Receive(CurrentTest::Frame(19, QByteArray(1, char(255))));
                }
                return Sim()->Heater().Values().Mode == 4;
            },
            10000));
        QVERIFY2(WaitFor([&] { return Journal().count("\r\n") >= 3; }, 15000), Journal().constData());
    }

    // The signal ends the program in order, and the run being recorded is saved: its file holds at
    // least what the journal held when the signal went, and the journal is gone.
    void EndsWithTheRunSaved(QProcess &program, int signal)
    {
        const QByteArray recorded = Journal();
        ::kill(pid_t(program.processId()), signal);
        QVERIFY2(program.waitForFinished(15000), "the program is still running 15 s after the signal");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        QStringList files = RunFiles();
        for (const QString &name : FilesBefore)
            files.removeAll(name);
        QCOMPARE(files.size(), 1);
        const QByteArray saved = ReadAll(qEnvironmentVariable("THERMORYX_BIN_DIR") + QLatin1Char('/') + files.first());
        // The journal's first line is the serial number; the rest is the file as it was then.
        QVERIFY2(saved.startsWith(recorded.mid(recorded.indexOf('\n') + 1)), saved.constData());
        QVERIFY(Journal().isEmpty());
    }

private slots:
    void init()
    {
        Heater = CreateSimulator(QStringLiteral("Hydrel-7S"));
        QVERIFY(dynamic_cast<TCurrentHeaterSim *>(Heater.get()));
        Bridge = std::make_unique<TPtyBridge>(Heater.get());
        Data = std::make_unique<QTemporaryDir>();
        FilesBefore = RunFiles();
    }
    void cleanup()
    {
        for (const QString &name : RunFiles())
            if (!FilesBefore.contains(name))
                QFile::remove(qEnvironmentVariable("THERMORYX_BIN_DIR") + QLatin1Char('/') + name);
        Bridge.reset();
        Heater.reset();
        Data.reset();
    }

    void terminationSignalSavesTheRun_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void terminationSignalSavesTheRun()
    {
        QFETCH(int, signal);
        const QString log = Data->filePath(QStringLiteral("log.txt"));
        QProcess program;
        StartProgram(program, log);
        auto end = qScopeGuard([&] { End(program); });
        RecordRun(log);
        EndsWithTheRunSaved(program, signal);
        QVERIFY(CountContaining(LogLines(log), QStringLiteral("Connection lost.")) == 0);
    }

    // The box comes at the program's first turn, before the heater is found: a trace file that cannot
    // be written is the line logged first. The program then finds the heater and records its run
    // while the box waits, as it would behind any box left unanswered.
    void terminationSignalSavesTheRunWhileABoxIsOpen()
    {
        QProcess program;
        StartProgram(program, QStringLiteral("/dev/full"),
                     {"--trace-file", Data->filePath(QStringLiteral("missing/trace.txt"))});
        auto end = qScopeGuard([&] { End(program); });
        PumpAndRecord();
        EndsWithTheRunSaved(program, SIGTERM);
    }

    // The box opens inside the first search burst's wait: the first log line is the search tick, and
    // the box comes at the burst's first turn of the event loop, just after its request has gone out.
    // The wait cannot return until the box has, so the program ends only if the box is closed.
    void terminationSignalEndsAWaitUnderABox_data()
    {
        terminationSignalSavesTheRun_data();
    }
    void terminationSignalEndsAWaitUnderABox()
    {
        QFETCH(int, signal);
        TDeafHeater deaf;
        TPtyBridge bridge(&deaf);
        QProcess program;
        StartProgram(program, QStringLiteral("/dev/full"), {}, &bridge);
        auto end = qScopeGuard([&] { End(program); });
        QVERIFY(WaitFor([&] { return deaf.Heard > 0; }, 15000));

        ::kill(pid_t(program.processId()), signal);
        QVERIFY2(program.waitForFinished(15000), "the program is still running 15 s after the signal");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    void runCutOffByKillIsSavedAtTheNextStart()
    {
        const QString log = Data->filePath(QStringLiteral("log.txt"));
        QProcess program;
        StartProgram(program, log);
        auto end = qScopeGuard([&] { End(program); });
        RecordRun(log);
        program.kill();
        QVERIFY(program.waitForFinished(5000));
        const QByteArray left = Journal();
        QVERIFY(left.startsWith("070001234\n"));
        QStringList files = RunFiles();
        for (const QString &name : FilesBefore)
            files.removeAll(name);
        QVERIFY(files.isEmpty());

        QProcess again;
        StartProgram(again, log);
        auto endAgain = qScopeGuard([&] { End(again); });
        const QString recovered = QStringLiteral("Unsaved run of the last session recovered. Log saved to ");
        QVERIFY2(WaitFor([&] { return CountContaining(LogLines(log), recovered) == 1; }, 15000),
                 qPrintable(LogLines(log).join('\n')));
        QString path;
        for (const QString &line : LogLines(log))
            if (line.contains(recovered))
                path = line.mid(line.indexOf(recovered) + recovered.size());
        QVERIFY2(path.contains(QStringLiteral("[070001234] ")), qPrintable(path));
        QCOMPARE(ReadAll(path), left.mid(left.indexOf('\n') + 1));
    }
};

QTEST_GUILESS_MAIN(TestProgramSignals)
#include "tst_program_signals.moc"
