// The service report of a heater's day: three recorded runs and an EDR read compared with the one
// before, written as a PDF of one or two pages whose text names the heater, says what changed and
// which faults were seen; each run drawn from its file with its stage band; a run file that cannot be
// read and a PDF that cannot be written said in words.
#include "app/Models.h"
#include "app/RunLogReplay.h"
#include "history/EdrCompare.h"
#include "support/EdrImages.h"
#include "support/RunLogHeaders.h"
#include "views/ServiceReport.h"
#include <QFile>
#include <QImage>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

namespace {
const QString Model = QStringLiteral("Hydrel-7S");

// A run of the current family's file: preparing, then burning from the given second, the fault code
// in its last row.
QByteArray RunLog(int seconds, int burningFrom, int fault)
{
    QByteArray bytes = RunLogHeaders::English.toLatin1() + "\r\n";
    for (int t = 0; t < seconds; ++t) {
        const int stage = t < burningFrom ? 1 : 3;
        const int code = t == seconds - 1 ? fault : 0;
        bytes += QString::asprintf("%d;1;%d;%d;%d;40;39;2.5;8.0;120;%d;-5;%d;12.6;%d;\r\n", stage, t, t, t,
                                   60 + t % 200, 20 + t / 10, code)
                     .toLatin1();
    }
    return bytes;
}

QString AllText(QPdfDocument &pdf)
{
    QString text;
    for (int page = 0; page < pdf.pageCount(); ++page)
        text += pdf.getAllText(page).text() + QLatin1Char(' ');
    return text.simplified();
}

int GreenPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.green() > 100 && c.red() < 60 && c.blue() < 60 ? 1 : 0;
        }
    return count;
}
} // namespace

class TestServiceReport : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    TServiceReportInput Input;

    QString WriteRun(const QString &name, const QByteArray &bytes)
    {
        const QString path = Dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

private slots:
    void init()
    {
        QVERIFY(Dir.isValid());
        const QByteArray older = SimulatedEdrImage(Model);
        QByteArray newer = older;
        // Since the read before: eight more attempts, and a fault 13 over the oldest record.
        PokeEdrImage(newer, Model, 13, 160, 2);
        PokeEdrImage(newer, Model, 79, 13, 1);
        PokeEdrImage(newer, Model, 83, 330000, 4);
        const auto summary = FindModel(Model)->EdrSummary;
        const QDateTime readAt(QDate(2026, 12, 11), QTime(10, 42));
        Input = {};
        Input.Heater = {Model, QStringLiteral("07-0001234"), QStringLiteral("3.1.2.0")};
        Input.Day = readAt.date();
        Input.EdrReadAt = readAt;
        Input.Edr = summary(newer);
        Input.EdrChanges = CompareEdrReads({readAt.addDays(-40), summary(older)}, {readAt, Input.Edr}).Text;
        Input.DrawRun = ReplayRunLog;
        Input.RunLogPaths = {WriteRun(QStringLiteral("[07-0001234] 2026-12-11 08-00-37.csv"), RunLog(900, 120, 0)),
                             WriteRun(QStringLiteral("[07-0001234] 2026-12-11 11-20-05.csv"), RunLog(600, 90, 13)),
                             WriteRun(QStringLiteral("[07-0001234] 2026-12-11 16-02-11.csv"), RunLog(1200, 100, 0))};
        QVERIFY(!Input.RunLogPaths.contains(QString()));
    }

    void dayOfThreeRuns()
    {
        const QString path = Dir.filePath(QStringLiteral("report.pdf"));
        QCOMPARE(WriteServiceReportPdf(Input, path), QString());
        QPdfDocument pdf;
        QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
        QVERIFY2(pdf.pageCount() >= 1 && pdf.pageCount() <= 2, qPrintable(QString::number(pdf.pageCount())));

        const QString text = AllText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Service report 2026-12-11")), qPrintable(text));
        for (const QString &part : {QStringLiteral("Hydrel-7S"), QStringLiteral("serial number 07-0001234"),
                                    QStringLiteral("firmware 3.1.2.0"), QStringLiteral("EDR read at 10:42")})
            QVERIFY2(text.contains(part), qPrintable(part));
        QVERIFY(Input.EdrChanges.startsWith(QStringLiteral("Since 2026-11-01: ignition attempts up by 8;")));
        QVERIFY2(text.contains(Input.EdrChanges), qPrintable(text));
        // The fault of the second run, named as the EDR names it, and the recorder's records.
        QVERIFY2(text.contains(QStringLiteral("fault 13 'No further activation attempt is possible' during run 2")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("fault 29 'Flamout count exceeded' (record 5")));
        QVERIFY(text.contains(QStringLiteral("Ignition attempts 160")));
        QVERIFY(text.contains(QStringLiteral("[07-0001234] 2026-12-11 16-02-11.csv, 00:20:00 (1200 rows)")));
    }

    // Each run's graphs come from its own file: the burning stretch shows as the green band.
    void runsDrawnFromTheirFiles()
    {
        const auto chartOf = [](const QTextDocument &document, int run) {
            return document.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("run%1.png").arg(run)))
                .value<QImage>();
        };
        // Undrawn, only the stage key and the legend hold green.
        TServiceReportInput undrawn = Input;
        undrawn.DrawRun = nullptr;
        const int keyOnly = GreenPixels(chartOf(*ServiceReportDocument(undrawn), 0));
        const auto document = ServiceReportDocument(Input);
        for (int run = 0; run < 3; ++run) {
            const QImage chart = chartOf(*document, run);
            QVERIFY(!chart.isNull());
            QVERIFY2(GreenPixels(chart) > keyOnly + 20000, qPrintable(QString::number(GreenPixels(chart))));
        }
    }

    void faultsSaid_data()
    {
        QTest::addColumn<QString>("runFile");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing file") << "gone.csv" << "Run 2: \"%1\" could not be read: No such file or directory";
        QTest::newRow("a row cut short")
            << "short.csv" << "Run 2: \"%1\" could not be read: Line 2: 2 values where the header has 15 columns.";
    }
    void faultsSaid()
    {
        QFETCH(QString, runFile);
        QFETCH(QString, said);
        if (runFile == QLatin1String("short.csv"))
            QVERIFY(!WriteRun(runFile, RunLogHeaders::English.toLatin1() + "\r\n1;2;\r\n").isEmpty());
        Input.RunLogPaths[1] = Dir.filePath(runFile);
        const QString path = Dir.filePath(QStringLiteral("report.pdf"));
        QCOMPARE(WriteServiceReportPdf(Input, path), QString());
        QPdfDocument pdf;
        QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
        const QString text = AllText(pdf);
        QVERIFY2(text.contains(said.arg(QDir::toNativeSeparators(Input.RunLogPaths[1]))), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Run 3:")));
    }

    void pdfThatCannotBeWritten()
    {
        const QString path = Dir.filePath(QStringLiteral("no such folder/report.pdf"));
        const QString error = WriteServiceReportPdf(Input, path);
        QVERIFY2(error.startsWith(QStringLiteral("Cannot create file \"%1\".").arg(QDir::toNativeSeparators(path))),
                 qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }

    void proposedName()
    {
        QVERIFY(ProposedServiceReportPath(Input).endsWith(QStringLiteral("/[07-0001234] 2026-12-11 service report.pdf")));
    }
};

QTEST_MAIN(TestServiceReport)
#include "tst_service_report.moc"
