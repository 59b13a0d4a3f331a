// Either chart of the graphs window saved as a PNG picture or a PDF document, at a path the file
// dialog's stand-in gives: the picture holds a title line, the stage key and the chart with its
// legend; the dialog proposes a name of the heater and the moment in the run-log folder, and a name
// typed without an extension gets the format's.
#include "app/Globals.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "support/Harness.h"
#include "views/Chart.h"
#include "views/LineSeries.h"
#include "views/fGraph.h"
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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
    QStringList Proposed;

    // Both charts with a short run, and the dialog's stand-in answering path.
    void Prepare(const QString &path)
    {
        for (int tick = 0; tick < 100; ++tick) {
            frmGraph->AddPoint(TSeries::Tplate, tick / 86400.0, 20 + tick % 10);
            frmGraph->AddPoint(TSeries::U, tick / 86400.0, 12 + tick % 3);
        }
        frmGraph->ReplotNow();
        AskedFilters.clear();
        Proposed.clear();
        frmGraph->SetSavePathAsker([this, path](QWidget *, const QString &, const QString &filter, const QString &proposed) {
            AskedFilters << filter;
            Proposed << proposed;
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
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
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
        // The chart and its legend beside it, with the title and the stage key above.
        QCOMPARE(image.width(), chart->width() + (upper ? frmGraph->pnlLegendT1 : frmGraph->pnlLegendT2)->width());
        QVERIFY(image.height() > chart->height() + frmGraph->pnlModesLegend->height());
        auto seen = [&](const QColor &color, int fromY, int toY) {
            for (int y = fromY; y < qMin(toY, image.height()); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) == color)
                        return true;
            return false;
        };
        // The picture holds the chart, not a blank: the plate line's colour is in it.
        const QColor line = upper ? frmGraph->lnsrsTplate->pen().color() : frmGraph->lnsrsU->pen().color();
        QVERIFY(seen(line, 0, image.height()));
        // The legend: the square of a series with no points is in it all the same.
        const QColor legendOnly = upper ? frmGraph->lnsrsTout->pen().color() : frmGraph->lnsrsTNperiodX10->pen().color();
        QVERIFY(seen(legendOnly, 0, image.height()));
        // The stage key: the ignition colour, which no line has.
        QVERIFY(seen(StageColor::Ignition, 0, image.height()));
        // The title line: text on the strip above the key.
        const int keyTop = image.height() - chart->parentWidget()->height() - frmGraph->pnlModesLegend->height();
        QVERIFY(keyTop > 0);
        QVERIFY(seen(Qt::black, 0, keyTop));
    }

    // The dialog proposes "[serial] yyyy-mm-dd hh-mm-ss chart.<ext>" in the run-log folder, and the
    // title names the model, the serial number and the date of the run.
    void proposedNameAndTitle_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::newRow("PNG") << false;
        QTest::newRow("PDF") << true;
    }
    void proposedNameAndTitle()
    {
        QFETCH(bool, pdf);
        Harness->Choose(QStringLiteral("Zephal-1"));
        QVERIFY(CurrentProduct);
        CurrentProduct->SerialNumberText = QStringLiteral("17123456");
        Prepare(QString());
        QVERIFY(!Export(pdf, frmGraph->chtHiTemp));
        QCOMPARE(Proposed.size(), 1);
        const QFileInfo proposed(Proposed.first());
        QCOMPARE(proposed.absolutePath() + QLatin1Char('/'), RunLogFolder());
        const QRegularExpression name(QStringLiteral("^\\[17123456\\] \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d chart\\.")
                                      + (pdf ? QStringLiteral("pdf$") : QStringLiteral("png$")));
        QVERIFY2(name.match(proposed.fileName()).hasMatch(), qPrintable(proposed.fileName()));
        const QString title = frmGraph->ExportTitle();
        QVERIFY2(title.startsWith(QStringLiteral("Zephal-1   serial number 17123456   run of ")
                                  + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))),
                 qPrintable(title));
    }

    // "export-chart" typed: "export-chart.png" written.
    void extensionAddedToATypedName_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::newRow("PNG") << false;
        QTest::newRow("PDF") << true;
    }
    void extensionAddedToATypedName()
    {
        QFETCH(bool, pdf);
        const QString typed = Folder.filePath(QStringLiteral("export-chart"));
        const QString written = typed + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".png"));
        QFile::remove(written);
        Prepare(typed);
        QVERIFY(Export(pdf, frmGraph->chtLoTemp));
        QVERIFY(!QFile::exists(typed));
        QFile file(written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(8).startsWith(pdf ? QByteArray("%PDF") : QByteArray("\x89PNG")));
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
