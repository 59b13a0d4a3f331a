// The service history's file: the tables a version 1 file held upgraded in place, heaters found by
// serial number or model a page at a time, a heater's visits, runs and EDR reads, and the summary a run
// log gives whichever family wrote it.
#include "history/HistorySchema.h"
#include "history/HistoryStore.h"
#include "history/RunSummary.h"
#include "product/RunLogReader.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The tables as the first version of the program wrote them.
const char *const Version1[] = {
    "CREATE TABLE heaters(id INTEGER PRIMARY KEY, model TEXT NOT NULL, serial TEXT NOT NULL,"
    " firmware TEXT NOT NULL DEFAULT '', first_seen INTEGER NOT NULL, last_seen INTEGER NOT NULL, UNIQUE(model, serial))",
    "CREATE TABLE runs(id INTEGER PRIMARY KEY, heater_id INTEGER NOT NULL REFERENCES heaters(id) ON DELETE CASCADE,"
    " csv_path TEXT NOT NULL, started INTEGER NOT NULL, ended INTEGER NOT NULL, duration INTEGER NOT NULL,"
    " stages TEXT NOT NULL, highest_temperatures TEXT NOT NULL, lowest_voltage REAL, fault_codes TEXT NOT NULL)",
    "CREATE TABLE edr_reads(id INTEGER PRIMARY KEY, heater_id INTEGER NOT NULL REFERENCES heaters(id) ON DELETE CASCADE,"
    " read_at INTEGER NOT NULL, image BLOB NOT NULL, report TEXT NOT NULL)",
    "PRAGMA user_version = 1",
};

QDateTime At(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
}

TRunSummary Summary(int rows, QList<int> stages = {0, 1, 2, 3})
{
    TRunSummary summary;
    summary.Rows = rows;
    summary.Stages = stages;
    summary.HighestTemperatures = {{QStringLiteral("T plate"), 85.5}};
    summary.LowestVoltage = 11.8;
    summary.FaultCodes = {12};
    return summary;
}

QByteArray Cp1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QStringList Serials(const THeaterPage &page)
{
    QStringList serials;
    for (const THeaterRecord &heater : page.Heaters)
        serials << heater.SerialNumber;
    return serials;
}
} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT
    QTemporaryDir Dir;

    QString NewPath(const QString &name) const { return Dir.filePath(name); }

