// The real binaries over a real pseudo-terminal: the simulated heater goes away as an adapter pulled
// out does (its pseudo-terminal closes) and comes back on the same link path; the program notes each
// once in its log, opens the port again by itself and identifies the heater anew. It waits in real
// time (the processes run on their own clocks), bounded to about a minute.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include "support/Processes.h"

using namespace ProcessTest;

class TestE2eReplug : public QObject {
    Q_OBJECT

    // Waits until the log has at least count lines with the text; the lines so far.
    static QStringList WaitFor(const QString &log, const QString &text, int count, QProcess &program)
    {
        QDeadlineTimer deadline(25000);
        QStringList lines;
        while (!deadline.hasExpired() && program.state() == QProcess::Running) {
            lines = LogLines(log);
            if (CountContaining(lines, text) >= count)
                break;
            QTest::qWait(200);
        }
        return lines;
    }

    static QString StartHeater(QProcess &heater, const QString &link)
    {
        heater.start(Binary("thermoryx-heater-sim"), {"--model", "Hydrel-7S", "--link", link});
        if (!heater.waitForStarted(5000))
            return QString();
        return PtyPath(heater);
    }

private slots:
    void heaterFoundAgainAfterTheLinkCameBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("heater"));
        const QString log = dir.filePath(QStringLiteral("log.txt"));

        QProcess heater;
        auto endHeater = qScopeGuard([&] { End(heater); });
        QVERIFY(StartHeater(heater, link).startsWith(QLatin1String("/dev/")));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(Binary("thermoryx-diagnostic"), {"--port", link, "--model", "Hydrel-7S", "--log-file", log});
        auto endProgram = qScopeGuard([&] { End(program); });
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));

        QStringList lines = WaitFor(log, QStringLiteral("Version: "), 1, program);
        QVERIFY2(CountContaining(lines, QStringLiteral("Version: ")) == 1, qPrintable(lines.join('\n')));

        End(heater);
        lines = WaitFor(log, QStringLiteral("Connection lost."), 1, program);
        QVERIFY2(CountContaining(lines, QStringLiteral("reading stopped")) == 1, qPrintable(lines.join('\n')));
        QVERIFY2(CountContaining(lines, QStringLiteral("Connection lost.")) == 1, qPrintable(lines.join('\n')));
        // Away a little longer: the log stays quiet.
        QTest::qWait(3000);
        const qsizetype whileAway = LogLines(log).size();
        QTest::qWait(3000);
        lines = LogLines(log);
        QVERIFY2(lines.size() == whileAway, qPrintable(lines.join('\n')));

        QVERIFY(StartHeater(heater, link).startsWith(QLatin1String("/dev/")));
        lines = WaitFor(log, QStringLiteral("Version: "), 2, program);
        QVERIFY2(CountContaining(lines, QStringLiteral("Version: ")) == 2, qPrintable(lines.join('\n')));
        QCOMPARE(CountContaining(lines, QStringLiteral("reading stopped")), 1);
        QCOMPARE(CountContaining(lines, QStringLiteral("the adapter is back")), 1);
        QCOMPARE(CountContaining(lines, QStringLiteral("Port Not Open")), 0);
        QCOMPARE(program.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestE2eReplug)
#include "tst_e2e_replug.moc"
