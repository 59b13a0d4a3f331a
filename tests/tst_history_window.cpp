// File > "History..." (Ctrl+H): the heaters of the history, narrowed as the search is typed; the
// chosen heater's visits, runs and EDR reads; a run opens in the review window of a saved run and an
// EDR read in the EDR window with the heater it came from.
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/fMain.h"
#include "history/HistoryStore.h"
#include "support/EdrImages.h"
#include "support/Harness.h"
#include "views/fBB.h"
#include "views/fGraph.h"
#include "views/fHistory.h"
#include <QAction>
#include <QMdiArea>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList Column(const QTableWidget *list, int column)
{
    QStringList cells;
    for (int row = 0; row < list->rowCount(); ++row)
        cells << list->item(row, column)->text();
    return cells;
}

QList<TfrmGraph *> ReviewWindows()
{
    QList<TfrmGraph *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *graph = qobject_cast<TfrmGraph *>(widget); graph && graph != frmGraph)
            found << graph;
    return found;
}
} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
    QTemporaryDir Dir;
    std::unique_ptr<THarness> H;
    QString RunFile;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        RunFile = Dir.filePath(QStringLiteral("[070001234] 2026-12-05 17-00-00.csv"));
        QFile file(RunFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringEncoder("windows-1251")
                       .encode(QStringLiteral("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM "
                                              "impulse/1000;FI;T ext. sens.;T plate;Voltage;FaultCode;\r\n"
                                              "3;0;3;1;3;60;60;2.50;0;0;420;-3;48;12.2;0;\r\n"
                                              "3;0;4;2;4;60;60;2.50;0;0;420;-3;49;12.1;0;\r\n")));
        file.close();

        THistoryStore store;
        QVERIFY(store.Open(Dir.filePath(QStringLiteral("h.sqlite"))));
        const QDateTime day(QDate(2026, 12, 5), QTime(9, 0));
        for (int i = 0; i < 30; ++i)
            store.NoteHeater(QStringLiteral("Corva-mini"), QStringLiteral("1520%1").arg(i, 5, 10, QLatin1Char('0')),
                             QStringLiteral("3.1"), day.addDays(-i - 1));
        const qint64 id = *store.NoteHeater(QStringLiteral("Hydrel-7S"), QStringLiteral("070001234"),
                                            QStringLiteral("1.2.0.3.17"), day.addDays(-3));
        TRunSummary summary;
        summary.Rows = 2;
        summary.Stages = {3};
        summary.LowestVoltage = 12.1;
        QVERIFY(store.AddRun(id, RunFile, day.addSecs(8 * 3600), summary));
        QVERIFY(store.AddEdrRead(id, day.addSecs(8 * 3600 + 300), QByteArray(1024, '\x01'),
                                 QStringLiteral("EDR of 070001234\nFault records: none")));
    }
    void init()
    {
        H = std::make_unique<THarness>();
        StartHistory(Dir.filePath(QStringLiteral("h.sqlite")));
    }
    void cleanup()
    {
        for (TfrmGraph *graph : ReviewWindows())
            graph->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StopHistory();
        H.reset();
    }

    // The window opens from the menu inside the main window, whole on the screen, the heaters seen
    // last first; the search narrows the list by serial number or model as it is typed.
    void searchNarrowsTheHeaters_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("serial part") << "0700" << QStringList{"070001234"};
        QTest::newRow("model") << "HYDREL" << QStringList{"070001234"};
        QTest::newRow("serial end") << "00029" << QStringList{"152000029"};
        QTest::newRow("none") << "Zephal" << QStringList{};
    }
    void searchNarrowsTheHeaters()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, serials);
        QCOMPARE(frmMain->actHistory->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
        frmMain->actHistory->trigger();
        QVERIFY(frmHistory->isVisible());
        QVERIFY(frmMain->Area->viewport()->rect().contains(frmHistory->parentWidget()->geometry()));
        QCOMPARE(frmHistory->grdHeaters->rowCount(), 31);
        QCOMPARE(Column(frmHistory->grdHeaters, 0).mid(0, 2), (QStringList{"152000000", "152000001"}));
        QCOMPARE(Column(frmHistory->grdHeaters, 0).last(), QStringLiteral("152000029"));
        frmHistory->edtSearch->clear();
        QTest::keyClicks(frmHistory->edtSearch, search);
        QCOMPARE(Column(frmHistory->grdHeaters, 0), serials);
        QCOMPARE(frmHistory->lblHeaters->text(), QStringLiteral("%1 of %1 heaters").arg(serials.size()));
    }

    // The chosen heater's day, its run with the file's figures and its EDR read; the run opens in a
    // review window of its file, the EDR read in the EDR window under the heater's identity.
    void chosenHeaterListsRunsAndReads()
    {
        frmMain->actHistory->trigger();
        QTest::keyClicks(frmHistory->edtSearch, QStringLiteral("070001234"));
        QCOMPARE(frmHistory->grdHeaters->rowCount(), 1);
        // The heater listed first is shown without a click.
        QCOMPARE(frmHistory->grdHeaters->currentRow(), 0);
        QCOMPARE(Column(frmHistory->grdVisits, 0), (QStringList{"2026-12-02", "2026-12-05"}));
        QCOMPARE(Column(frmHistory->grdVisits, 1), (QStringList{"0", "1"}));
        QCOMPARE(frmHistory->grdRuns->rowCount(), 1);
        QCOMPARE(frmHistory->grdRuns->item(0, 0)->text(), QStringLiteral("2026-12-05 16:59:58"));
        QCOMPARE(frmHistory->grdRuns->item(0, 1)->text(), QStringLiteral("00:00:02"));
        QCOMPARE(frmHistory->grdRuns->item(0, 4)->text(), QStringLiteral("12.1"));
        QCOMPARE(frmHistory->grdEdrReads->rowCount(), 1);

        frmHistory->grdRuns->setCurrentCell(0, 0);
        frmHistory->btnOpenRun->click();
        const QList<TfrmGraph *> reviews = ReviewWindows();
        QCOMPARE(reviews.size(), 1);
        QVERIFY2(reviews[0]->windowTitle().contains(QFileInfo(RunFile).fileName()), qPrintable(reviews[0]->windowTitle()));

        frmHistory->grdEdrReads->setCurrentCell(0, 0);
        frmHistory->btnOpenEdr->click();
        QCOMPARE(frmBB->Lines(), (QStringList{"EDR of 070001234", "Fault records: none"}));
        QVERIFY(frmBB->isVisible());
    }

    // Two EDR reads of a heater compared in words and as a table (two chosen, or one and the read
    // before it), and the day's service report from what the history holds of that day.
    void comparesReadsAndMakesTheDaysReport()
    {
        const QString path = Dir.filePath(QStringLiteral("compare.sqlite"));
        const QString model = QStringLiteral("Hydrel-7S");
        const QDateTime march(QDate(2026, 3, 2), QTime(9, 15));
        const QDateTime april(QDate(2026, 4, 10), QTime(14, 0));
        {
            THistoryStore store;
            QVERIFY(store.Open(path));
            const qint64 id = *store.NoteHeater(model, QStringLiteral("070001234"), QStringLiteral("1.2.0.3.17"), march);
            QByteArray newer = SimulatedEdrImage(model);
            PokeEdrImage(newer, model, 13, 166, 2);
            PokeEdrImage(newer, model, 71, 133, 2);
            QVERIFY(store.AddEdrRead(id, march, SimulatedEdrImage(model), QStringLiteral("March")));
            store.NoteHeater(model, QStringLiteral("070001234"), QStringLiteral("1.2.0.3.17"), april);
            QVERIFY(store.AddEdrRead(id, april, newer, QStringLiteral("April")));
            QVERIFY(store.AddRun(id, RunFile, april.addSecs(600), TRunSummary{}));
        }
        StartHistory(path);
        frmMain->actHistory->trigger();
        frmHistory->grdHeaters->setCurrentCell(0, 0);
        QCOMPARE(frmHistory->grdEdrReads->rowCount(), 2);
        QVERIFY(frmHistory->btnCompare->isEnabled());

        const QString expected = QStringLiteral(
            "Since 2026-03-02: ignition attempts up by 14, starts at the first attempt up by 2; no new fault records.");
        frmHistory->grdEdrReads->selectRow(1);
        frmHistory->btnCompare->click();
        QCOMPARE(frmHistory->lblChanges->text(), expected);
        QCOMPARE(Column(frmHistory->grdChanges, 3), (QStringList{"+14", "+2"}));
        frmHistory->grdEdrReads->clearSelection();
        frmHistory->grdEdrReads->selectRow(0);
        frmHistory->btnCompare->click();
        QCOMPARE(frmHistory->grdChanges->rowCount(), 0);
        QVERIFY(frmHistory->lblChanges->text().startsWith(QStringLiteral("Choose two EDR reads")));

        const std::optional<TServiceReportInput> report = frmHistory->ServiceReportFor(april.date());
        QVERIFY(report);
        QCOMPARE(report->Heater.SerialNumber, QStringLiteral("070001234"));
        QCOMPARE(report->EdrReadAt, april);
        QVERIFY(!report->Edr.Counters.isEmpty());
        QCOMPARE(report->EdrChanges, expected);
        QCOMPARE(report->RunLogPaths, QStringList{RunFile});
        const QString pdf = Dir.filePath(QStringLiteral("report.pdf"));
        QCOMPARE(WriteServiceReportPdf(*report, pdf), QString());
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(4) == "%PDF");
        // The first visit's day has its EDR read and nothing to compare it with, and no run.
        const std::optional<TServiceReportInput> first = frmHistory->ServiceReportFor(march.date());
        QVERIFY(first);
        QCOMPARE(first->EdrReadAt, march);
        QVERIFY(first->EdrChanges.isEmpty());
        QVERIFY(first->RunLogPaths.isEmpty());
    }

    // "More" adds the next page of heaters to the list.
    void morePagesFollow()
    {
        const QString path = Dir.filePath(QStringLiteral("pages.sqlite"));
        {
            THistoryStore store;
            QVERIFY(store.Open(path));
            QVERIFY(store.Begin());
            for (int i = 0; i < TfrmHistory::PageSize + 50; ++i)
                store.NoteHeater(QStringLiteral("Zephal-1"), QStringLiteral("01%1").arg(i, 7, 10, QLatin1Char('0')),
                                 QString(), QDateTime(QDate(2025, 1, 1), QTime(8, 0)).addSecs(i));
            QVERIFY(store.Commit());
        }
        StartHistory(path);
        frmMain->actHistory->trigger();
        QCOMPARE(frmHistory->grdHeaters->rowCount(), TfrmHistory::PageSize);
        QCOMPARE(frmHistory->lblHeaters->text(), QStringLiteral("200 of 250 heaters"));
        QVERIFY(frmHistory->btnMore->isEnabled());
        frmHistory->btnMore->click();
        QCOMPARE(frmHistory->grdHeaters->rowCount(), TfrmHistory::PageSize + 50);
        QVERIFY(!frmHistory->btnMore->isEnabled());
        // Seen last first, across the pages.
        QCOMPARE(frmHistory->Heaters().first().SerialNumber, QStringLiteral("010000249"));
        QCOMPARE(frmHistory->Heaters().last().SerialNumber, QStringLiteral("010000000"));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
