// The real binaries over a real pseudo-terminal: thermoryx-heater-sim serves a current-family heater,
// the program finds and identifies it through its serial port and ends its search. It waits in real time (the
// processes run on their own clocks), bounded to about half a minute.
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include "support/Processes.h"

using namespace ProcessTest;

class TestE2eCurrent : public QObject {
    Q_OBJECT

private slots:
    void programIdentifiesTheSimulatedHeater_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("searchTick");
        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << "Number: 070001234" << "Version: 1.2.0.3.17" << ".OnSearchTimer.";
        QTest::newRow("Zephal-33D") << "Zephal-33 [new rev.]" << "Number: 330120456" << "Version: 18.3.1.5"
                                    << ".OnSearchTimer.";
        QTest::newRow("Zephal-1") << "Zephal-1" << "Number: 010098765" << "Version: 7.2.0.11" << ".OnSearchTimer.";
        QTest::newRow("Corva-Mini") << "Corva-mini" << "Number: 152024017" << "Version: 3.1.1.2"
                                    << " SearchTimerEvent";
    }
    void programIdentifiesTheSimulatedHeater()
    {
        QFETCH(QString, model);
        QFETCH(QString, number);
        QFETCH(QString, version);
        QFETCH(QString, searchTick);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("heater"));
        const QString log = dir.filePath(QStringLiteral("log.txt"));

        QProcess heater;
        heater.start(Binary("thermoryx-heater-sim"), {"--model", model, "--link", link});
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
        program.start(Binary("thermoryx-diagnostic"), {"--port", pty, "--model", model, "--log-file", log});
        auto endProgram = qScopeGuard([&] { End(program); });
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));

        // Identification, then the search ends with the status stream switched on.
        QDeadlineTimer deadline(20000);
        QStringList lines;
        while (!deadline.hasExpired() && program.state() == QProcess::Running) {
            lines = LogLines(log);
            if (CountContaining(lines, version) > 0)
                break;
            QTest::qWait(200);
        }
        QVERIFY2(CountContaining(lines, number) > 0, qPrintable(lines.join('\n')));
        QVERIFY2(CountContaining(lines, version) > 0, qPrintable(lines.join('\n')));

        // One more search tick switches the stream on; after it the search stays quiet and the heater
        // is not lost.
        QTest::qWait(4000);
        const int searchTicks = CountContaining(LogLines(log), searchTick);
        QTest::qWait(3000);
        lines = LogLines(log);
        QCOMPARE(CountContaining(lines, searchTick), searchTicks);
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

QTEST_GUILESS_MAIN(TestE2eCurrent)
#include "tst_e2e_current.moc"
