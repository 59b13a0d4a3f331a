// File > "Import run logs...": a folder of run logs goes into the history under the heaters their names
// and headers tell; a file that is not a whole run log of this program is named and skipped, and a file
// already imported is not taken twice.
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/RunLogImport.h"
#include "app/fMain.h"
#include "history/HistoryStore.h"
#include "support/Harness.h"
#include <QAction>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString CurrentHeader = QStringLiteral(
    "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;T ext. sens.;T plate;Voltage;FaultCode;");
const QString CurrentRow = QStringLiteral("3;0;3;1;3;60;60;2,50;0;0;420;-3;48;12,2;0;");
const QString LiquidHeader =
    QStringLiteral("WorkMode;WorkTime;SB;ASB;FP Freq.;Plug voltage;FI;T liq.1;T liq.2;T plate;U;Relay;Pump;Faultcode;");
const QString LiquidRow = QStringLiteral("2;10;30;30;1.20;6.5;100;40;42;30;24.8;1;1;7;");

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray RunLog(const QString &header, const QString &row, int rows)
{
    QString text = header + QStringLiteral("\r\n");
    for (int i = 0; i < rows; ++i)
        text += row + QStringLiteral("\r\n");
    return QStringEncoder("windows-1251").encode(text);
}
} // namespace

class TestHistoryImport : public QObject {
    Q_OBJECT
    QTemporaryDir Dir;

    QString Folder() const { return Dir.filePath(QStringLiteral("runs")); }
    QString RunPath(const QString &name) const { return Folder() + QLatin1Char('/') + name; }

private slots:
    void init()
    {
        QDir(Folder()).removeRecursively();
        QVERIFY(QDir().mkpath(Folder()));
        QFile::remove(Dir.filePath(QStringLiteral("h.sqlite")));
    }

