// The service history as the program keeps it by itself: a workshop day of heaters of every family on
// their simulators leaves each heater, its run and its EDR read in the file; a file the program cannot
// use (locked by another program, read-only, not a database) turns the history off with one log line
// and the status bar, and every run is saved to its file as before.
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/StatusBar.h"
#include "app/fMain.h"
#include "history/HistoryStore.h"
#include "product/Product.h"
#include "product/RunLogFile.h"
#include "sim/HeaterSimulator.h"
#include "sim/Simulators.h"
#include "support/Harness.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <unistd.h>

namespace {
const QString HistoryOff = QStringLiteral("The service history cannot be kept");

bool Polled()
{
    return CurrentProduct && CurrentProduct->Identified && CurrentProduct->StatusActive;
}
} // namespace

class TestHistoryRecording : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<THarness> H;
    std::unique_ptr<THeaterSimulator> Heater;
    QStringList SavedRuns;

    bool Until(const std::function<bool()> &what, qint64 ms) { return H->Clock.AdvanceUntil(what, ms, 50); }

    // The model chosen against its simulated heater and identified.
    bool Connect(const QString &model)
    {
        H->Connect(nullptr);
        Heater = CreateSimulator(model);
        if (!Heater)
            return false;
        H->Connect(Heater.get());
        H->Choose(model);
        return Until(Polled, 30000);
    }
    // A run started and stopped from the control panel, saved to its file.
    bool RecordRun()
    {
        frmControl->btnStart->click();
        if (!Until([] { return CurrentProduct->Running && CurrentProduct->RunLog().size() > 20; }, 120000))
            return false;
        frmControl->Button2->click();
        if (!Until([] { return !CurrentProduct->Running; }, 600000))
            return false;
        return CurrentProduct->LogSaved;
    }
    bool ReadEdr()
    {
        frmBB->Clear();
        frmControl->Button3->click();
        return Until([] { return !CurrentProduct->EdrReading; }, 600000) && !frmBB->Lines().isEmpty();
    }
    // Everything handed to the writer done, and its report (if any) delivered to the windows.
    void Settle()
    {
        History->Drain();
        QCoreApplication::sendPostedEvents();
    }
    int HistoryOffLines() const
    {
        int count = 0;
        for (const QString &line : H->LogLines())
            count += line.contains(HistoryOff) ? 1 : 0;
        return count;
    }
    static QStringList RunFiles()
    {
        return QDir(RunLogFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale::c());
    }
    void init()
    {
        Dir = std::make_unique<QTemporaryDir>();
        SavedRuns = RunFiles();
        H = std::make_unique<THarness>();
    }
    void cleanup()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        StopHistory();
        H->Connect(nullptr);
        Heater.reset();
        H.reset();
        for (const QString &name : RunFiles())
            if (!SavedRuns.contains(name))
                QFile::remove(RunLogFolder() + name);
        Dir.reset();
    }

    // Four heaters of the three families, one after the other, each run once and its EDR read: the
    // history holds each heater with its firmware, its run with the file's figures and its EDR read
    // with the image and the report the EDR window showed, all on today's visit.
    void workshopDayIsRecorded()
    {
        const QString path = Dir->filePath(QStringLiteral("history.sqlite"));
        StartHistory(path);
        struct TSeen {
            QString Model, Serial, Firmware, Report;
        };
        QList<TSeen> seen;
        for (const QString model : {"Hydrel-7S", "Corva-mini", "Zephal-3/-33/-6 [old rev.]", "Hydrel-7"}) {
            QVERIFY2(Connect(model), qPrintable(model));
            QVERIFY2(RecordRun(), qPrintable(model));
            QVERIFY2(ReadEdr(), qPrintable(model));
            seen.append({model, CurrentProduct->SerialNumberText, CurrentProduct->VersionText, frmBB->Lines().join('\n')});
        }
        Settle();
        QCOMPARE(HistoryOffLines(), 0);

        THistoryStore store;
        QVERIFY2(store.Open(path), qPrintable(store.Error()));
        const THeaterPage page = store.Heaters(QString(), 0, 100);
        QCOMPARE(page.Total, qint64(seen.size()));
        for (const TSeen &heater : seen) {
            const QList<THeaterRecord> found = store.HeatersWithSerial(heater.Serial);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found[0].Model, heater.Model);
            QCOMPARE(found[0].Firmware, heater.Firmware);
            QCOMPARE(store.Visits(found[0].Id).size(), 1);
            QCOMPARE(store.Visits(found[0].Id)[0].Day, QDate::currentDate());

            const QList<TRunRecord> runs = store.Runs(found[0].Id);
            QCOMPARE(runs.size(), 1);
            QVERIFY2(QFileInfo::exists(runs[0].CsvPath), qPrintable(runs[0].CsvPath));
            QVERIFY2(QFileInfo(runs[0].CsvPath).fileName().startsWith('[' + heater.Serial + ']'), qPrintable(runs[0].CsvPath));
            QVERIFY(runs[0].DurationSeconds > 20);
            // The run went from rest through its stages and back.
            QVERIFY2(runs[0].Stages.contains(','), qPrintable(heater.Model + ": " + runs[0].Stages));
            QVERIFY2(runs[0].LowestVoltage && *runs[0].LowestVoltage > 5, qPrintable(heater.Model));
            QVERIFY2(!runs[0].HighestTemperatures.isEmpty(), qPrintable(heater.Model));

            const QList<TEdrReadRecord> reads = store.EdrReads(found[0].Id);
            QCOMPARE(reads.size(), 1);
            const std::optional<TEdrReadRecord> read = store.EdrRead(reads[0].Id);
            QVERIFY(read);
            // The report as the handler made it: the EDR window shows it from its first text line.
            QVERIFY2(read->Report.endsWith(heater.Report), qPrintable(heater.Model));
            QCOMPARE(read->Report.chopped(heater.Report.size()).trimmed(), QString());
            QVERIFY2(read->Image.size() >= 256, qPrintable(heater.Model));
        }
    }

    // Whatever is wrong with the file, the run is saved as before, and the program says once, in
    // the log and the status bar, that it goes on without history; it asks nothing.
    void unusableFileLeavesRunsAlone_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason"); // as SQLite or the writer words it
        QTest::newRow("locked by another program") << "locked" << "database is locked";
        QTest::newRow("read-only") << "read-only" << "readonly database";
        QTest::newRow("not a database") << "garbage" << "file is not a database";
        QTest::newRow("folder cannot be made") << "no folder" << "the folder cannot be made";
    }
    void unusableFileLeavesRunsAlone()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        QString path = Dir->filePath(QStringLiteral("history.sqlite"));
        QSqlDatabase locker;
        auto unlock = qScopeGuard([&] {
            if (locker.isOpen())
                locker.close();
            locker = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        });
        if (damage == QStringLiteral("locked")) {
            locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
            locker.setDatabaseName(path);
            QVERIFY(locker.open());
            QSqlQuery hold(locker);
            QVERIFY(hold.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(hold.exec(QStringLiteral("CREATE TABLE other_program(a)")));
        } else if (damage == QStringLiteral("read-only")) {
            {
                THistoryStore store;
                QVERIFY(store.Open(path));
            }
            QFile::remove(path + QStringLiteral("-wal"));
            QFile::remove(path + QStringLiteral("-shm"));
            QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            QFile(Dir->path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            if (access(qPrintable(path), W_OK) == 0) {
                QFile(Dir->path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
                QSKIP("The tests run with rights that write a read-only file.");
            }
        } else if (damage == QStringLiteral("garbage")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray garbage;
            for (int i = 0; i < 8192; ++i)
                garbage += char(i * 37 % 251);
            file.write(garbage);
        } else {
            QFile blocker(Dir->filePath(QStringLiteral("file")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            path = Dir->filePath(QStringLiteral("file/history.sqlite"));
        }
        auto writable = qScopeGuard([&] {
            QFile(Dir->path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });

        StartHistory(path);
        QVERIFY(Connect(QStringLiteral("Hydrel-7S")));
        const QStringList before = RunFiles();
        QVERIFY(RecordRun());
        QVERIFY(RecordRun());
        QVERIFY(ReadEdr());
        Settle();
        QCOMPARE(RunFiles().size(), before.size() + 2);
        QCOMPARE(HistoryOffLines(), 1);
        QVERIFY2(H->LogContains(reason), qPrintable(H->LogLines().filter(HistoryOff).join('\n')));
        QCOMPARE(frmMain->Status->HistoryText(), QStringLiteral("History off"));
        QVERIFY(H->LogContains(HistoryOff + QStringLiteral(" in \"") + QDir::toNativeSeparators(path) + '"'));
        QVERIFY2(H->Messages().filter(QStringLiteral("history"), Qt::CaseInsensitive).isEmpty(),
                 qPrintable(H->Messages().join('\n')));
    }
};

QTEST_MAIN(TestHistoryRecording)
#include "tst_history_recording.moc"
