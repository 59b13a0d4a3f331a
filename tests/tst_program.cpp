// The program binary from outside: its options, its errors, and a start on a named port offscreen.
#include <QtTest>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
QString Program()
{
    return qEnvironmentVariable("THERMORYX_BIN_DIR") + QStringLiteral("/thermoryx-diagnostic");
}

struct TRun {
    int ExitCode;
    QString Out;
    QString Err;
};

TRun Run(const QStringList &args)
{
    QProcess process;
    process.start(Program(), args);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void helpListsTheOptions()
    {
        const TRun run = Run({"--help"});
        QCOMPARE(run.ExitCode, 0);
        for (const char *option : {"--port", "--model", "--demo", "--log-file", "--help", "--version"})
            QVERIFY2(run.Out.contains(QLatin1String(option)), option);
    }

    void versionPrintsTheVersion()
    {
        const TRun run = Run({"--version"});
        QCOMPARE(run.ExitCode, 0);
        QVERIFY(run.Out.startsWith("thermoryx-diagnostic "));
    }

    void badArgumentsEndWithAClearError_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--colour"} << "unknown option: --colour";
        QTest::newRow("unknown model") << QStringList{"--model", "Zephal-9"} << "unknown model: Zephal-9";
    }
    void badArgumentsEndWithAClearError()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const TRun run = Run(args);
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains(message), qPrintable(run.Err));
    }

    // With --port the adapter dialog is skipped; the program runs until it is told to end.
    void startsOnANamedPortWithoutTheDialog()
    {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        grantpt(master);
        unlockpt(master);
        QTemporaryDir dir;
        const QString log = dir.filePath("log.txt");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(Program(), {"--port", QString::fromLocal8Bit(ptsname(master)), "--log-file", log});
        QVERIFY(process.waitForStarted());
        QVERIFY(!process.waitForFinished(1500));
        QCOMPARE(process.state(), QProcess::Running);
        QVERIFY(QFile::exists(log));
        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        ::close(master);
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
