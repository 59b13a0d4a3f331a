// Both legacy air-family models against the simulated heater on the virtual clock: search,
// identification, polling, a recorded run from start to stop with its CSV saved, the EDR report, the
// FI calibration, line faults, a damaged dump, and the lost line with the search starting again.
#include "app/Globals.h"
#include "core/Timer.h"
#include "legacy_air/AirProduct.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "support/Harness.h"
#include "views/fBB.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

namespace {
const QString Zephal = QStringLiteral("Zephal-3/-33/-6 [old rev.]");
const QString Corva = QStringLiteral("Corva");

struct TScenario {
    explicit TScenario(const QString &caption) : Heater(*FindAirVariant(caption))
    {
        H.Connect(&Heater);
        H.Choose(caption);
        Product = dynamic_cast<TAirProduct *>(CurrentProduct);
    }
    ~TScenario()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        for (const QString &path : Saved)
            QFile::remove(path);
    }
    bool Until(const std::function<bool()> &what, qint64 ms) { return H.Clock.AdvanceUntil(what, ms, 50); }
    bool Polling() { return Until([&] { return Product->StatusActive; }, 20000); }

    THarness H;
    TAirHeaterSim Heater;
    TAirProduct *Product = nullptr;
    QStringList Saved;
};
} // namespace

