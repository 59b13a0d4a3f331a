// The EDR report leaving the program: the text file holds exactly the report's lines, a print lays
// every line out on pages, and the buttons go through the stand-in dialogs.
#include "core/Dialogs.h"
#include "views/fBB.h"
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
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
