// Either chart of the graphs window saved as a PNG picture or a PDF document, at a path the file
// dialog's stand-in gives.
#include "app/Globals.h"
#include "support/Harness.h"
#include "views/Chart.h"
#include "views/LineSeries.h"
#include "views/fGraph.h"
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestViewsChartExport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<THarness> Harness;
    QTemporaryDir Folder;
    QStringList AskedFilters;

    // Both charts with a short run, and the dialog's stand-in answering path.
    void Prepare(const QString &path)
    {
        for (int tick = 0; tick < 100; ++tick) {
            frmGraph->AddPoint(TSeries::Tplate, tick / 86400.0, 20 + tick % 10);
            frmGraph->AddPoint(TSeries::U, tick / 86400.0, 12 + tick % 3);
        }
        frmGraph->ReplotNow();
        AskedFilters.clear();
        frmGraph->SetSavePathAsker([this, path](QWidget *, const QString &, const QString &filter) {
            AskedFilters << filter;
            return path;
        });
    }

    bool Export(bool pdf, TChart *chart) { return pdf ? frmGraph->ExportPdf(chart) : frmGraph->ExportPng(chart); }

private slots:
    void init()
    {
        Harness = std::make_unique<THarness>();
        frmGraph->resize(1200, 432);
        frmGraph->show();
        frmGraph->layout()->activate();
    }

    void cleanup()
    {
        frmGraph->SetSavePathAsker(nullptr);
        Harness.reset();
    }

    void savesTheChart_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<bool>("upper");
        QTest::newRow("upper chart as PNG") << false << true;
        QTest::newRow("lower chart as PNG") << false << false;
        QTest::newRow("upper chart as PDF") << true << true;
        QTest::newRow("lower chart as PDF") << true << false;
    }
    void savesTheChart()
    {
        QFETCH(bool, pdf);
        QFETCH(bool, upper);
        TChart *chart = upper ? frmGraph->chtHiTemp : frmGraph->chtLoTemp;
        const QString path = Folder.filePath(pdf ? QStringLiteral("chart.pdf") : QStringLiteral("chart.png"));
        QFile::remove(path);
        Prepare(path);
        const size_t dialogs = Harness->Dialogs.size();
        QVERIFY(Export(pdf, chart));
        QCOMPARE(AskedFilters.size(), 1);
        QVERIFY(AskedFilters.first().contains(pdf ? QStringLiteral("*.pdf") : QStringLiteral("*.png")));
        QCOMPARE(Harness->Dialogs.size(), dialogs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (pdf) {
            QVERIFY(bytes.startsWith("%PDF"));
            QVERIFY(bytes.size() > 1000);
            return;
        }
        const QImage image = QImage::fromData(bytes, "PNG");
        QCOMPARE(image.size(), chart->size());
        // The picture holds the chart, not a blank: the plate line's colour is in it.
        bool lineSeen = false;
        const QColor line = upper ? frmGraph->lnsrsTplate->pen().color() : frmGraph->lnsrsU->pen().color();
        for (int y = 0; y < image.height() && !lineSeen; ++y)
            for (int x = 0; x < image.width() && !lineSeen; ++x)
                lineSeen = image.pixelColor(x, y) == line;
        QVERIFY(lineSeen);
    }

    // Cancelled, nothing is written and nothing said; a path that cannot be written is reported.
    void cancelledOrUnwritable_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("PNG cancelled") << false << true;
        QTest::newRow("PDF cancelled") << true << true;
        QTest::newRow("PNG into a missing folder") << false << false;
        QTest::newRow("PDF into a missing folder") << true << false;
    }
    void cancelledOrUnwritable()
    {
        QFETCH(bool, pdf);
        QFETCH(bool, cancel);
        const QString path = Folder.filePath(QStringLiteral("missing/chart") + (pdf ? ".pdf" : ".png"));
        Prepare(cancel ? QString() : path);
        const QStringList before = Harness->Messages();
        QVERIFY(!Export(pdf, frmGraph->chtHiTemp));
        QVERIFY(!QFile::exists(path));
        const QStringList said = Harness->Messages().mid(before.size());
        if (cancel)
            QVERIFY(said.isEmpty());
        else
            QCOMPARE(said, QStringList{QStringLiteral("The chart could not be saved to ") + path});
    }
};

QTEST_MAIN(TestViewsChartExport)
#include "tst_views_chart_export.moc"
