// The names of the files a technician takes away: built from the serial number and the moment as the
// run logs are, the format's extension added to a name typed without one, and a file that exists
// replaced only when the user says so.
#include "core/Dialogs.h"
#include "product/ExportName.h"
#include "product/RunLogFile.h"
#include "views/SavePath.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestExportNames : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetDialogHook(nullptr); }

    void nameFromSerialAndTime_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("name");
        const QDateTime morning(QDate(2026, 12, 11), QTime(8, 0, 37));
        QTest::newRow("EDR report") << "934200004" << morning << "EDR" << "txt" << "[934200004] 2026-12-11 08-00-37 EDR.txt";
        QTest::newRow("chart picture") << "17-0042" << morning << "chart" << "png" << "[17-0042] 2026-12-11 08-00-37 chart.png";
        QTest::newRow("trace, heater never identified")
            << QString() << morning << "trace" << "trace" << "[unidentified] 2026-12-11 08-00-37 trace.trace";
        QTest::newRow("digits padded") << "5" << QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5)) << "chart" << "pdf"
                                       << "[5] 2027-01-02 03-04-05 chart.pdf";
    }
    void nameFromSerialAndTime()
    {
        QFETCH(QString, serial);
        QFETCH(QDateTime, at);
        QFETCH(QString, what);
        QFETCH(QString, extension);
        QFETCH(QString, name);
        QCOMPARE(ExportFileName(serial, at, what, extension), name);
        // The same stem as the run log of the same heater and moment: they sort together.
        QVERIFY(name.startsWith(RunLogFileName(serial, at).chopped(4) + QLatin1Char(' ')));
    }

    // A day's output names the day alone, after the serial number in the same brackets.
    void nameFromSerialAndDay_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("name");
        QTest::newRow("service report") << "934200004" << "[934200004] 2026-12-11 service report.pdf";
        QTest::newRow("serial with a blank") << "07 1234" << "[07 1234] 2026-12-11 service report.pdf";
        QTest::newRow("heater never identified") << QString() << "[unidentified] 2026-12-11 service report.pdf";
    }
    void nameFromSerialAndDay()
    {
        QFETCH(QString, serial);
        QFETCH(QString, name);
        QCOMPARE(DayExportFileName(serial, QDate(2026, 12, 11), QStringLiteral("service report"), QStringLiteral("pdf")),
                 name);
    }

    void extensionAddedWhenNoneTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("path");
        QTest::newRow("bare name") << "/home/t/export-chart" << "png" << "/home/t/export-chart.png";
        QTest::newRow("trace") << "/home/t/mytrace" << "trace" << "/home/t/mytrace.trace";
        QTest::newRow("own extension kept") << "/home/t/chart.png" << "png" << "/home/t/chart.png";
        QTest::newRow("other extension kept") << "/home/t/notes.log" << "txt" << "/home/t/notes.log";
        QTest::newRow("upper-case extension kept") << "/home/t/CHART.PNG" << "png" << "/home/t/CHART.PNG";
        QTest::newRow("trailing dot completed") << "/home/t/report." << "txt" << "/home/t/report.txt";
        QTest::newRow("dot in the folder only") << "/home/t.v2/report" << "txt" << "/home/t.v2/report.txt";
        QTest::newRow("dot inside the name is no extension")
            << "/home/t/[1.2] 2026-12-11 08-00-37 EDR" << "txt" << "/home/t/[1.2] 2026-12-11 08-00-37 EDR.txt";
        QTest::newRow("cancelled stays empty") << QString() << "txt" << QString();
    }
    void extensionAddedWhenNoneTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, extension);
        QFETCH(QString, path);
        QCOMPARE(WithExtension(typed, extension), path);
    }

    // The question comes for the file actually written, the one with the extension added.
    void replacingAFileIsAsked_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("kept");
        QTest::newRow("new file, nothing asked") << "fresh" << false << false << true;
        QTest::newRow("existing file, replaced") << "old" << true << true << true;
        QTest::newRow("existing file, kept") << "old" << false << true << false;
        QTest::newRow("existing with its extension typed") << "old.txt" << false << true << false;
    }
    void replacingAFileIsAsked()
    {
        QFETCH(QString, typed);
        QFETCH(bool, answerYes);
        QFETCH(bool, asked);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        QFile old(dir.filePath(QStringLiteral("old.txt")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QStringList questions;
        SetDialogHook([&](TDialogKind kind, const QString &text) {
            if (kind == TDialogKind::Question)
                questions << text;
            return answerYes ? TDialogResult::Ok : TDialogResult::Cancel;
        });
        const QString result = FinishSavePath(dir.filePath(typed), QStringLiteral("txt"));
        const QString expected = WithExtension(dir.filePath(typed), QStringLiteral("txt"));
        QCOMPARE(result, kept ? expected : QString());
        QCOMPARE(questions.size(), asked ? 1 : 0);
        if (asked)
            QVERIFY2(questions[0].contains(QStringLiteral("old.txt")) && questions[0].contains(QStringLiteral("Replace")),
                     qPrintable(questions[0]));
    }
};

QTEST_MAIN(TestExportNames)
#include "tst_export_names.moc"
