// The command line: what each option gives, and the errors for what cannot be used.
#include "app/CommandLine.h"
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("logFile");
        QTest::addColumn<QString>("error"); // a part of the message, or empty
        QTest::newRow("nothing") << QStringList{} << "" << "" << false << "" << "";
        QTest::newRow("port and model") << QStringList{"--port", "/dev/pts/3", "--model", "Hydrel-7S"}
                                        << "/dev/pts/3" << "Hydrel-7S" << false << "" << "";
        QTest::newRow("model with spaces") << QStringList{"--model", "Zephal-3/-33/-6 [old rev.]"} << ""
                                           << "Zephal-3/-33/-6 [old rev.]" << false << "" << "";
        QTest::newRow("demo default") << QStringList{"--demo"} << "" << "Hydrel-7S" << true << "" << "";
        QTest::newRow("demo model") << QStringList{"--demo", "Zephal-1"} << "" << "Zephal-1" << true << "" << "";
        QTest::newRow("demo then option") << QStringList{"--demo", "--log-file", "/tmp/l"} << "" << "Hydrel-7S"
                                          << true << "/tmp/l" << "";
        QTest::newRow("detect") << QStringList{"--port", "ttyUSB0", "--model", "detect"} << "ttyUSB0" << "detect"
                                << false << "" << "";
        QTest::newRow("demo detect") << QStringList{"--demo", "detect"} << "" << "" << false << ""
                                     << "--model detect needs a port";
        QTest::newRow("unknown model") << QStringList{"--model", "Hydrel-9"} << "" << "" << false << ""
                                       << "unknown model: Hydrel-9";
        QTest::newRow("unknown option") << QStringList{"--fast"} << "" << "" << false << ""
                                        << "unknown option: --fast";
        QTest::newRow("port without name") << QStringList{"--port"} << "" << "" << false << ""
                                           << "--port needs a port name";
        QTest::newRow("demo and port") << QStringList{"--demo", "--port", "ttyUSB0"} << "" << "" << false << ""
                                       << "cannot be used together";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, port);
        QFETCH(QString, model);
        QFETCH(bool, demo);
        QFETCH(QString, logFile);
        QFETCH(QString, error);
        const TCommandLine line = TCommandLine::Parse(QStringList{"thermoryx-diagnostic"} + args);
        if (!error.isEmpty()) {
            QVERIFY2(line.Error.contains(error), qPrintable(line.Error));
            return;
        }
        QVERIFY2(line.Error.isEmpty(), qPrintable(line.Error));
        QCOMPARE(line.Port, port);
        QCOMPARE(line.Model, model);
        QCOMPARE(line.Demo, demo);
        QCOMPARE(line.LogFile, logFile);
    }

    void historyDb_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("historyDb");
        QTest::addColumn<QString>("error"); // a part of the message, or empty
        QTest::newRow("not given") << QStringList{"--port", "ttyUSB0"} << "" << "";
        QTest::newRow("path with demo") << QStringList{"--demo", "--history-db", "/tmp/h.sqlite"} << "/tmp/h.sqlite"
                                        << "";
        QTest::newRow("path with spaces") << QStringList{"--history-db", "/media/usb/Workshop history.sqlite"}
                                          << "/media/usb/Workshop history.sqlite" << "";
        QTest::newRow("without path") << QStringList{"--history-db", "--demo"} << "" << "--history-db needs a path";
        QTest::newRow("last without path") << QStringList{"--history-db"} << "" << "--history-db needs a path";
    }
    void historyDb()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, historyDb);
        QFETCH(QString, error);
        const TCommandLine line = TCommandLine::Parse(QStringList{"thermoryx-diagnostic"} + args);
        if (!error.isEmpty()) {
            QVERIFY2(line.Error.contains(error), qPrintable(line.Error));
            return;
        }
        QVERIFY2(line.Error.isEmpty(), qPrintable(line.Error));
        QCOMPARE(line.HistoryDb, historyDb);
    }

    void traceOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("traceFile");
        QTest::addColumn<QString>("replay");
        QTest::addColumn<QString>("error"); // a part of the message, or empty
        QTest::newRow("trace file") << QStringList{"--trace-file", "/tmp/t.trace", "--port", "ttyUSB0"}
                                    << "/tmp/t.trace" << "" << "";
        QTest::newRow("trace file with demo") << QStringList{"--demo", "--trace-file", "/tmp/t"} << "/tmp/t" << ""
                                              << "";
        QTest::newRow("replay with model") << QStringList{"--replay", "/tmp/r", "--model", "Hydrel-7"} << ""
                                           << "/tmp/r" << "";
        QTest::newRow("replay and trace file")
            << QStringList{"--model", "Corva", "--replay", "/tmp/r", "--trace-file", "/tmp/t"} << "/tmp/t"
            << "/tmp/r" << "";
        QTest::newRow("trace file without path") << QStringList{"--trace-file", "--port", "x"} << "" << ""
                                                 << "--trace-file needs a path";
        QTest::newRow("replay without path") << QStringList{"--model", "Corva", "--replay"} << "" << ""
                                             << "--replay needs a path";
        QTest::newRow("replay without model") << QStringList{"--replay", "/tmp/r"} << "" << ""
                                              << "--replay needs --model";
        QTest::newRow("replay and port") << QStringList{"--replay", "/tmp/r", "--model", "Corva", "--port", "x"}
                                         << "" << "" << "--replay cannot be used with --demo or --port";
        QTest::newRow("replay and demo") << QStringList{"--replay", "/tmp/r", "--demo"} << "" << ""
                                         << "--replay cannot be used with --demo or --port";
    }
    void traceOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, traceFile);
        QFETCH(QString, replay);
        QFETCH(QString, error);
        const TCommandLine line = TCommandLine::Parse(QStringList{"thermoryx-diagnostic"} + args);
        if (!error.isEmpty()) {
            QVERIFY2(line.Error.contains(error), qPrintable(line.Error));
            return;
        }
        QVERIFY2(line.Error.isEmpty(), qPrintable(line.Error));
        QCOMPARE(line.TraceFile, traceFile);
        QCOMPARE(line.Replay, replay);
    }

    void helpListsEveryOption()
    {
        const QString help = TCommandLine::HelpText();
        for (const char *option : {"--port", "--model", "--demo", "--log-file", "--trace-file", "--replay", "--history-db", "--help",
                                   "--version"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QVERIFY(help.contains("\"Hydrel-7S\""));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
