// The window of a saved run: each column of the file drawn under its own caption for the header of
// every model, no legend entry without a line; a window of its own that closes like any other and
// opens clear of the live graphs; File > Open run log starting in the run-log folder.
#include "app/Globals.h"
#include "app/RunLogWindow.h"
#include "app/fMain.h"
#include "current/CurrentProduct.h"
#include "legacy_air/AirModel.h"
#include "legacy_liquid/Hydrel7.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "support/Harness.h"
#include "views/LegendSquare.h"
#include "views/LineSeries.h"
#include "views/fGraph.h"
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The series in TSeries order, each with its legend caption.
const QList<TSeries> AllSeries = {TSeries::DP,          TSeries::Tout, TSeries::Toverheat, TSeries::Tplate, TSeries::U,
                                  TSeries::TNperiodX10, TSeries::Vust, TSeries::Vcalc,     TSeries::Uplug};

QLabel *CaptionOf(const TfrmGraph &graph, TSeries series)
{
    const QList<QLabel *> captions = {graph.lbl6, graph.lbl7, graph.lbl8, graph.lbl1, graph.lbl2,
                                      graph.lbl3, graph.lbl4, graph.lbl5, graph.lbl17};
    return captions[AllSeries.indexOf(series)];
}

void DestroyHandler()
{
    if (TProduct *product = CurrentProduct) {
        CurrentProduct = nullptr;
        product->Destroy();
        delete product;
    }
}

// The header the chosen model's handler writes: its run log's, or the pump-fuel run's.
QString HeaderOfChosen(bool pumpFuel)
{
    if (auto *current = dynamic_cast<TCurrentProduct *>(CurrentProduct))
        return pumpFuel ? current->PumpFuelRunLogHeader() : current->RunLogHeader();
    if (dynamic_cast<THydrelOld *>(CurrentProduct))
        return THydrelOld::RunLogHeader();
    return CurrentProduct->ModelName() == CorvaOldModel().ModelName ? CorvaOldModel().RunLogHeader
                                                                    : ZephalOldModel().RunLogHeader;
}

// Two rows in which every column holds a value of its own: 100 + its index.
QByteArray RunLogBytes(const QString &header)
{
    const int columns = int(header.count(QLatin1Char(';')));
    QString text = header + QStringLiteral("\r\n");
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < columns; ++column)
            text += QString::number(100 + column) + QLatin1Char(';');
        text += QStringLiteral("\r\n");
    }
    return QStringEncoder("windows-1251").encode(text);
}

QList<TfrmGraph *> ReviewWindows()
{
    QList<TfrmGraph *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *graph = qobject_cast<TfrmGraph *>(widget); graph && graph != frmGraph)
            found << graph;
    return found;
}

TfrmGraph *Open(const QString &path)
{
    const QList<TfrmGraph *> before = ReviewWindows();
    frmMain->AskRunLogPath = [path](const QString &) { return path; };
    frmMain->actOpenRunLog->trigger();
    for (TfrmGraph *graph : ReviewWindows())
        if (!before.contains(graph))
            return graph;
    return nullptr;
}