private slots:
    // A file of version 1 with a heater, two rows of the same run file and an EDR read: opened, it is
    // at the latest version with its rows, a visit for each day they tell, and one row per run file.
    void upgradesAStoredVersion1File()
    {
        const QString path = NewPath(QStringLiteral("v1.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            for (const char *statement : Version1)
                QVERIFY2(query.exec(QLatin1String(statement)), qPrintable(query.lastError().text()));
            const qint64 monday = At(QStringLiteral("2026-12-07 09:00")).toMSecsSinceEpoch();
            const qint64 tuesday = At(QStringLiteral("2026-12-08 15:00")).toMSecsSinceEpoch();
            QVERIFY(query.exec(QStringLiteral("INSERT INTO heaters VALUES(1, 'Hydrel-7S', '070001234', '1.2.0.3.17', %1, %2)")
                                   .arg(monday)
                                   .arg(tuesday)));
            for (int copy = 0; copy < 2; ++copy)
                QVERIFY(query.exec(QStringLiteral("INSERT INTO runs(heater_id, csv_path, started, ended, duration, stages,"
                                                  " highest_temperatures, lowest_voltage, fault_codes)"
                                                  " VALUES(1, '/runs/a.csv', %1, %2, 600, '0, 3', 'T plate 80', 12.1, '')")
                                       .arg(monday)
                                       .arg(monday + 600000)));
            QVERIFY(query.exec(QStringLiteral("INSERT INTO edr_reads VALUES(1, 1, %1, x'0102', 'Report')").arg(tuesday)));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v1"));

        THistoryStore store;
        QVERIFY2(store.Open(path), qPrintable(store.Error()));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QString error;
            QCOMPARE(HistoryVersion(db, error), LatestHistoryVersion());
            QVERIFY(LatestHistoryVersion() >= 3);
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA journal_mode")) && query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("wal"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));

        const QList<THeaterRecord> heaters = store.HeatersWithSerial(QStringLiteral("070001234"));
        QCOMPARE(heaters.size(), 1);
        QCOMPARE(heaters[0].Firmware, QStringLiteral("1.2.0.3.17"));
        QCOMPARE(store.Runs(1).size(), 1);
        QCOMPARE(store.Runs(1)[0].LowestVoltage, std::optional<double>(12.1));
        const QList<TVisitRecord> visits = store.Visits(1);
        QCOMPARE(visits.size(), 2);
        QCOMPARE(visits[0].Day, QDate(2026, 12, 7));
        QCOMPARE(visits[0].Runs, 1);
        QCOMPARE(visits[1].Day, QDate(2026, 12, 8));
        QCOMPARE(visits[1].EdrReads, 1);
        QCOMPARE(store.EdrRead(1)->Image, QByteArray("\x01\x02", 2));
        // Upgraded, the file takes each run file once.
        QVERIFY(!store.AddRun(1, QStringLiteral("/runs/a.csv"), At(QStringLiteral("2026-12-09 10:00")), Summary(5)));
    }

    // A file this program did not write, or of a version it does not know, is not touched.
    void refusesFilesItCannotUpgrade_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("garbage") << QByteArray(4096, '\x5a') << "not a database";
        QTest::newRow("newer version") << QByteArray() << "newer version";
    }
    void refusesFilesItCannotUpgrade()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = NewPath(QStringLiteral("refused-%1.sqlite").arg(QTest::currentDataTag()));
        if (bytes.isEmpty()) {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 99")));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("newer"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        THistoryStore store;
        QVERIFY(!store.Open(path));
        QVERIFY2(store.Error().contains(reason), qPrintable(store.Error()));
    }

    // Heaters seen last come first; the search narrows by a part of the serial number or the model,
    // in any letter case, "%" and "_" taken as they are; pages follow each other without overlap.
    void findsHeatersBySerialOrModel_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("all, seen last first") << "" << QStringList{"100000004", "152024017", "070001234", "070009999"};
        QTest::newRow("serial part") << "0700" << QStringList{"070001234", "070009999"};
        QTest::newRow("model in lower case") << "corva" << QStringList{"152024017"};
        QTest::newRow("model of two heaters") << "hydrel-7s" << QStringList{"070001234", "070009999"};
        QTest::newRow("percent sign is literal") << "%" << QStringList{"100000004"};
        QTest::newRow("nothing matches") << "zzz" << QStringList{};
    }
    void findsHeatersBySerialOrModel()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, serials);
        THistoryStore store;
        QVERIFY(store.Open(NewPath(QStringLiteral("search.sqlite"))));
        store.NoteHeater("Hydrel-7S", "070009999", "1.0", At("2026-12-01 08:00"));
        store.NoteHeater("Hydrel-7S", "070001234", "1.2", At("2026-12-02 08:00"));
        store.NoteHeater("Corva-mini", "152024017", "3.1", At("2026-12-03 08:00"));
        store.NoteHeater("Test 100%", "100000004", "", At("2026-12-04 08:00"));
        const THeaterPage page = store.Heaters(search, 0, 10);
        QCOMPARE(Serials(page), serials);
        QCOMPARE(page.Total, qint64(serials.size()));
        if (serials.size() > 1) {
            const THeaterPage first = store.Heaters(search, 0, 1), second = store.Heaters(search, 1, 1);
            QCOMPARE(Serials(first) + Serials(second), serials.mid(0, 2));
            QCOMPARE(first.Total, qint64(serials.size()));
        }
    }

    // A heater seen again keeps its first sighting and its firmware when the new sighting tells none;
    // its days, runs and EDR reads come in time order.
    void keepsAHeatersVisitsRunsAndReads()
    {
        THistoryStore store;
        QVERIFY(store.Open(NewPath(QStringLiteral("heater.sqlite"))));
        const qint64 id = *store.NoteHeater("Zephal-1", "010098765", "7.2.0.11", At("2026-12-01 08:00"));
        QCOMPARE(*store.NoteHeater("Zephal-1", "010098765", QString(), At("2026-12-05 16:30")), id);
        QCOMPARE(*store.NoteHeater("Zephal-1", "010098765", QString(), At("2026-12-01 08:10")), id);
        QVERIFY(store.AddRun(id, "/runs/b.csv", At("2026-12-05 17:00"), Summary(1800)));
        QVERIFY(store.AddRun(id, "/runs/a.csv", At("2026-12-01 09:00"), Summary(60, {0, 1})));
        QVERIFY(store.AddEdrRead(id, At("2026-12-05 17:05"), QByteArray(1024, '\x07'), "line 1\nline 2"));
        // A different model with the same serial number is another heater.
        const qint64 other = *store.NoteHeater("Hydrel-7S", "010098765", "1.0", At("2026-12-06 08:00"));
        QVERIFY(other != id);

        const THeaterRecord heater = store.HeatersWithSerial("010098765").first();
        QCOMPARE(heater.Id, id);
        QCOMPARE(heater.Firmware, QStringLiteral("7.2.0.11"));
        QCOMPARE(heater.FirstSeen, At("2026-12-01 08:00"));
        QCOMPARE(heater.LastSeen, At("2026-12-05 16:30"));

        const QList<TVisitRecord> visits = store.Visits(id);
        QCOMPARE(visits.size(), 2);
        QCOMPARE(visits[0].Day, QDate(2026, 12, 1));
        QCOMPARE(visits[0].Runs, 1);
        QCOMPARE(visits[0].EdrReads, 0);
        QCOMPARE(visits[1].Day, QDate(2026, 12, 5));
        QCOMPARE(visits[1].Runs, 1);
        QCOMPARE(visits[1].EdrReads, 1);

        const QList<TRunRecord> runs = store.Runs(id);
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].CsvPath, QStringLiteral("/runs/a.csv"));
        QCOMPARE(runs[0].Started, At("2026-12-01 08:59"));
        QCOMPARE(runs[1].DurationSeconds, qint64(1800));
        QCOMPARE(runs[1].Stages, QStringLiteral("0, 1, 2, 3"));
        QCOMPARE(runs[1].HighestTemperatures, QStringLiteral("T plate 85.5"));
        QCOMPARE(runs[1].FaultCodes, QStringLiteral("12"));

        const QList<TEdrReadRecord> reads = store.EdrReads(id);
        QCOMPARE(reads.size(), 1);
        QVERIFY(reads[0].Image.isEmpty());
        const std::optional<TEdrReadRecord> read = store.EdrRead(reads[0].Id);
        QVERIFY(read);
        QCOMPARE(read->Image, QByteArray(1024, '\x07'));
        QCOMPARE(read->Report, QStringLiteral("line 1\nline 2"));
        QVERIFY(!store.EdrRead(reads[0].Id + 100));
        QVERIFY(store.Runs(other).isEmpty());
    }

    // A heater imported under the three models its run logs' header fits is the one identified later
    // as one of them, its runs with it; a model outside the list is another heater.
    void importedHeaterTakesTheModelItIsSeenAs()
    {
        THistoryStore store;
        QVERIFY(store.Open(NewPath(QStringLiteral("merge.sqlite"))));
        const QString models = QStringLiteral("Hydrel-7S / Zephal-1 / Zephal-33 [new rev.]");
        const qint64 imported = *store.NoteHeater(models, "330120456", QString(), At("2026-11-01 08:00"));
        QVERIFY(store.AddRun(imported, "/runs/old.csv", At("2026-11-01 09:00"), Summary(60)));
        QVERIFY(*store.NoteHeater("Hydrel-7", "330120456", "2.0", At("2026-12-01 08:00")) != imported);
        QCOMPARE(*store.NoteHeater("Zephal-33 [new rev.]", "330120456", "18.3.1.5", At("2026-12-02 08:00")), imported);
        QCOMPARE(*store.NoteHeater("Zephal-1", "330120456", "7.2", At("2026-12-03 08:00")) == imported, false);
        QStringList held;
        for (const THeaterRecord &heater : store.HeatersWithSerial("330120456"))
            held << heater.Model;
        QCOMPARE(held, (QStringList{"Zephal-33 [new rev.]", "Hydrel-7", "Zephal-1"}));
        QCOMPARE(store.Runs(imported).size(), 1);
    }

    // The summary of a run log of each header: the stages in the order reached, the highest value of
    // every temperature column, the lowest supply voltage (not the glow plug's) and the fault codes.
    void summarisesEachFamilysRunLog_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("stages");
        QTest::addColumn<QString>("temperatures");
        QTest::addColumn<double>("lowestVoltage");
        QTest::addColumn<QString>("faults");
        QTest::newRow("current family") << QStringLiteral(
            "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;T ext. sens.;T plate;"
            "Voltage;FaultCode;\r\n"
            "1;0;1;1;1;0;0;0,00;8,5;0;20;-5;21;12,4;0;\r\n"
            "2;0;2;1;2;40;39;1,50;9,1;0;150;-4;35;11,9;0;\r\n"
            "3;0;3;1;3;60;60;2,50;0;0;420;-3;48;12,2;33;\r\n"
            "1;0;4;1;4;0;0;0,00;0;0;300;-3;51;12,3;33;\r\n")
                                        << "1, 2, 3" << "FI 420, T ext. sens. -3, T plate 51" << 11.9 << "33";
        QTest::newRow("current family, Russian header") << QStringLiteral(
            "Стадия;режим;Вр.Работы;Вр.на стадии;Вр. на режиме;Об.заданные;Об.считанные;Частота ТН;U свечи;"
            "Импульс ШИМ свечи/1000;ИП;Т внешн. датчика;T платы;U;Неисправность;\r\n"
            "0;0;1;1;1;0;0;0.00;7.9;0;20;10;22;12.6;0;\r\n"
            "4;0;2;1;2;0;0;0.00;0;0;20;11;24.5;12.5;5;\r\n")
                                                        << "0, 4" << "ИП 20, Т внешн. датчика 11, T платы 24.5" << 12.5 << "5";
        QTest::newRow("legacy liquid") << QStringLiteral(
            "WorkMode;WorkTime;SB;ASB;FP Freq.;Plug voltage;FI;T liq.1;T liq.2;T plate;U;Relay;Pump;Faultcode;\r\n"
            "2;10;30;30;1.20;6.5;100;40;42;30;24.8;1;1;0;\r\n"
            "2;11;30;30;1.20;6.5;100;55;57;31;23.9;1;1;0;\r\n")
                                       << "2" << "FI 100, T liq.1 55, T liq.2 57, T plate 31" << 23.9 << "";
        QTest::newRow("legacy air") << QStringLiteral("Stage;SB;ASB;FP frequency;FI;T ext. sensor;T plate;Voltage;FaultCode;\r\n"
                                                      "3;50;50;2.00;400;18;44;12.0;0;\r\n")
                                    << "3" << "FI 400, T ext. sensor 18, T plate 44" << 12.0 << "";
    }
    void summarisesEachFamilysRunLog()
    {
        QFETCH(QString, file);
        QFETCH(QString, stages);
        QFETCH(QString, temperatures);
        QFETCH(double, lowestVoltage);
        QFETCH(QString, faults);
        const TRunLogContent content = ReadRunLogBytes(Cp1251(file));
        QVERIFY2(content.Error.isEmpty(), qPrintable(content.Error));
        const TRunSummary summary = SummariseRun(content);
        QCOMPARE(summary.Rows, int(content.Rows.size()));
        QCOMPARE(summary.StagesText(), stages);
        QCOMPARE(summary.TemperaturesText(), temperatures);
        QVERIFY(summary.LowestVoltage);
        QCOMPARE(*summary.LowestVoltage, lowestVoltage);
        QCOMPARE(summary.FaultCodesText(), faults);
    }

    void readsRunLogNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QDateTime>("saved");
        QTest::newRow("run log") << "[070001234] 2026-12-11 10-00-37.csv" << "070001234" << At("2026-12-11 10:00").addSecs(37);
        QTest::newRow("unidentified") << "[unidentified] 2026-01-02 03-04-05.csv" << "unidentified"
                                      << At("2026-01-02 03:04").addSecs(5);
        QTest::newRow("chart, not a run") << "[070001234] 2026-12-11 10-00-37 chart.csv" << "" << QDateTime();
        QTest::newRow("no serial") << "2026-12-11 10-00-37.csv" << "" << QDateTime();
        QTest::newRow("impossible date") << "[1] 2026-13-40 10-00-37.csv" << "" << QDateTime();
    }
    void readsRunLogNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, serial);
        QFETCH(QDateTime, saved);
        const std::optional<TRunLogName> parsed = ParseRunLogName(name);
        QCOMPARE(parsed.has_value(), !serial.isEmpty());
        if (parsed) {
            QCOMPARE(parsed->SerialNumber, serial);
            QCOMPARE(parsed->Saved, saved);
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_history_store.moc"
