// The legacy air family's values: the answers' formulas with their grid texts, the status bits and
// fault texts, the stage bands, the run log's rows and its saving once a run ends, after a loss of
// the line, and again after the heater started by itself.
#include "support/AirPeer.h"
#include "core/Timer.h"
#include "views/BandSeries.h"
#include "views/StringGrid.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include <QLocale>
#include <QtTest>

using namespace AirTest;

namespace {
const QString Zephal = QStringLiteral("Zephal-3/-33/-6 [old rev.]");
const QString Corva = QStringLiteral("Corva");

QString Cell(int row)
{
    return frmViewData->strngrd->Cells(1, row);
}

QStringList SavedRunLog(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}
} // namespace

class TestAirTelemetry : public QObject {
    Q_OBJECT

    // Answers one command as if it were in flight.
    static void Answered(TAirFixture &f, quint8 code, const QByteArray &answer)
    {
        f.Product->SendCommand(code);
        f.Feed(answer);
    }
    static void Identify(TAirFixture &f)
    {
        Answered(f, 56, Answer(1, 5, 18));
        Answered(f, 57, Answer(1, 52, 86));
    }

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void decodedValues_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::newRow("outside air 570") << Zephal << 15 << Answer(0, 0x02, 0x3A) << 6 << QStringLiteral("6 °C");
        QTest::newRow("overheat 570") << Corva << 15 << Answer(1, 0x02, 0x3A) << 5 << QStringLiteral("6 °C");
        QTest::newRow("plate") << Zephal << 16 << Answer(0, 0x02, 0x3A) << 7 << QStringLiteral("6 °C");
        QTest::newRow("FI 300 K") << Zephal << 26 << Answer(0, 1, 44) << 5 << QStringLiteral("27 °C");
        QTest::newRow("FI on Corva") << Corva << 26 << Answer(1, 1, 44) << 4 << QStringLiteral("27 °C");
        QTest::newRow("voltage") << Zephal << 7 << Answer(0, 0, 125) << 8 << QStringLiteral("12.5 V");
        QTest::newRow("voltage on Corva") << Corva << 7 << Answer(1, 0, 120) << 7 << QStringLiteral("12 V");
        QTest::newRow("SB") << Zephal << 29 << Answer(0, 40, 38) << 2 << QStringLiteral("40");
        QTest::newRow("ASB") << Corva << 29 << Answer(1, 40, 38) << 3 << QStringLiteral("38");
        QTest::newRow("pump frequency") << Zephal << 35 << Answer(0, 25, 0) << 4 << QStringLiteral("2.50 Hz");
        QTest::newRow("burning with fault 5") << Zephal << 3 << Answer(0x02, 0x13, 5) << 9
                                              << QStringLiteral("[5]FI failure");
        QTest::newRow("burning stage text") << Zephal << 3 << Answer(0x02, 0x13, 5) << 0 << QStringLiteral("Burning");
        QTest::newRow("status 34: no fault") << Zephal << 3 << Answer(0x22, 0x03, 5) << 9 << QStringLiteral("-");
        QTest::newRow("fault 11 has no name") << Corva << 1 << Answer(0x02, 0x03, 11) << 8 << QStringLiteral("[11]");
        QTest::newRow("fault 27 named") << Corva << 1 << Answer(0x03, 0x03, 27) << 8
                                        << QStringLiteral("[27]Air pump’ motor won’t rotate");
        QTest::newRow("fault above the table") << Zephal << 3 << Answer(0x02, 0x03, 200) << 9 << QStringLiteral("[200]");
        QTest::newRow("stage 6") << Zephal << 3 << Answer(0x01, 0x36, 0) << 0 << QStringLiteral("Waiting");
        QTest::newRow("stage 9") << Zephal << 3 << Answer(0x01, 0x09, 0) << 0 << QStringLiteral("Unknown");
        QTest::newRow("start answer stage 1") << Corva << 23 << Answer(1, 0x01, 0) << 0 << QStringLiteral("Ignition");
    }
    void decodedValues()
    {
        QFETCH(QString, caption);
        QFETCH(int, code);
        QFETCH(QByteArray, answer);
        QFETCH(int, row);
        QFETCH(QString, shown);
        TAirFixture f(caption);
        f.Quiet();
        Answered(f, quint8(code), answer);
        f.Product->TransmitTimerEvent(nullptr);
        QCOMPARE(Cell(row), shown);
    }

    void formulas()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        Answered(f, 15, Answer(0, 0x02, 0x3A));
        QVERIFY(qAbs(f.Product->TempExternal - 5.59) < 0.005);
        Answered(f, 26, Answer(0, 1, 44));
        QCOMPARE(f.Product->FlameIndicator, 27.0);
        Answered(f, 3, Answer(0x02, 0x13, 5));
        QCOMPARE(f.Product->Stage, quint8(3));
        QVERIFY(f.Product->FaultFlag);
        QVERIFY(!f.Product->StatusBit0);
        QCOMPARE(f.Product->FaultCode, quint8(5));
        // The start answer changes the stage only.
        Answered(f, 23, Answer(0x01, 0x15, 0));
        QCOMPARE(f.Product->Stage, quint8(5));
        QCOMPARE(f.Product->PrevStage, quint8(3));
        QCOMPARE(f.Product->FaultCode, quint8(5));
        QVERIFY(f.Product->StatusBit0);
    }

    void gridLabelsAndWorkTimeAtRest()
    {
        TAirFixture f(Corva);
        f.Quiet();
        QCOMPARE(frmViewData->strngrd->RowCount(), 9);
        QCOMPARE(frmViewData->strngrd->Cells(0, 8), QStringLiteral("Faultcode"));
        f.Product->WorkTime = 40;
        f.Product->TransmitTimerEvent(nullptr);
        QCOMPARE(Cell(1), QStringLiteral("0 sec."));
        Answered(f, 1, Answer(1, 2, 0));
        f.Product->TransmitTimerEvent(nullptr);
        QCOMPARE(Cell(1), QStringLiteral("42 sec."));
    }

    void runIsSavedOnceWorkTimePassesNine()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        Identify(f);
        f.Heater.Answers[23] = Answer(1, 1, 0);
        f.Product->Start();
        QVERIFY(f.Product->Running);
        QCOMPARE(f.Product->StatusCommand, quint8(1));
        QCOMPARE(f.Product->RunLog().first(), QStringLiteral("Stage;SB;ASB;FP frequency;FI;T ext. sensor;T plate;Voltage;FaultCode;"));
        f.Product->TransmitTimer->SetEnabled(true);
        Answered(f, 1, Answer(1, 0, 0));
        f.H.Clock.AdvanceBy(9000);
        QCOMPARE(f.Product->WorkTime, 9);
        // Stage 0 with the counter at 9: not the end of the run yet.
        Answered(f, 1, Answer(1, 0, 0));
        QVERIFY(f.Product->Running);
        QVERIFY(frmGraph->SavePath().isEmpty());
        f.H.Clock.AdvanceBy(1000);
        Answered(f, 1, Answer(1, 0, 0));
        QVERIFY(!f.Product->Running);
        QVERIFY(f.Product->LogSaved);
        QVERIFY(f.Product->RunLog().isEmpty());
        const QString caption = frmGraph->SavePath();
        QVERIFY2(caption.startsWith(QStringLiteral("Log saved to ")), qPrintable(caption));
        const QString path = caption.mid(13);
        QVERIFY(path.contains(QStringLiteral("[051193046] ")));
        const QStringList lines = SavedRunLog(path);
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[1], QStringLiteral("0;0;0;0.00;0.00;0;0;0.00;0;"));
        // A second stage-0 answer saves nothing more.
        Answered(f, 1, Answer(1, 0, 0));
        QCOMPARE(frmGraph->SavePath(), caption);
    }

    void rowsAndBands()
    {
        TAirFixture f(Corva);
        f.Quiet();
        f.Product->Start();
        Answered(f, 1, Answer(1, 0x01, 0));
        Answered(f, 7, Answer(1, 0, 126));
        Answered(f, 26, Answer(1, 1, 48));
        Answered(f, 29, Answer(1, 40, 38));
        f.Product->TransmitTimerEvent(nullptr);
        f.Product->TransmitTimerEvent(nullptr);
        Answered(f, 1, Answer(1, 0x03, 0));
        f.Product->TransmitTimerEvent(nullptr);
        QCOMPARE(f.Product->RunLog().last(), QStringLiteral("3;40;38;0.00;31.00;0;0;12.60;0;"));
        const QVector<TBandSeries::TBar> &bars = frmGraph->gntsrs2->Bars();
        // Each tick's bar spans from the stage's start, so the band of one stage grows as one bar.
        QCOMPARE(bars.size(), 2);
        QCOMPARE(bars[0].Color, QColor(255, 128, 0));
        QCOMPARE(bars[0].End, 2.0 / 86400);
        QCOMPARE(bars[1].Color, QColor(0, 128, 0));
        // The burning band starts at the tick before the change.
        QCOMPARE(bars[1].Start, 2.0 / 86400);
        QCOMPARE(bars[1].End, 3.0 / 86400);
        QCOMPARE(frmGraph->gntsrs3->Bars().size(), 2);
    }

    void stageWithoutBandAddsNoBar()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        f.Product->Start();
        Answered(f, 3, Answer(1, 0x06, 0));
        f.Product->TransmitTimerEvent(nullptr);
        QVERIFY(frmGraph->gntsrs2->Bars().isEmpty());
        QCOMPARE(f.Product->RunLog().size(), 2);
    }

    void heaterStartedByItselfIsRecordedAndSaved()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        Identify(f);
        Answered(f, 3, Answer(1, 0x02, 0));
        QVERIFY(f.Product->Running);
        for (int i = 0; i < 12; ++i)
            f.Product->TransmitTimerEvent(nullptr);
        Answered(f, 3, Answer(1, 0x00, 0));
        QVERIFY(!f.Product->Running);
        const QString caption = frmGraph->SavePath();
        QVERIFY2(caption.startsWith(QStringLiteral("Log saved to ")), qPrintable(caption));
        const QStringList lines = SavedRunLog(caption.mid(13));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], QStringLiteral("Stage;SB;ASB;FP frequency;FI;T ext. sensor;T plate;Voltage;FaultCode;"));
    }

    void runIsSavedWhenTheLineIsLost()
    {
        TAirFixture f(Corva);
        f.Quiet();
        Identify(f);
        f.Product->Start();
        Answered(f, 1, Answer(1, 0x02, 0));
        f.Product->TransmitTimerEvent(nullptr);
        f.Product->SendCommand(7);
        QVERIFY(f.H.Clock.AdvanceUntil([&] { return f.H.LogContains(QStringLiteral(" Connection lost.")); }, 10000));
        QVERIFY(!f.Product->Running);
        const QString caption = frmGraph->SavePath();
        QVERIFY2(caption.contains(QStringLiteral("[051193046] ")), qPrintable(caption));
        QCOMPARE(SavedRunLog(caption.mid(13)).size(), 2);
    }

    void runIsSavedWhenAnotherModelIsChosen()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        Identify(f);
        f.Product->Start();
        f.Product->TransmitTimerEvent(nullptr);
        f.H.Choose(Corva);
        const QString caption = frmGraph->SavePath();
        QVERIFY2(caption.contains(QStringLiteral("[051193046] ")), qPrintable(caption));
    }

    void legendAndPanel()
    {
        TAirFixture f(Corva);
        QCOMPARE(frmGraph->lbl7->text(), QStringLiteral("T ovrht.(°C)"));
        QVERIFY(frmGraph->lbl3->isHidden());
        QVERIFY(frmGraph->lbl17->isHidden());
        QVERIFY(frmGraph->lbl8->isHidden());
        f.H.Choose(Zephal);
        QCOMPARE(frmGraph->lbl7->text(), QStringLiteral("T air(ext. sensor) (°C)"));
        QVERIFY(!frmGraph->lbl3->isHidden());
    }
};

QTEST_MAIN(TestAirTelemetry)
#include "tst_air_telemetry.moc"