    // Three good files and five damaged ones: the good ones are runs of their heaters, the current
    // family's header (three models write it) under the model the history already knows for that
    // serial number; each damaged one is named with its reason, in the log and in the outcome line.
    void importsGoodFilesAndNamesTheOthers()
    {
        Write(RunPath("[070001234] 2026-12-01 10-00-00.csv"), RunLog(CurrentHeader, CurrentRow, 30));
        Write(RunPath("[700000001] 2026-12-02 11-00-00.csv"), RunLog(LiquidHeader, LiquidRow, 12));
        Write(RunPath("[330120456] 2026-12-03 12-00-00.csv"), RunLog(CurrentHeader, CurrentRow, 5));
        QByteArray cut = RunLog(CurrentHeader, CurrentRow, 3);
        cut.chop(8);
        Write(RunPath("[070001234] 2026-12-04 09-00-00.csv"), cut);
        Write(RunPath("[070001234] 2026-12-05 09-00-00.csv"), "Name;Phone;\r\n1;2;\r\n");
        Write(RunPath("[unidentified] 2026-12-05 10-00-00.csv"), RunLog(CurrentHeader, CurrentRow, 3));
        Write(RunPath("notes.csv"), RunLog(CurrentHeader, CurrentRow, 3));
        Write(RunPath("[070001234] 2026-12-06 09-00-00.csv"), QByteArray("\x00\x01\x02\xff", 4));
        Write(RunPath("readme.txt"), "not a run log");

        THistoryStore store;
        QVERIFY(store.Open(Dir.filePath(QStringLiteral("h.sqlite"))));
        const qint64 known = *store.NoteHeater("Zephal-1", "070001234", "7.2.0.11", QDateTime::currentDateTime());
        QStringList logged;
        const TImportOutcome outcome = ImportRunLogs(store, Folder(), [&](const QString &line) { logged << line; });

        QCOMPARE(outcome.Imported, 3);
        QCOMPARE(outcome.Skipped.size(), 5);
        QCOMPARE(logged.size(), 5);
        const QStringList reasons = {
            "[070001234] 2026-12-04 09-00-00.csv (Line 4: the last line is cut short.)",
            "[070001234] 2026-12-05 09-00-00.csv (Line 1: the header is not that of a run log of this program.)",
            "[070001234] 2026-12-06 09-00-00.csv (Line 1: the bytes are not Windows-1251 text.)",
            "[unidentified] 2026-12-05 10-00-00.csv (the heater was never identified)",
            "notes.csv (the name is not \"[serial] YYYY-MM-DD HH-MM-SS.csv\")",
        };
        QCOMPARE(outcome.Skipped, reasons);
        QCOMPARE(outcome.Summary(), QStringLiteral("Imported 3 run logs, skipped 5: ") + reasons.join("; "));
        for (int i = 0; i < logged.size(); ++i)
            QVERIFY2(logged[i].contains(QFileInfo(reasons[i].section(" (", 0, 0)).fileName()), qPrintable(logged[i]));

        const QList<TRunRecord> runs = store.Runs(known);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].DurationSeconds, qint64(30));
        QCOMPARE(runs[0].Ended, QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
        QCOMPARE(runs[0].Stages, QStringLiteral("3"));
        QCOMPARE(runs[0].LowestVoltage, std::optional<double>(12.2));
        const QList<THeaterRecord> liquid = store.HeatersWithSerial("700000001");
        QCOMPARE(liquid.size(), 1);
        QCOMPARE(liquid[0].Model, QStringLiteral("Hydrel-7"));
        QCOMPARE(store.Runs(liquid[0].Id)[0].FaultCodes, QStringLiteral("7"));
        // A serial number the history has not seen: the header's models, as it cannot tell which.
        QCOMPARE(store.HeatersWithSerial("330120456")[0].Model, QStringLiteral("Hydrel-7S / Zephal-1 / Zephal-33 [new rev.]"));

        const TImportOutcome again = ImportRunLogs(store, Folder(), [](const QString &) {});
        QCOMPARE(again.Imported, 0);
        QCOMPARE(again.Skipped.filter(QStringLiteral("already in the history")).size(), 3);
        QCOMPARE(store.Runs(known).size(), 1);
    }

    // Through the menu: the folder the technician picks, the outcome in the log and in a message.
    void menuItemImportsIntoTheProgramsHistory()
    {
        Write(RunPath("[700000001] 2026-12-02 11-00-00.csv"), RunLog(LiquidHeader, LiquidRow, 12));
        Write(RunPath("[700000001] 2026-12-02 12-00-00.csv"), "Name;Phone;\r\n1;2;\r\n");
        THarness h;
        StartHistory(Dir.filePath(QStringLiteral("h.sqlite")));
        auto stop = qScopeGuard([] { StopHistory(); });
        QString asked;
        frmMain->AskImportFolder = [&](const QString &start) {
            asked = start;
            return QString();
        };
        frmMain->actImportRunLogs->trigger();
        QVERIFY(!asked.isEmpty());
        QVERIFY(h.Messages().isEmpty());

        frmMain->AskImportFolder = [this](const QString &) { return Folder(); };
        frmMain->actImportRunLogs->trigger();
        const QString outcome = QStringLiteral("Imported 1 run log, skipped 1: [700000001] 2026-12-02 12-00-00.csv "
                                               "(Line 1: the header is not that of a run log of this program.)");
        QCOMPARE(h.Messages(), QStringList{outcome});
        QVERIFY(h.LogContains(outcome));
        QVERIFY(h.LogContains(QStringLiteral("Run log not imported: \"") + QDir::toNativeSeparators(RunPath("[700000001] 2026-12-02 12-00-00.csv"))));
        THistoryStore store;
        QVERIFY(store.Open(Dir.filePath(QStringLiteral("h.sqlite"))));
        QCOMPARE(store.Heaters(QString(), 0, 10).Total, qint64(1));
    }
};

QTEST_MAIN(TestHistoryImport)
#include "tst_history_import.moc"
