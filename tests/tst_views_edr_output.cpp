// The EDR report leaving the program: the text file holds exactly the report's lines under a proposed
// name of the heater and the reading, a print lays every line out on pages, and the buttons go through
// the stand-in dialogs. A new report is shown from its first line.
#include "core/Dialogs.h"
#include "product/RunLogFile.h"
#include "views/fBB.h"
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void Fill(TfrmBB &window, const QStringList &lines)
{
    window.Clear();
    for (const QString &line : lines)
        window.Append(line);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int PdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(pdf).count(page));
}
} // namespace

class TestEdrOutput : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetDialogHook(nullptr); }

    void savesExactlyTheReportLines_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("one line") << QStringList{QStringLiteral("EDR version: 3")} << QByteArray("EDR version: 3\r\n");
        QTest::newRow("blank lines kept")
            << QStringList{QStringLiteral("Counters"), QString(), QStringLiteral("  Starts: 12")}
            << QByteArray("Counters\r\n\r\n  Starts: 12\r\n");
        QTest::newRow("Cyrillic as UTF-8")
            << QStringList{QStringLiteral("Время: 5 ч")} << QByteArray("\xD0\x92\xD1\x80\xD0\xB5\xD0\xBC\xD1\x8F: 5 \xD1\x87\r\n");
        QTest::newRow("empty report") << QStringList{} << QByteArray();
    }
    void savesExactlyTheReportLines()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, file);
        TfrmBB window;
        Fill(window, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edr.txt"));
        QCOMPARE(window.SaveReport(path), QString());
        QCOMPARE(ReadAll(path), file);
    }

    void saveButtonWritesWhereTheUserChose()
    {
        TfrmBB window;
        Fill(window, {QStringLiteral("A"), QStringLiteral("B")});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("chosen.txt"));
        window.AskSavePath = [&](const QString &) { return path; };
        window.btnSave->click();
        QCOMPARE(ReadAll(path), QByteArray("A\r\nB\r\n"));
    }

    void saveButtonCancelledWritesNothing()
    {
        TfrmBB window;
        Fill(window, {QStringLiteral("A")});
        QTemporaryDir dir;
        window.AskSavePath = [](const QString &) { return QString(); };
        window.btnSave->click();
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void saveFailureIsReported()
    {
        TfrmBB window;
        Fill(window, {QStringLiteral("A")});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no such folder/edr.txt"));
        window.AskSavePath = [&](const QString &) { return path; };
        QStringList messages;
        SetDialogHook([&](TDialogKind, const QString &text) {
            messages << text;
            return TDialogResult::Ok;
        });
        window.btnSave->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral("Cannot create file \"")), qPrintable(messages[0]));
        QVERIFY(!QFile::exists(path));
    }

    void printsEveryLineOntoPages_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("minimumPages");
        QTest::newRow("short report") << 20 << 1;
        QTest::newRow("report longer than a page") << 300 << 2;
    }
    void printsEveryLineOntoPages()
    {
        QFETCH(int, lineCount);
        QFETCH(int, minimumPages);
        TfrmBB window;
        QStringList lines;
        for (int i = 0; i < lineCount; ++i)
            lines << QStringLiteral("Fault record %1: code 13").arg(i);
        Fill(window, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edr.pdf"));
        window.AskPrinter = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        };
        window.btnPrint->click();
        const QByteArray pdf = ReadAll(path);
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY2(PdfPages(pdf) >= minimumPages, qPrintable(QString::number(PdfPages(pdf))));
    }

    void saveProposesTheHeatersNameInTheRunLogFolder()
    {
        TfrmBB window;
        window.SetReport({QStringLiteral("EDR version: 5")}, {QStringLiteral("Corva-mini"), QStringLiteral("934200004"), QStringLiteral("3.1.1.2")},
                         QDateTime(QDate(2026, 12, 11), QTime(8, 0, 37)));
        QString suggested;
        window.AskSavePath = [&](const QString &proposal) {
            suggested = proposal;
            return QString();
        };
        window.btnSave->click();
        QCOMPARE(suggested, RunLogFolder() + QStringLiteral("[934200004] 2026-12-11 08-00-37 EDR.txt"));
    }

    // What is written where: the typed name with ".txt" added when it has none; an existing file
    // replaced only after a Yes.
    void saveAddsTheExtensionAndAsksBeforeReplacing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QByteArray>("inReport");
        QTest::addColumn<int>("questions");
        QTest::newRow("new name without extension") << "fresh" << false << QByteArray("A\r\n") << 0;
        QTest::newRow("existing file, replaced") << "old" << true << QByteArray("A\r\n") << 1;
        QTest::newRow("existing file, kept") << "old.txt" << false << QByteArray("older") << 1;
    }
    void saveAddsTheExtensionAndAsksBeforeReplacing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, answerYes);
        QFETCH(QByteArray, inReport);
        QFETCH(int, questions);
        QTemporaryDir dir;
        QFile old(dir.filePath(QStringLiteral("old.txt")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("older");
        old.close();
        int asked = 0;
        SetDialogHook([&](TDialogKind kind, const QString &) {
            asked += kind == TDialogKind::Question;
            return answerYes ? TDialogResult::Ok : TDialogResult::Cancel;
        });
        TfrmBB window;
        Fill(window, {QStringLiteral("A")});
        window.AskSavePath = [&](const QString &) { return dir.filePath(typed); };
        window.btnSave->click();
        QCOMPARE(asked, questions);
        const QString written = dir.filePath(typed.endsWith(QStringLiteral(".txt")) ? typed : typed + QStringLiteral(".txt"));
        QCOMPARE(ReadAll(written), inReport);
        QVERIFY(!QFile::exists(dir.filePath(typed)) || typed.endsWith(QStringLiteral(".txt")));
    }

    // A wide, long report replaces one scrolled to its end and right: the new one shows its first line
    // at the left.
    void newReportShownFromItsFirstLine()
    {
        TfrmBB window;
        window.resize(400, 300);
        window.show();
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QStringLiteral("%1 ").arg(i, 3) + QString(300, QLatin1Char('0'));
        Fill(window, lines);
        window.mEE->verticalScrollBar()->setValue(window.mEE->verticalScrollBar()->maximum());
        window.mEE->horizontalScrollBar()->setValue(window.mEE->horizontalScrollBar()->maximum());
        QVERIFY(window.mEE->horizontalScrollBar()->value() > 0);
        window.SetReport(lines, {}, QDateTime::currentDateTime());
        QCOMPARE(window.mEE->verticalScrollBar()->value(), 0);
        QCOMPARE(window.mEE->horizontalScrollBar()->value(), 0);
        QCOMPARE(window.mEE->textCursor().position(), 0);
    }

    void printCancelledPrintsNothing()
    {
        TfrmBB window;
        Fill(window, {QStringLiteral("A")});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edr.pdf"));
        window.AskPrinter = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return false;
        };
        window.btnPrint->click();
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestEdrOutput)
#include "tst_views_edr_output.moc"
