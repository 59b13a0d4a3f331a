// The real binaries over a real pseudo-terminal: thermoryx-heater-sim serves a Hydrel-7, the program
// finds and identifies it through its serial port at 1200 baud, ends its search and takes the
// heater's status cycle. It waits in real time (the
// processes run on their own clocks), bounded to about half a minute.
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include "support/Processes.h"

using namespace ProcessTest;

class TestE2eLegacyLiquid : public QObject {
    Q_OBJECT

private slots:
    void programIdentifiesTheSimulatedHeater()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("heater"));
        const QString log = dir.filePath(QStringLiteral("log.txt"));

        QProcess heater;
        heater.start(Binary("thermoryx-heater-sim"), {"--model", "Hydrel-7", "--link", link});
        auto endHeater = qScopeGuard([&] { End(heater); });
        QVERIFY2(heater.waitForStarted(5000), qPrintable(heater.errorString()));
        const QString pty = PtyPath(heater);
        QVERIFY2(pty.startsWith(QLatin1String("/dev/")), qPrintable(pty + heater.readAllStandardError()));
        QCOMPARE(QFileInfo(link).symLinkTarget(), pty);

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(Binary("thermoryx-diagnostic"), {"--port", pty, "--model", "Hydrel-7", "--log-file", log});
        auto endProgram = qScopeGuard([&] { End(program); });
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));

        // Identification, then the search ends with the status stream switched on.
        QDeadlineTimer deadline(20000);
        QStringList lines;
        while (!deadline.hasExpired() && program.state() == QProcess::Running) {
            lines = LogLines(log);
            if (CountContaining(lines, QStringLiteral("Version: 2.0.13")) > 0)
                break;
            QTest::qWait(200);
        }
        QVERIFY2(CountContaining(lines, QStringLiteral("Number: 120345678")) > 0, qPrintable(lines.join('\n')));
        QVERIFY2(CountContaining(lines, QStringLiteral("Version: 2.0.13")) > 0, qPrintable(lines.join('\n')));

        // One more search tick switches the stream on; after it the search stays quiet. The program sends
        // nothing more, so only the heater's status cycle, taken frame by frame, keeps the watchdog from
        // losing the line in the twelve seconds after.
        QTest::qWait(4000);
        const int searchTicks = CountContaining(LogLines(log), QStringLiteral(".OnSearchTimer."));
        QTest::qWait(13000);
        lines = LogLines(log);
        QCOMPARE(CountContaining(lines, QStringLiteral(".OnSearchTimer.")), searchTicks);
        QCOMPARE(CountContaining(lines, QStringLiteral("Connection lost.")), 0);
        QCOMPARE(program.state(), QProcess::Running);

        endProgram.dismiss();
        End(program);
        endHeater.dismiss();
        End(heater);
        // The simulator ends cleanly on SIGTERM and takes its link away.
        QCOMPARE(heater.exitStatus(), QProcess::NormalExit);
        QCOMPARE(heater.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestE2eLegacyLiquid)
#include "tst_e2e_legacy_liquid.moc"
