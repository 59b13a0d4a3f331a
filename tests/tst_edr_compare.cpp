// Two EDR reads of one simulated heater compared: the older is the image its simulator keeps, the
// newer that image with the changes a row names (in the model's byte order) — nothing, counters grown,
// new fault records, counters gone back after a reset — and what the technician reads about it.
#include "app/Models.h"
#include "history/EdrCompare.h"
#include "support/EdrImages.h"
#include <QtTest>

namespace {
struct TPoke {
    int At;
    quint32 Value;
    int Width;
};
using TPokes = QList<TPoke>;

const QDateTime OlderRead(QDate(2026, 3, 2), QTime(9, 15));

TEdrRead ReadOf(const QString &model, const QDateTime &at, const TPokes &pokes = {})
{
    QByteArray image = SimulatedEdrImage(model);
    for (const TPoke &poke : pokes)
        PokeEdrImage(image, model, poke.At, poke.Value, poke.Width);
    return {at, FindModel(model)->EdrSummary(image)};
}
} // namespace

Q_DECLARE_METATYPE(TPokes)

class TestEdrCompare : public QObject {
    Q_OBJECT

private slots:
    void sentences_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<TPokes>("changes");
        QTest::addColumn<QDateTime>("newerAt");
        QTest::addColumn<QString>("text");
        const QDateTime later(QDate(2026, 4, 10), QTime(14, 0));
        QTest::newRow("Hydrel-7S, nothing changed")
            << "Hydrel-7S" << TPokes{} << later
            << "Nothing changed since 2026-03-02: the same counters and no new fault records.";
        QTest::newRow("Hydrel-7S, more attempts and starts")
            << "Hydrel-7S" << TPokes{{13, 166, 2}, {71, 133, 2}} << later
            << "Since 2026-03-02: ignition attempts up by 14, starts at the first attempt up by 2; no new fault "
               "records.";
        // The sixth record slot was empty; the heater wrote its first fault into it.
        QTest::newRow("Zephal-33, a new fault record")
            << "Zephal-33 [new rev.]" << TPokes{{19, 6, 1}, {224, 13, 1}, {225, 3, 1}, {228, 160000, 4}} << later
            << "Since 2026-03-02: attempts completed with faults up by 1; new fault records: fault 13 'No further "
               "activation attempt is possible' once.";
        QTest::newRow("Zephal-1, counters gone back")
            << "Zephal-1" << TPokes{{8, 3, 2}, {10, 2, 2}} << later
            << "Counters went backwards since 2026-03-02, so the control unit was replaced or its recorder was "
               "reset: ignition attempts from 64 to 3, attempts reached the stage W from 61 to 2.";
        QTest::newRow("Corva-mini, two overheats and 2.5 hours")
            << "Corva-mini" << TPokes{{18, 343986, 4}, {150, 1, 1}, {154, 95, 2}, {167, 1, 1}, {171, 97, 2}} << later
            << "Since 2026-03-02: total operation time up by 2.5 hours; new fault records: fault 1 'Overheat' twice.";
        QTest::newRow("Zephal old, a start that failed")
            << "Zephal-3/-33/-6 [old rev.]" << TPokes{{4, 58, 4}, {12, 3, 4}, {78, 300, 4}, {82, 7, 1}, {83, 1, 1}}
            << later
            << "Since 2026-03-02: total starts count up by 1, ingnition faults count up by 1; new fault records: "
               "fault 7 'Flameout at low mode' once.";
        QTest::newRow("Hydrel-7, the same day, minutes in Russian")
            << "Hydrel-7" << TPokes{{25, 3600 * 27 + 1500, 4}} << OlderRead.addSecs(4 * 3600)
            << "Since 2026-03-02 09:15: время работы на ждущем режиме up by 25 minutes; no new fault records.";
        QTest::newRow("Hydrel-7, grown and gone back at once")
            << "Hydrel-7" << TPokes{{8, 413, 2}, {29, 2, 2}} << later
            << "Since 2026-03-02: кол-во успешных розжигов(с 1 раза) up by 1; no new fault records. Counters went "
               "backwards since 2026-03-02, so the control unit was replaced or its recorder was reset: общее "
               "кол-во прерываний (кроме ошибки 13) from 9 to 2.";
    }
    void sentences()
    {
        QFETCH(QString, model);
        QFETCH(TPokes, changes);
        QFETCH(QDateTime, newerAt);
        QFETCH(QString, text);
        const TEdrComparison comparison = CompareEdrReads(ReadOf(model, OlderRead), ReadOf(model, newerAt, changes));
        QCOMPARE(comparison.Text, text);
        QCOMPARE(comparison.Changed, !changes.isEmpty());
        QCOMPARE(comparison.Rows.isEmpty(), changes.isEmpty());
    }

    // The rows of the table: a counter with both values and the change, a fault code with the number of
    // its records in each read.
    void rows()
    {
        const TEdrComparison comparison = CompareEdrReads(
            ReadOf(QStringLiteral("Corva-mini"), OlderRead),
            ReadOf(QStringLiteral("Corva-mini"), OlderRead.addDays(30),
                   {{18, 343986, 4}, {8, 117, 2}, {150, 1, 1}, {154, 95, 2}, {167, 1, 1}, {171, 97, 2}}));
        QCOMPARE(comparison.Rows.size(), 3);
        const TEdrChangeRow &attempts = comparison.Rows[0];
        QCOMPARE(attempts.What, QStringLiteral("Ignition attempts"));
        QCOMPARE(attempts.Before, QStringLiteral("118"));
        QCOMPARE(attempts.After, QStringLiteral("117"));
        QCOMPARE(attempts.Change, QStringLiteral("-1 (went back)"));
        const TEdrChangeRow &hours = comparison.Rows[1];
        QCOMPARE(hours.What, QStringLiteral("Total operation time"));
        QCOMPARE(hours.Before, QStringLiteral("93.1 h"));
        QCOMPARE(hours.After, QStringLiteral("95.6 h"));
        QCOMPARE(hours.Change, QStringLiteral("+2.5 hours"));
        // The simulated pre-heater had one overheat record already.
        const TEdrChangeRow &overheat = comparison.Rows[2];
        QCOMPARE(overheat.What, QStringLiteral("Fault 1 'Overheat'"));
        QCOMPARE(overheat.Before, QStringLiteral("1"));
        QCOMPARE(overheat.After, QStringLiteral("3"));
        QCOMPARE(overheat.Change, QStringLiteral("+2 records"));
    }

    // The heater's record ring moved on: a record that only changed its place is not new, one that
    // took the place of an old one is.
    void recordsAreKnownWherever()
    {
        const QString model = QStringLiteral("Hydrel-7S");
        const QByteArray older = SimulatedEdrImage(model);
        QByteArray newer = older;
        // Records 1..5 move one place down; the freed last place takes a fresh record.
        newer.replace(79, 5 * 29, older.mid(79 + 29, 5 * 29));
        PokeEdrImage(newer, model, 79 + 5 * 29, 12, 1);
        PokeEdrImage(newer, model, 79 + 5 * 29 + 4, 310000, 4);
        const auto summary = FindModel(model)->EdrSummary;
        const TEdrComparison comparison =
            CompareEdrReads({OlderRead, summary(older)}, {OlderRead.addDays(3), summary(newer)});
        QCOMPARE(comparison.Text, QStringLiteral("Since 2026-03-02: new fault records: fault 12 'Voltage boost' once."));
    }
};

QTEST_GUILESS_MAIN(TestEdrCompare)
#include "tst_edr_compare.moc"
