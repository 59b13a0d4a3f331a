// The program's log: repetition folded for the window with honest counts, every line kept for the
// --log-file, the window's bound over a day of errors, and a failing log file told once.
#include "app/Globals.h"
#include "app/LogFile.h"
#include "app/fLog.h"
#include "core/LogMemo.h"
#include "core/VirtualScheduler.h"
#include "serial/ComPort.h"
#include "support/Harness.h"
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

namespace {
QStringList WindowLines()
{
    QStringList lines;
    for (QTextBlock block = frmLog->Text->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

// The numbers of the count lines, added up.
qint64 CountedRepeats(const QStringList &shown)
{
    static const QRegularExpression count(QStringLiteral("^… \\((?:repeated )?(\\d+) (?:times|lines? not shown)"));
    qint64 sum = 0;
    for (const QString &line : shown)
        if (const QRegularExpressionMatch match = count.match(line); match.hasMatch())
            sum += match.captured(1).toLongLong();
    return sum;
}
} // namespace

class TestLog : public QObject {
    Q_OBJECT

private slots:
    void folding_data()
    {
        QTest::addColumn<QStringList>("appended");
        QTest::addColumn<QStringList>("shown");

        QTest::newRow("different lines pass") << QStringList{"a", "b", "c"} << QStringList{"a", "b", "c"};
        QTest::newRow("one line repeating, times differ")
            << QStringList{"10:00:01 X failed", "10:00:02 X failed", "10:00:03 X failed", "10:00:04 Y"}
            << QStringList{"10:00:01 X failed", "… (repeated 2 times, the last at 10:00:03)", "10:00:04 Y"};
        QTest::newRow("a single repeat") << QStringList{"p", "p", "q"} << QStringList{"p", "… (repeated once)", "q"};
        QTest::newRow("a cycle of two lines")
            << QStringList{"10:00:01 tick.", "10:00:01 err", "10:00:02 tick.", "10:00:02 err", "10:00:03 tick.", "Z"}
            << QStringList{"10:00:01 tick.", "10:00:01 err",
                           "… (3 lines not shown, repeating 2 of the lines above, the last at 10:00:03)", "Z"};
        // The line right above did not repeat: "repeated" under it would name the wrong line.
        QTest::newRow("an earlier line, not the last")
            << QStringList{"a", "b", "a", "c"} << QStringList{"a", "b", "… (1 line not shown, repeating one of the lines above)", "c"};
        QTest::newRow("an earlier line, several times")
            << QStringList{"a", "b", "a", "a", "c"}
            << QStringList{"a", "b", "… (2 lines not shown, repeating one of the lines above)", "c"};
        QTest::newRow("after a new line the old one shows again")
            << QStringList{"a", "a", "b", "a"} << QStringList{"a", "… (repeated once)", "b", "a"};
        QTest::newRow("a line that dropped out of reach shows again")
            << QStringList{"l1", "l2", "l3", "l4", "l5", "l6", "l7", "l8", "l9", "l1"}
            << QStringList{"l1", "l2", "l3", "l4", "l5", "l6", "l7", "l8", "l9", "l1"};
        QTest::newRow("a different time of day is not a different line")
            << QStringList{"9:59:59 e", "10:00:00 e"} << QStringList{"9:59:59 e"};
    }
    void folding()
    {
        QFETCH(QStringList, appended);
        QFETCH(QStringList, shown);
        TVirtualScheduler clock;
        TScheduler::Install(&clock);
        QStringList seen, recorded;
        {
            TLogMemo log;
            connect(&log, &TLogMemo::LineShown, this, [&](const QString &line) { seen << line; });
            connect(&log, &TLogMemo::LineRecorded, this, [&](const QString &line) { recorded << line; });
            for (const QString &line : appended)
                log.Append(line);
        }
        TScheduler::Install(nullptr);
        QCOMPARE(seen, shown);
        QCOMPARE(recorded, appended);
    }

    // A repetition that never ends still reports, once a minute, and the counts add up to every repeat.
    void endlessRepetitionReportsEveryMinute()
    {
        TVirtualScheduler clock;
        TScheduler::Install(&clock);
        QStringList seen;
        {
            TLogMemo log;
            connect(&log, &TLogMemo::LineShown, this, [&](const QString &line) { seen << line; });
            const int seconds = 10 * 60;
            for (int i = 0; i <= seconds; ++i) {
                log.Append(QStringLiteral("Port not open"));
                clock.AdvanceBy(1000);
            }
            QCOMPARE(seen.first(), QStringLiteral("Port not open"));
            QCOMPARE(seen.size(), 1 + 10);
            log.ReportRepeats();
            QCOMPARE(CountedRepeats(seen), qint64(seconds));
        }
        TScheduler::Install(nullptr);
    }

    void windowKeepsTheLatestLines()
    {
        THarness h;
        const int appended = TfrmLog::MaxLines + 2500;
        for (int i = 0; i < appended; ++i)
            mLog->Append(QStringLiteral("line %1").arg(i));
        const QStringList lines = WindowLines();
        QCOMPARE(lines.size(), TfrmLog::MaxLines);
        QCOMPARE(lines.first(), QStringLiteral("line %1").arg(appended - TfrmLog::MaxLines));
        QCOMPARE(lines.last(), QStringLiteral("line %1").arg(appended - 1));
        QCOMPARE(h.LogLines().size(), appended);
    }

    // A day on the virtual clock with a heater that never answers, and with the adapter pulled out
    // after the choice: the window stays within its bound and far below what was logged.
    void dayOfErrorsStaysBounded_data()
    {
        QTest::addColumn<bool>("adapterOut");
        QTest::newRow("silent heater") << false;
        QTest::newRow("adapter out") << true;
    }
    void dayOfErrorsStaysBounded()
    {
        QFETCH(bool, adapterOut);
        THarness h;
        h.Choose(QStringLiteral("Hydrel-7S"));
        if (adapterOut)
            ComPort->Close();
        constexpr qint64 Day = 24LL * 3600 * 1000;
        h.Clock.AdvanceBy(Day);
        const QStringList lines = WindowLines();
        QVERIFY(lines.size() <= TfrmLog::MaxLines);
        QVERIFY2(h.LogLines().size() > 10 * lines.size(),
                 qPrintable(QStringLiteral("%1 logged, %2 shown").arg(h.LogLines().size()).arg(lines.size())));
        QVERIFY(frmLog->Text->document()->characterCount() < TfrmLog::MaxLines * 200);
    }

    void failingLogFileIsToldOnce()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        THarness h;
        TLogFile file(mLog);
        QString error;
        QVERIFY2(file.Open(QStringLiteral("/dev/full"), error), qPrintable(error));
        for (int i = 0; i < 5; ++i)
            mLog->Append(QStringLiteral("line %1").arg(i));
        h.Clock.AdvanceBy(1);
        QVERIFY(file.Failed());
        QCOMPARE(h.Dialogs.size(), size_t(1));
        QCOMPARE(h.Dialogs.front().first, TDialogKind::Message);
        QVERIFY(h.Dialogs.front().second.contains(QStringLiteral("/dev/full")));
        QCOMPARE(h.LogLines().filter(QStringLiteral("could not be written")).size(), 1);
        QCOMPARE(WindowLines().filter(QStringLiteral("could not be written")).size(), 1);
    }

    // Every line reaches the file as it comes, repeats too, each one on disk before the next.
    void logFileKeepsTheWholeRecord()
    {
        THarness h;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("program.log"));
        TLogFile file(mLog);
        QString error;
        QVERIFY2(file.Open(path, error), qPrintable(error));
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        const QStringList lines{"10:00:01 X failed", "10:00:02 X failed", "10:00:03 X failed", "10:00:04 Y"};
        QByteArray expected;
        for (const QString &line : lines) {
            mLog->Append(line);
            expected += line.toUtf8() + '\n';
            QCOMPARE(reader.readAll(), line.toUtf8() + '\n');
        }
        QVERIFY(!file.Failed());
        QVERIFY(h.Dialogs.empty());
        QFile whole(path);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QCOMPARE(whole.readAll(), expected);
    }
};

QTEST_MAIN(TestLog)
#include "tst_log.moc"
