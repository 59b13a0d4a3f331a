// Each model's EDR summary, reached through the model table, says what its report says: every
// counter with the number on the report's line of that name, and every fault record that holds a
// fault in the report's column for that record, none left out.
#include "app/Models.h"
#include "current/EdrReport.h"
#include "legacy_air/AirEdrReport.h"
#include "legacy_liquid/Hydrel7EdrReport.h"
#include "support/EdrImages.h"
#include <QRegularExpression>
#include <QtTest>

namespace {
// How a report shows a number of seconds.
QString SecondsText(const QString &model, quint32 seconds)
{
    if (model == QLatin1String("Corva-mini"))
        return QString::number(seconds);
    if (model == QLatin1String("Hydrel-7"))
        return Hydrel7::DurationText(seconds);
    if (model == QLatin1String("Zephal-3/-33/-6 [old rev.]") || model == QLatin1String("Corva"))
        return FormatEdrValue('T', seconds);
    return EdrHoursText(seconds);
}

// The value on the report's line that begins with the name: what follows the label's padding, its
// colon and blanks, without the full stop some reports end a count with.
QString ValueOnLine(const QStringList &report, const QString &name)
{
    for (const QString &line : report) {
        if (!line.startsWith(name))
            continue;
        static const QRegularExpression label(QStringLiteral("^[^:]*?(, D-HH:MM:SS)?\\s*:?\\s+"));
        QString value = line.mid(name.size()).remove(label);
        if (value.endsWith(QLatin1Char('.')) && !value.endsWith(QLatin1Char(')')))
            value.chop(1);
        return value;
    }
    return QStringLiteral("<no line>");
}

QStringList Cells(const QStringList &report, const QString &label)
{
    for (const QString &line : report)
        if (line.startsWith(label))
            return line.mid(label.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return {};
}
} // namespace

class TestEdrSummary : public QObject {
    Q_OBJECT

private slots:
    void agreesWithReport_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("faultRow"); // the label of the report's fault-code row
        QTest::addColumn<int>("counters");
        QTest::addColumn<QList<int>>("faultCodes");
        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << "Faultcode" << 20 << QList<int>{8, 9, 15, 5, 29, 17};
        QTest::newRow("Zephal-33, a record slot empty")
            << "Zephal-33 [new rev.]" << "Faultcode" << 20 << QList<int>{13, 78, 15, 29, 10};
        QTest::newRow("Zephal-1") << "Zephal-1" << "Faultcode" << 20 << QList<int>{13, 15, 78, 29};
        QTest::newRow("Corva-mini, 44 records, 6 used") << "Corva-mini" << "FaultCode" << 12
                                                        << QList<int>{13, 10, 78, 1, 15, 29};
        QTest::newRow("Zephal old, one start with a fault") << "Zephal-3/-33/-6 [old rev.]" << "FaultCode" << 5
                                                            << QList<int>{5};
        QTest::newRow("Corva") << "Corva" << "FaultCode" << 5 << QList<int>{5};
        QTest::newRow("Hydrel-7, counters in Russian") << "Hydrel-7" << "Код ошибки" << 9 << QList<int>{9, 15, 78, 21};
    }
    void agreesWithReport()
    {
        QFETCH(QString, model);
        QFETCH(QString, faultRow);
        QFETCH(int, counters);
        QFETCH(QList<int>, faultCodes);
        const TModel *entry = FindModel(model);
        QVERIFY(entry && entry->EdrSummary);
        const QByteArray image = SimulatedEdrImage(model);
        const QStringList report = EdrReportOf(model, image);
        const TEdrSummary summary = entry->EdrSummary(image);

        QCOMPARE(summary.Counters.size(), counters);
        for (const TEdrCounter &counter : summary.Counters) {
            const QString expected = counter.Unit == QLatin1String("s") ? SecondsText(model, quint32(counter.Value))
                                                                       : QString::number(counter.Value);
            QVERIFY2(counter.Unit.isEmpty() || counter.Unit == QLatin1String("s"), qPrintable(counter.Unit));
            QCOMPARE(ValueOnLine(report, counter.Name), expected);
        }

        const QStringList codes = Cells(report, faultRow);
        QVERIFY(!codes.isEmpty());
        QList<int> found;
        for (const TEdrFault &fault : summary.Faults) {
            QCOMPARE(codes.value(fault.Record - 1), QString::number(fault.Code));
            found << fault.Code;
        }
        QCOMPARE(found, faultCodes);
        // The records left out are exactly the empty ones.
        QCOMPARE(qsizetype(codes.size() - codes.count(QStringLiteral("0"))), found.size());
    }

    // Names as the report gives them; a code the model has no name for has none.
    void faultNames_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("Hydrel-7S") << "Hydrel-7S" << 29 << "Flamout count exceeded";
        QTest::newRow("Zephal-1's own name for 29") << "Zephal-1" << 29 << "Flameout count exceeded";
        QTest::newRow("Corva-mini") << "Corva-mini" << 1 << "Overheat";
        QTest::newRow("Zephal old") << "Zephal-3/-33/-6 [old rev.]" << 5 << "FI failure";
        QTest::newRow("Hydrel-7 without a name") << "Hydrel-7" << 200 << "";
    }
    void faultNames()
    {
        QFETCH(QString, model);
        QFETCH(int, code);
        QFETCH(QString, name);
        QByteArray image = SimulatedEdrImage(model);
        // The first record's code: each family's records begin with it, except the Hydrel-7's
        // and the old air heaters'.
        const int at = model == QLatin1String("Hydrel-7")                        ? 49
                       : model == QLatin1String("Zephal-3/-33/-6 [old rev.]")    ? 34
                       : model == QLatin1String("Zephal-1")                      ? 75
                       : model == QLatin1String("Corva-mini")                    ? 48
                                                                                 : 79;
        image[at] = char(code);
        const TEdrSummary summary = FindModel(model)->EdrSummary(image);
        QVERIFY(!summary.Faults.isEmpty());
        QCOMPARE(summary.Faults.first().Record, 1);
        QCOMPARE(summary.Faults.first().Code, code);
        QCOMPARE(summary.Faults.first().Name, name);
    }
};

QTEST_GUILESS_MAIN(TestEdrSummary)
#include "tst_edr_summary.moc"
