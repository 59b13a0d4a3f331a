// A saved run reviewed: a run recorded on the virtual clock against each family's simulated heater is
// saved, opened through File > Open run log into a graphs window of its own, and shows the live run's
// points and stage bars again; a damaged or foreign file is refused with a message naming the line.
#include "app/Globals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "sim/HeaterSimulator.h"
#include "sim/Simulators.h"
#include "support/Harness.h"
#include "views/BandSeries.h"
#include "views/LineSeries.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <qcustomplot.h>

namespace {
const QList<TSeries> AllSeries = {TSeries::DP,          TSeries::Tout, TSeries::Toverheat, TSeries::Tplate, TSeries::U,
                                  TSeries::TNperiodX10, TSeries::Vust, TSeries::Vcalc,     TSeries::Uplug};

QList<QPointF> Points(const TfrmGraph &graph, TSeries series)
{
    QList<QPointF> points;
    const TLinePoints &line = graph.Graph(series)->Points();
    for (int i = 0; i < line.Count(); ++i)
        points << QPointF(line.KeyAt(i), line.ValueAt(i));
    return points;
}

QList<TfrmGraph *> GraphWindows()
{
    QList<TfrmGraph *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *graph = qobject_cast<TfrmGraph *>(widget); graph && graph != frmGraph)
            found << graph;
    return found;
}

// The band as it is seen: bars that meet and share a colour make one. (A live run may start a new bar
// where the heater only passed through its stage again between two rows; the file cannot tell.)
QVector<TBandSeries::TBar> Painted(const QVector<TBandSeries::TBar> &bars)
{
    QVector<TBandSeries::TBar> painted;
    for (const TBandSeries::TBar &bar : bars) {
        if (!painted.isEmpty() && painted.last().End == bar.Start && painted.last().Color == bar.Color)
            painted.last().End = bar.End;
        else
            painted << bar;
    }
    return painted;
}

void DestroyHandler()
{
    if (TProduct *product = CurrentProduct) {
        CurrentProduct = nullptr;
        product->Destroy();
        delete product;
    }
}

// Opens the file as the menu item does, the dialog answered with the path.
TfrmGraph *Open(const QString &path)
{
    const QList<TfrmGraph *> before = GraphWindows();
    frmMain->AskRunLogPath = [path](const QString &) { return path; };
    frmMain->actOpenRunLog->trigger();
    for (TfrmGraph *graph : GraphWindows())
        if (!before.contains(graph))
            return graph;
    return nullptr;
}
} // namespace