class TestScenarioAir : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void runFromStartToSavedLog_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("serial");
        QTest::newRow("Zephal") << Zephal << QStringLiteral("Thermoryx Diagnostic - Zephal #051193046 firmware version: 3-12")
                                << QStringLiteral("051193046");
        QTest::newRow("Corva") << Corva << QStringLiteral("Thermoryx Diagnostic - Corva #120345678 firmware version: 2-7")
                               << QStringLiteral("120345678");
    }
    void runFromStartToSavedLog()
    {
        QFETCH(QString, caption);
        QFETCH(QString, title);
        QFETCH(QString, serial);
        TScenario s(caption);
        QVERIFY(s.Polling());
        QCOMPARE(s.H.Title(), title);
        QVERIFY(s.H.LogContains(QStringLiteral(" FullNumber: ") + serial));
        QCOMPARE(s.Product->Voltage, 12.6);

        s.Product->Start();
        QVERIFY(s.Product->Running);
        QVERIFY(s.Until([&] { return s.Product->Stage == 3; }, 20000));
        QCOMPARE(s.Product->StateText, QStringLiteral("Burning"));
        QVERIFY(s.Product->FlameIndicator > 100);
        s.H.Clock.AdvanceBy(5000);
        s.Product->Stop();
        QVERIFY(s.Until([&] { return s.Product->Stage == 5; }, 10000));
        QVERIFY(s.Until([&] { return !s.Product->Running; }, 20000));
        const QString caption2 = frmGraph->SavePath();
        QVERIFY2(caption2.startsWith(QStringLiteral("Log saved to ")), qPrintable(caption2));
        const QString path = caption2.mid(13);
        s.Saved << path;
        QVERIFY(path.contains(QLatin1Char('[') + serial + QStringLiteral("] ")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 20);
        QVERIFY(lines.first().startsWith(QStringLiteral("Stage;SB;ASB;FP frequency;FI;")));
        QVERIFY(lines.filter(QRegularExpression(QStringLiteral("^3;55;53;"))).size() > 3);
        QCOMPARE(s.H.LogContains(QStringLiteral("Connection lost.")), false);
    }

    void edrReport_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("line7");
        QTest::newRow("Zephal") << Zephal << QStringLiteral("FI calibration value               77");
        QTest::newRow("Corva") << Corva << QString();
    }
    void edrReport()
    {
        QFETCH(QString, caption);
        QFETCH(QString, line7);
        TScenario s(caption);
        QVERIFY(s.Polling());
        s.Product->ReadEDR();
        const QStringList lines = frmBB->Lines();
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines[7], line7);
        QCOMPARE(lines[12], QStringLiteral("Total operation time, D-HH:MM:SS   3-05:17:09"));
        QVERIFY(lines[4].startsWith(QStringLiteral("Worktime, D-HH:MM:SS          0-01:00:00 0-01:30:00 0-00:00:59")));
        QVERIFY(s.Product->Timer->Enabled());
        // Polling goes on after the reading.
        s.Product->StatusActive = false;
        QVERIFY(s.Polling());
    }

    void damagedDumpsEndTheReadingAndTheLinkGoesOn()
    {
        TScenario s(Corva);
        QVERIFY(s.Polling());
        s.Heater.SetFailureMode(QStringLiteral("bad-dump-sum"));
        s.Product->ReadEDR();
        QCOMPARE(s.H.Messages(), QStringList{QStringLiteral("Can't read EDR. Try again.")});
        QCOMPARE(int(s.Heater.Heard().count(24)), 1 + TAirProduct::DumpRepeats);
        QVERIFY(s.Polling());
        QVERIFY(!s.H.LogContains(QStringLiteral("Connection lost.")));
    }

    void calibration_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("message");
        QTest::newRow("answered") << QStringLiteral("none") << QStringLiteral("Training complete. Result=77");
        QTest::newRow("unanswered") << QStringLiteral("no-calibration") << QStringLiteral("Training fault");
    }
    void calibration()
    {
        QFETCH(QString, mode);
        QFETCH(QString, message);
        TScenario s(Zephal);
        QVERIFY(s.Polling());
        QVERIFY(s.Heater.SetFailureMode(mode));
        s.Product->CalibrateFI();
        QCOMPARE(s.H.Messages().last(), message);
        QVERIFY(s.Polling());
    }

    void lineFaultsAreRidden_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("fault");
        for (const QString &caption : {Zephal, Corva})
            for (const char *fault : {"split-frames", "noise"})
                QTest::newRow(qPrintable(caption + QLatin1Char(' ') + QLatin1String(fault)))
                    << caption << QString::fromLatin1(fault);
    }
    void lineFaultsAreRidden()
    {
        QFETCH(QString, caption);
        QFETCH(QString, fault);
        TScenario s(caption);
        QVERIFY(s.Heater.SetFailureMode(fault));
        QVERIFY(s.Polling());
        QVERIFY(s.Product->Identified);
        s.H.Clock.AdvanceBy(10000);
        QVERIFY(!s.H.LogContains(QStringLiteral("Connection lost.")));
    }

    void faultCodeReachesTheText()
    {
        TScenario s(Zephal);
        s.Heater.SetFailureMode(QStringLiteral("fault-5"));
        QVERIFY(s.Polling());
        QCOMPARE(s.Product->FaultText, QStringLiteral("[5]FI failure"));
    }

    void silenceLosesTheLineAndSearchFindsItAgain_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("searching");
        QTest::newRow("Zephal") << Zephal << QStringLiteral("Thermoryx Diagnostic - Zephal - Connecting...");
        QTest::newRow("Corva") << Corva << QStringLiteral("Thermoryx Diagnostic - Corva - Connecting...");
    }
    void silenceLosesTheLineAndSearchFindsItAgain()
    {
        QFETCH(QString, caption);
        QFETCH(QString, searching);
        TScenario s(caption);
        QVERIFY(s.Polling());
        s.Heater.SetFailureMode(QStringLiteral("silence"));
        QVERIFY(s.Until([&] { return s.H.LogContains(QStringLiteral(" Connection lost.")); }, 20000));
        QCOMPARE(s.H.Title(), searching);
        QVERIFY(!s.Product->Identified);
        QCOMPARE(s.Product->Voltage, 0.0);
        s.Heater.SetFailureMode(QStringLiteral("none"));
        QVERIFY(s.Polling());
        QVERIFY(s.Product->Identified);
    }

    void bytesSentAtAnotherSpeedGoUnanswered()
    {
        TScenario s(Corva);
        s.Heater.LineBaudRateChanged(9600);
        s.H.Clock.AdvanceBy(8000);
        QVERIFY(!s.Product->Identified);
    }
};

QTEST_MAIN(TestScenarioAir)
#include "tst_scenario_air.moc"