void CloseAll()
{
    for (TfrmGraph *graph : ReviewWindows())
        graph->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestRunLogReviewWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    QTemporaryDir Folder;

    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = Folder.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

private slots:
    void init() { H = std::make_unique<THarness>(); }
    void cleanup()
    {
        CloseAll();
        DestroyHandler();
        H.reset();
    }

    // Per model: the file's column under each series (empty: the file has none for it).
    void eachColumnUnderItsOwnCaption_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("pumpFuel");
        QTest::addColumn<QStringList>("columns");
        const QStringList current = {"FI", "T ext. sens.", "", "T plate", "Voltage", "FP Freq.", "SB", "ASB", "Plug Voltage"};
        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << false << current;
        QTest::newRow("Hydrel-7S, pump fuel")
            << "Hydrel-7S" << true
            << QStringList{"ИП", "Т внешн. датчика", "", "T платы", "U", "Частота ТН", "Об.заданные", "Об.считанные", "U свечи"};
        QTest::newRow("Zephal-1") << "Zephal-1" << false << current;
        QTest::newRow("Zephal-33 [new rev.]") << "Zephal-33 [new rev.]" << false << current;
        QTest::newRow("Corva-mini") << "Corva-mini" << false
                                    << QStringList{"FI", "T liq.", "T overheat", "T plate", "Voltage", "FP Freq.", "SB", "ASB", "Plug Voltage"};
        QTest::newRow("Zephal old") << "Zephal-3/-33/-6 [old rev.]" << false
                                    << QStringList{"FI", "T ext. sensor", "", "T plate", "Voltage", "FP frequency", "SB", "ASB", ""};
        QTest::newRow("Corva") << "Corva" << false
                               << QStringList{"FI", "T overheat", "", "T plate", "Voltage", "", "SB", "ASB", ""};
        QTest::newRow("Hydrel-7") << "Hydrel-7" << false
                                  << QStringList{"FI", "T liq.1", "T liq.2", "T plate", "U", "FP Freq.", "SB", "ASB", "Plug voltage"};
    }
    void eachColumnUnderItsOwnCaption()
    {
        QFETCH(QString, model);
        QFETCH(bool, pumpFuel);
        QFETCH(QStringList, columns);
        H->Choose(model);
        QVERIFY(CurrentProduct);
        const QString header = HeaderOfChosen(pumpFuel);
        DestroyHandler();
        const QStringList captions = header.split(QLatin1Char(';'));
        const QString path = WriteFile(QStringLiteral("[123456] 2026-12-11 08-00-37.csv"), RunLogBytes(header));
        TfrmGraph *review = Open(path);
        QVERIFY2(review, qPrintable(H->Messages().join('\n')));

        for (qsizetype i = 0; i < AllSeries.size(); ++i) {
            const TSeries series = AllSeries[i];
            const TLinePoints &points = review->Graph(series)->Points();
            QLabel *caption = CaptionOf(*review, series);
            if (columns[i].isEmpty()) {
                QCOMPARE(points.Count(), 0);
                QVERIFY2(caption->isHidden(), qPrintable(caption->text()));
                continue;
            }
            const int column = int(captions.indexOf(columns[i]));
            QVERIFY2(column >= 0, qPrintable(columns[i]));
            QCOMPARE(points.Count(), 2);
            const double scale = series == TSeries::TNperiodX10 ? 10 : 1;
            QCOMPARE(points.ValueAt(0), (100 + column) * scale);
            QVERIFY2(!caption->isHidden(), qPrintable(caption->text()));
        }
        // The two temperatures whose meaning depends on the model carry their columns' captions.
        QCOMPARE(review->lbl7->text(), columns[1] + QStringLiteral(" (°C)"));
        if (!columns[2].isEmpty())
            QCOMPARE(review->lbl8->text(), columns[2] + QStringLiteral(" (°C)"));
        // An exported chart names the heater and the run the file is of.
        const QString title = review->ExportTitle();
        QVERIFY2(title.contains(QStringLiteral("123456")) && title.contains(QStringLiteral("2026-12-11 08:00:37"))
                     && title.contains(model),
                 qPrintable(title));
    }

    void closesLikeAnyOther_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("close box") << 0;
        QTest::newRow("Ctrl+W") << int(Qt::Key_W);
        QTest::newRow("Ctrl+F4") << int(Qt::Key_F4);
    }
    void closesLikeAnyOther()
    {
        QFETCH(int, how);
        const QString path = WriteFile(QStringLiteral("run.csv"), RunLogBytes(THydrelOld::RunLogHeader()));
        QPointer<TfrmGraph> review = Open(path);
        QVERIFY(review);
        // A window of its own with the system's frame, not a child inside the main window.
        QVERIFY(review->isWindow());
        QCOMPARE(review->windowType(), Qt::Window);
        QVERIFY(!(review->windowFlags() & Qt::CustomizeWindowHint));
        QVERIFY(review->isVisible());
        if (how == 0) {
            QVERIFY(review->close());
        } else {
            review->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(review));
            QTest::keyClick(review, Qt::Key(how), Qt::ControlModifier);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(review.isNull());
        QVERIFY(frmGraph);
    }

    void openDialogStartsInTheRunLogFolder()
    {
        QString asked;
        frmMain->AskRunLogPath = [&](const QString &folder) {
            asked = folder;
            return QString();
        };
        frmMain->actOpenRunLog->trigger();
        QCOMPARE(asked, RunLogFolder());
        QVERIFY(ReviewWindows().isEmpty());
    }

    // Live graphs and screen as the main window shows them; the review's client area.
    void placedClearOfTheLiveGraphs_data()
    {
        QTest::addColumn<QRect>("live");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("review");
        QTest::newRow("1920 x 1050: below, full height")
            << QRect(210, 100, 1680, 462) << QRect(0, 0, 1920, 1050) << QRect(210, 597, 1680, 432);
        QTest::newRow("1366 x 768, live graphs low: above, shortened")
            << QRect(10, 420, 1300, 300) << QRect(0, 0, 1366, 768) << QRect(10, 32, 1300, 384);
        QTest::newRow("1366 x 768, live graphs high: below, shortened")
            << QRect(180, 50, 1180, 300) << QRect(0, 0, 1366, 768) << QRect(180, 385, 1180, 382);
        QTest::newRow("no room: over the live graphs' lower part, at the screen's foot")
            << QRect(180, 150, 1180, 462) << QRect(0, 0, 1366, 768) << QRect(180, 399, 1180, 369);
    }
    void placedClearOfTheLiveGraphs()
    {
        QFETCH(QRect, live);
        QFETCH(QRect, screen);
        QFETCH(QRect, review);
        QCOMPARE(ReviewGeometry(live, screen, 432), review);
        QVERIFY(screen.contains(review));
    }
};

QTEST_MAIN(TestRunLogReviewWindow)
#include "tst_run_log_review_window.moc"