class TestRunLogReview : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        for (TfrmGraph *review : GraphWindows())
            review->close();
        DestroyHandler();
        QLocale::setDefault(QLocale::c());
    }

    void savedRunComesBackAsItWasDrawn_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("locale");
        // The liquid heater's outlet line draws a temperature its file does not hold.
        QTest::addColumn<QList<TSeries>>("notInFile");
        QTest::newRow("Hydrel-7S") << QStringLiteral("Hydrel-7S") << QStringLiteral("C") << QList<TSeries>{TSeries::Tout};
        QTest::newRow("Hydrel-7S, decimal comma") << QStringLiteral("Hydrel-7S") << QStringLiteral("de_DE")
                                                  << QList<TSeries>{TSeries::Tout};
        QTest::newRow("Zephal-1") << QStringLiteral("Zephal-1") << QStringLiteral("C") << QList<TSeries>{};
        QTest::newRow("Corva-mini") << QStringLiteral("Corva-mini") << QStringLiteral("C") << QList<TSeries>{};
        QTest::newRow("Zephal old") << QStringLiteral("Zephal-3/-33/-6 [old rev.]") << QStringLiteral("C") << QList<TSeries>{};
        QTest::newRow("Corva") << QStringLiteral("Corva") << QStringLiteral("de_DE") << QList<TSeries>{};
        QTest::newRow("Hydrel-7") << QStringLiteral("Hydrel-7") << QStringLiteral("C") << QList<TSeries>{};
    }
    void savedRunComesBackAsItWasDrawn()
    {
        QFETCH(QString, model);
        QFETCH(QString, locale);
        QFETCH(QList<TSeries>, notInFile);
        QLocale::setDefault(QLocale(locale));
        THarness h;
        std::unique_ptr<THeaterSimulator> heater = CreateSimulator(model);
        QVERIFY(heater);
        h.Connect(heater.get());
        // The handler and the line go before the heater they talk to.
        auto disconnect = qScopeGuard([&] {
            DestroyHandler();
            h.Connect(nullptr);
        });
        h.Choose(model);
        auto until = [&](const std::function<bool()> &what, qint64 ms) { return h.Clock.AdvanceUntil(what, ms, 50); };
        QVERIFY(until([] { return CurrentProduct->StatusActive && CurrentProduct->Identified; }, 30000));
        CurrentProduct->Start();
        QVERIFY(until([] { return CurrentProduct->Running; }, 5000));
        h.Clock.AdvanceBy(40000);
        CurrentProduct->Stop();
        QVERIFY(until([] { return !CurrentProduct->Running; }, 60000));
        const QString caption = frmGraph->SavePath();
        QVERIFY2(caption.startsWith(QStringLiteral("Log saved to ")), qPrintable(caption));
        const QString path = caption.mid(13);
        auto removeFile = qScopeGuard([&] { QFile::remove(path); });

        TfrmGraph *review = Open(path);
        QVERIFY2(review, qPrintable(h.Messages().join('\n')));
        QCOMPARE(review->windowTitle(), QFileInfo(path).fileName());
        QVERIFY(h.Messages().isEmpty());
        for (TSeries series : AllSeries) {
            const QList<QPointF> live = Points(*frmGraph, series);
            const QList<QPointF> replayed = Points(*review, series);
            if (notInFile.contains(series)) {
                QCOMPARE(replayed.size(), live.size());
                continue;
            }
            QCOMPARE(replayed.size(), live.size());
            for (qsizetype i = 0; i < live.size(); ++i) {
                QCOMPARE(replayed[i].x(), live[i].x());
                // The file holds the values rounded as its row format writes them.
                QVERIFY2(qAbs(replayed[i].y() - live[i].y()) <= 0.5,
                         qPrintable(QStringLiteral("series %1 point %2: %3 drawn, %4 replayed")
                                        .arg(int(series)).arg(i).arg(live[i].y()).arg(replayed[i].y())));
            }
        }
        QVERIFY(!Points(*frmGraph, TSeries::Vust).isEmpty());
        for (TBand band : {TBand::Upper, TBand::Lower}) {
            const QVector<TBandSeries::TBar> live = Painted(frmGraph->Band(band)->Bars());
            const QVector<TBandSeries::TBar> replayed = Painted(review->Band(band)->Bars());
            QVERIFY(!live.isEmpty());
            QCOMPARE(replayed.size(), live.size());
            for (qsizetype i = 0; i < live.size(); ++i) {
                QCOMPARE(replayed[i].Start, live[i].Start);
                QCOMPARE(replayed[i].End, live[i].End);
                QCOMPARE(replayed[i].Color, live[i].Color);
            }
        }
    }

    void badFilesAreRefusedNamingTheLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray hydrel7 =
            "WorkMode;WorkTime;SB;ASB;FP Freq.;Plug voltage;FI;T liq.1;T liq.2;T plate;U;Relay;Pump;Faultcode;\r\n";
        QTest::newRow("empty") << QByteArray() << QStringLiteral("\"run.csv\" is not a run log. The file is empty.");
        QTest::newRow("foreign header") << QByteArray("Date;Amount;\r\n1;2;\r\n")
                                        << QStringLiteral("\"run.csv\" is not a run log. Line 1: the header is not that of a run log of this program.");
        QTest::newRow("short row at line 3")
            << hydrel7 + "24;300;60;58;2.50;0.0;410.00;45;50;80;12.00;1;1;0;\r\n24;300;60;\r\n"
            << QStringLiteral("\"run.csv\" is not a run log. Line 3: 3 values where the header has 14 columns.");
        QTest::newRow("not a number at line 2") << hydrel7 + "24;300;60;58;2.50;0.0;410.00;45;50;80;12.00;1;on;0;\r\n"
                                                << QStringLiteral("\"run.csv\" is not a run log. Line 2: \"on\" is not a number.");
    }
    void badFilesAreRefusedNamingTheLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        THarness h;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QCOMPARE(Open(path), nullptr);
        QCOMPARE(h.Messages(), QStringList{message});
    }
};

QTEST_MAIN(TestRunLogReview)
#include "tst_run_log_review.moc"
