// Each model's EDR report as a technician gets it: read from its simulated heater on the virtual
// clock, shown from its first line, laid out for print with every line whole on the page width under
// a header naming the heater, and proposed for saving under the heater's serial number.
#include "app/Globals.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "sim/HeaterSimulator.h"
#include "sim/Simulators.h"
#include "support/Harness.h"
#include "views/EdrPrint.h"
#include "views/fBB.h"
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
int PdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(pdf).count(page));
}
} // namespace

class TestEdrPrintModels : public QObject {
    Q_OBJECT

    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Heater;

    // The model chosen against its simulated heater, identified, its EDR read into the window.
    bool ReadEdrOf(const QString &model)
    {
        Heater = CreateSimulator(model);
        if (!Heater)
            return false;
        H->Connect(Heater.get());
        H->Choose(model);
        auto until = [&](const std::function<bool()> &what, qint64 ms) { return H->Clock.AdvanceUntil(what, ms, 50); };
        if (!until([] { return CurrentProduct->StatusActive && CurrentProduct->Identified; }, 30000))
            return false;
        frmBB->Clear();
        CurrentProduct->ReadEDR();
        return until([] { return !CurrentProduct->EdrReading; }, 600000) && !frmBB->Lines().isEmpty();
    }

private slots:
    void init()
    {
        H = std::make_unique<THarness>();
        // On screen, as a technician sees it: a hidden memo keeps no scroll position.
        frmMain->resize(1366, 768);
        frmMain->show();
    }

    void cleanup()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        // The line goes before the heater and the heater before the clock it keeps its time on.
        H->Connect(nullptr);
        Heater.reset();
        H.reset();
    }

    void reportOfEachModel_data()
    {
        QTest::addColumn<QString>("model");
        // The fault-record tables of some reports are too wide for a portrait page at reading size.
        QTest::addColumn<bool>("landscape");
        QTest::newRow("Corva-mini, 208 characters wide") << "Corva-mini" << true;
        QTest::newRow("Zephal-1, 88 characters") << "Zephal-1" << false;
        QTest::newRow("Zephal-33 [new rev.], 80 characters") << "Zephal-33 [new rev.]" << false;
        QTest::newRow("Hydrel-7S, 80 characters") << "Hydrel-7S" << false;
        QTest::newRow("Zephal old, 238 characters") << "Zephal-3/-33/-6 [old rev.]" << true;
        QTest::newRow("Corva, 238 characters") << "Corva" << true;
        QTest::newRow("Hydrel-7, 136 characters") << "Hydrel-7" << true;
    }
    void reportOfEachModel()
    {
        QFETCH(QString, model);
        QFETCH(bool, landscape);
        QVERIFY2(ReadEdrOf(model), qPrintable(H->Messages().join('\n')));
        const QStringList lines = frmBB->Lines();
        const THeaterIdentity heater{CurrentProduct->ModelName(), CurrentProduct->SerialNumberText,
                                     CurrentProduct->VersionText};
        QVERIFY(!heater.SerialNumber.isEmpty());

        // Shown from the first line, at the left: the labels and the first records in sight, once the
        // memo has laid the text out.
        QVERIFY(frmBB->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(frmBB->mEE->textCursor().position(), 0);
        QCOMPARE(frmBB->mEE->verticalScrollBar()->value(), 0);
        QCOMPARE(frmBB->mEE->horizontalScrollBar()->value(), 0);

        // On paper: every line whole on the page width, the font no smaller than it must be.
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(dir.filePath(QStringLiteral("edr.pdf")));
        const TEdrPrintLayout layout = LayOutEdrReport(printer, lines, frmBB->mEE->font());
        QCOMPARE(layout.Orientation == QPageLayout::Landscape, landscape);
        const double pageWidth = printer.pageLayout().paintRectPixels(printer.resolution()).width();
        const QFontMetricsF metrics(layout.Font, &printer);
        double widest = 0;
        for (const QString &line : lines) {
            QVERIFY2(metrics.horizontalAdvance(line) <= pageWidth,
                     qPrintable(QStringLiteral("%1 wider than the page: %2").arg(line.left(40)).arg(metrics.horizontalAdvance(line))));
            widest = qMax(widest, metrics.horizontalAdvance(line));
        }
        QVERIFY2(layout.Font.pointSizeF() >= 5, qPrintable(QString::number(layout.Font.pointSizeF())));
        // Shrunk only as far as the widest line needs: a tenth of a point more would not fit, or the
        // reading size is kept.
        if (layout.Font.pointSizeF() < 10) {
            QFont larger = layout.Font;
            larger.setPointSizeF(layout.Font.pointSizeF() + 0.2);
            double widestLarger = 0;
            for (const QString &line : lines)
                widestLarger = qMax(widestLarger, QFontMetricsF(larger, &printer).horizontalAdvance(line));
            QVERIFY2(widestLarger > pageWidth, qPrintable(QStringLiteral("%1 of %2").arg(widestLarger).arg(pageWidth)));
        }
        QCOMPARE(layout.Pages, int((lines.size() + layout.LinesPerPage - 1) / layout.LinesPerPage));

        const QString header = EdrPageHeader(heater, QDateTime(QDate(2026, 12, 11), QTime(8, 0, 37)));
        QVERIFY2(header.contains(heater.Model) && header.contains(heater.SerialNumber)
                     && header.contains(QStringLiteral("firmware ") + heater.Firmware)
                     && header.contains(QStringLiteral("2026-12-11 08:00:37")),
                 qPrintable(header));

        // The print button through the stand-in printer: the PDF has the pages laid out.
        frmBB->AskPrinter = [&](QPrinter &chosen) {
            chosen.setOutputFormat(QPrinter::PdfFormat);
            chosen.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
            return true;
        };
        frmBB->btnPrint->click();
        QFile printed(dir.filePath(QStringLiteral("printed.pdf")));
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QCOMPARE(PdfPages(printed.readAll()), layout.Pages);

        // Saved under the heater's serial number and the time of the reading, in the run-log folder.
        const QString proposed = frmBB->ProposedSavePath();
        QCOMPARE(QFileInfo(proposed).absolutePath() + QLatin1Char('/'), RunLogFolder());
        static const QRegularExpression named(QStringLiteral("^\\[(.+)\\] \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d EDR\\.txt$"));
        const QRegularExpressionMatch match = named.match(QFileInfo(proposed).fileName());
        QVERIFY2(match.hasMatch(), qPrintable(proposed));
        QCOMPARE(match.captured(1), heater.SerialNumber);
    }
};

QTEST_MAIN(TestEdrPrintModels)
#include "tst_edr_print_models.moc"
