// The real binaries over a real pseudo-terminal, once per legacy air-family model:
// thermoryx-heater-sim serves the heater, the program finds and identifies it through its serial
// port and polls it. It waits in real time (the processes run on their own clocks), bounded to about
// half a minute per model.
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include "support/Processes.h"

using namespace ProcessTest;

class TestE2eLegacyAir : public QObject {
    Q_OBJECT

private slots:
    void programPollsTheSimulatedHeater_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("cycleEnd");
        QTest::newRow("Zephal") << QStringLiteral("Zephal-3/-33/-6 [old rev.]") << QStringLiteral("051193046")
                                << QStringLiteral("3-12") << QStringLiteral(" SendCommand(35)");
        QTest::newRow("Corva") << QStringLiteral("Corva") << QStringLiteral("120345678") << QStringLiteral("2-7")
                               << QStringLiteral(" SendCommand(29)");
    }
    void programPollsTheSimulatedHeater()
    {
        QFETCH(QString, model);
        QFETCH(QString, number);
        QFETCH(QString, version);
        QFETCH(QString, cycleEnd);
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

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(Binary("thermoryx-diagnostic"), {"--port", pty, "--model", model, "--log-file", log});
        auto endProgram = qScopeGuard([&] { End(program); });
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));

        // Identification, then polling: the cycle's last request goes out at least twice.
        QDeadlineTimer deadline(25000);
        QStringList lines;
        while (!deadline.hasExpired() && program.state() == QProcess::Running) {
            lines = LogLines(log);
            if (CountContaining(lines, cycleEnd) >= 2)
                break;
            QTest::qWait(200);
        }
        QVERIFY2(CountContaining(lines, QStringLiteral(" FullNumber: ") + number) > 0, qPrintable(lines.join('\n')));
        QVERIFY2(CountContaining(lines, QStringLiteral(" Version: ") + version) > 0, qPrintable(lines.join('\n')));
        QVERIFY2(CountContaining(lines, cycleEnd) >= 2, qPrintable(lines.join('\n')));
        QCOMPARE(CountContaining(lines, QStringLiteral("Connection lost.")), 0);
        QCOMPARE(program.state(), QProcess::Running);

        endProgram.dismiss();
        End(program);
        endHeater.dismiss();
        End(heater);
        QCOMPARE(heater.exitStatus(), QProcess::NormalExit);
    }
};

QTEST_GUILESS_MAIN(TestE2eLegacyAir)
#include "tst_e2e_legacy_air.moc"
