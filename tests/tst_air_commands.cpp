// The legacy air family's commands: the EDR dump and its report against a golden text, the dump
// that fails its sum, start/stop/blower with their refusals, the old-revision settings' command
// codes and the FI calibration with its answers missing, equal or different.
#include "support/AirPeer.h"
#include "legacy_air/AirEdrReport.h"
#include "legacy_air/ZephalOld.h"
#include "legacy_air/AirModel.h"
#include "product/RunLogFile.h"
#include "core/Timer.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using namespace AirTest;

namespace {
const QString Zephal = QStringLiteral("Zephal-3/-33/-6 [old rev.]");
const QString Corva = QStringLiteral("Corva");

void PutBE(QByteArray &image, int offset, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        image[offset + i] = char(quint8(value >> (8 * (width - 1 - i))));
}

// Two start records filled in, the rest zero.
QByteArray KnownImage()
{
    QByteArray image(256, '\0');
    image[0] = char(77);  // FI calibration value
    image[3] = char(251); // minimum air temperature, unsigned
    PutBE(image, 4, 1234, 4);
    PutBE(image, 8, 1200, 4);
    PutBE(image, 12, 34, 4);
    image[16] = 0x00, image[17] = 0x01, image[18] = 0x5F, image[19] = char(0x91); // 90001 s
    PutBE(image, 20, 7, 4);
    image[24] = char(18);
    image[25] = char(2);
    PutBE(image, 26, 300, 4);
    PutBE(image, 30, 59, 4);
    image[34] = char(5);
    image[35] = char(1);
    image[36] = char(3);
    image[37] = char(1);
    PutBE(image, 38, 0, 4);
    PutBE(image, 42, 90061, 4);
    return image;
}

// The report of KnownImage, written out by hand.
QStringList GoldenReport(bool zephal)
{
    const QString zeros = QStringLiteral("          0");
    auto rest = [&](int from) { return zeros.repeated(18 - from); };
    const QString zeroTimes = QStringLiteral(" 0-00:00:00").repeated(16);
    return {
        QString(),
        QStringLiteral("                                 "
                       "          1          2          3          4          5          6          7          8"
                       "          9         10         11         12         13         14         15         16"
                       "         17         18"),
        QStringLiteral("T air before start, °C         ") + QStringLiteral("         18          3") + rest(2),
        QStringLiteral("Ignition attempts                  ") + QStringLiteral("          2          1") + rest(2),
        QStringLiteral("Worktime before +15°C, D-HH:MM:SS       ") + QStringLiteral(" 0-00:05:00 0-00:00:00")
            + zeroTimes,
        QStringLiteral("Worktime, D-HH:MM:SS         ") + QStringLiteral(" 0-00:00:59 1-01:01:01") + zeroTimes,
        QStringLiteral("FaultCode                ") + QStringLiteral("          5          0") + rest(2),
        QStringLiteral("Faults count                ") + QStringLiteral("          1          0") + rest(2),
        zephal ? QStringLiteral("FI calibration value               77") : QString(),
        QStringLiteral("Min. T air before start, °C      251"),
        QStringLiteral("Total starts count           1234"),
        QStringLiteral("Ingnitions count                  1200"),
        QStringLiteral("Ingnition faults count            34"),
        QStringLiteral("Total operation time, D-HH:MM:SS   1-01:00:01"),
        QStringLiteral("Interrupts count   7"),
    };
}
} // namespace

class TestAirCommands : public QObject {
    Q_OBJECT

    // A polled heater at rest, quiet again: ReadEDR needs a completed poll cycle.
    static void PolledAtRest(TAirFixture &f)
    {
        f.Heater.AnswerEverything();
        QVERIFY(f.H.Clock.AdvanceUntil([&] { return f.Product->StatusActive; }, 15000));
    }

private slots:
    void edrValueFormats_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("one day, one hour, a minute") << 'T' << quint32(90061) << QStringLiteral("1-01:01:01");
        QTest::newRow("90001 s") << 'T' << quint32(90001) << QStringLiteral("1-01:00:01");
        QTest::newRow("59 s") << 'T' << quint32(59) << QStringLiteral("0-00:00:59");
        QTest::newRow("largest") << 'T' << quint32(0xFFFFFFFF) << QStringLiteral("49710-06:28:15");
        QTest::newRow("number") << 'N' << quint32(0xFFFFFFFF) << QStringLiteral("4294967295");
    }
    void edrValueFormats()
    {
        QFETCH(char, kind);
        QFETCH(quint32, value);
        QFETCH(QString, text);
        QCOMPARE(FormatEdrValue(kind, value), text);
    }

    void edrReportMatchesTheGoldenText_data()
    {
        QTest::addColumn<bool>("zephal");
        QTest::newRow("Zephal") << true;
        QTest::newRow("Corva") << false;
    }
    void edrReportMatchesTheGoldenText()
    {
        QFETCH(bool, zephal);
        const QStringList report = AirEdrReport(KnownImage(), zephal);
        const QStringList golden = GoldenReport(zephal);
        QCOMPARE(report.size(), golden.size());
        for (int i = 0; i < golden.size(); ++i)
            QCOMPARE(report[i], golden[i]);
    }

    void readEdrThroughTheLine_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("Zephal") << Zephal;
        QTest::newRow("Corva") << Corva;
    }
    void readEdrThroughTheLine()
    {
        QFETCH(QString, caption);
        TAirFixture f(caption);
        PolledAtRest(f);
        f.Heater.Answers[24] = Dump(KnownImage());
        f.Product->ReadEDR();
        QVERIFY(f.Product->EdrReceived);
        QVERIFY(!f.Product->EdrReading);
        QVERIFY(f.Product->Timer->Enabled());
        // The window shows the report from its first text line: the memo's leading empty line has no
        // line of its own in an empty text area.
        QCOMPARE(frmBB->Lines(), GoldenReport(caption == Zephal).mid(1));
        QVERIFY(f.H.LogContains(QStringLiteral(" GetBB")));
        QVERIFY(f.H.Messages().isEmpty());
    }

    void badDumpIsDroppedAndAskedForAgain()
    {
        TAirFixture f(Corva);
        PolledAtRest(f);
        // Every dump fails its sum: the request goes out a bounded number of times, no stale bytes pile
        // up, and the reading ends at once with the error instead of waiting out its budget.
        f.Heater.Answers[24] = Dump(KnownImage(), false);
        f.Heater.Requests.clear();
        const qint64 began = f.H.Clock.Now();
        f.Product->ReadEDR();
        QCOMPARE(int(f.Heater.Requests.count(24)), 1 + TAirProduct::DumpRepeats);
        QVERIFY(f.H.Clock.Now() - began < 8000);
        QVERIFY(f.H.LogLines().contains(QStringLiteral("EEPROM reading error.")));
        QCOMPARE(f.H.Messages(), QStringList{QStringLiteral("Can't read EDR. Try again.")});
        QVERIFY(f.Product->RxData.isEmpty());
        // The link goes on: polling resumes.
        QVERIFY(f.Product->Timer->Enabled());
    }

    void goodDumpAfterABadOne()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        f.Product->SendCommand(24);
        f.Feed(Dump(KnownImage(), false));
        QVERIFY(!f.Product->EdrReceived);
        QVERIFY(f.Product->RxData.isEmpty());
        QCOMPARE(f.Product->pq, QList<quint8>{24});
        f.H.Clock.AdvanceBy(50);
        QCOMPARE(int(f.Heater.Requests.count(24)), 2);
        f.Feed(Dump(KnownImage()).left(256));
        QVERIFY(!f.Product->EdrReceived);
        f.Feed(Dump(KnownImage()).right(1));
        QVERIFY(f.Product->EdrReceived);
        QVERIFY(f.Product->pq.isEmpty());
        QCOMPARE(f.Product->EdrBlock.left(256), KnownImage());
    }

    void edrRefusedOrSilent()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        // Right after connecting (no completed poll cycle): nothing at all.
        f.Product->ReadEDR();
        QVERIFY(f.H.Messages().isEmpty());
        QVERIFY(f.Heater.Requests.isEmpty());
        f.Product->SendCommand(3);
        f.Feed(Answer(1, 3, 0));
        f.Heater.Requests.clear();
        f.Product->ReadEDR();
        QCOMPARE(f.H.Messages(), QStringList{QStringLiteral("Can't read EDR: Zephal launched")});
        QVERIFY(f.Heater.Requests.isEmpty());
    }

    void startStopAndBlower()
    {
        TAirFixture f(Corva);
        f.Quiet();
        f.Product->Start();
        QCOMPARE(f.Heater.Requests, QList<quint8>{23});
        QVERIFY(f.Product->StartRequested);
        f.Product->Start();
        f.Product->SetBlower(40);
        QCOMPARE(f.H.Messages(), QStringList({QStringLiteral("Unable to perform: Corva launched."),
                                              QStringLiteral("Unable to perform: Corva launched.")}));
        f.Product->Stop();
        QCOMPARE(f.Product->StatusCommand, quint8(3));
        QVERIFY(f.Product->Running);
        f.H.Clock.AdvanceBy(50);
        QCOMPARE(f.Heater.Requests, QList<quint8>({23, 52}));
    }

    void blowerAtRestAndStartWhileBurning()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        f.Heater.Answers[51] = Answer(1, 0, 0);
        f.Product->SetBlower(0);
        f.H.Clock.AdvanceBy(50);
        QCOMPARE(f.Heater.Requests, QList<quint8>{51});
        // Burning, nothing recorded (the recording was saved): start is sent, the graphs stay.
        f.Product->Stage = 3;
        f.Heater.Answers[23] = Answer(1, 3, 0);
        f.Product->Start();
        QCOMPARE(f.Product->StatusCommand, quint8(1));
        QVERIFY(!f.Product->Running);
        QVERIFY(f.Product->RunLog().isEmpty());
    }

    // A poll's status answer that arrives while Start is still on its way already shows the heater
    // igniting, so the run is taken up before the start's own begin. The start goes on with that run:
    // one run, one file, never a short file of the moments before.
    void statusDuringStartGivesOneRun()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        f.Heater.Answers[1] = Answer(1, 1, 0);
        f.Heater.Answers[3] = Answer(1, 1, 0);
        f.Product->SendCommand(3); // the poll's status request, just before Start
        f.Product->Start();
        QCOMPARE(f.Heater.Requests, QList<quint8>({3, 23}));
        QVERIFY(f.Product->Running);
        const QStringList runLog = f.Product->RunLog();
        QCOMPARE(runLog, QStringList{ZephalOldModel().RunLogHeader});
        for (int second = 0; second < 3; ++second) {
            f.Product->SendCommand(1);
            f.H.Clock.AdvanceBy(1000);
            f.Product->TransmitTimerEvent(nullptr);
        }
        QCOMPARE(f.Product->RunLog().size(), 4);
        QVERIFY(QDir(RunLogFolder()).entryList({QStringLiteral("[051193046] *")}, QDir::Files).isEmpty());
    }

    void oldSettingsCommandCodes_data()
    {
        QTest::addColumn<int>("workMode");
        QTest::addColumn<int>("setpointIndex");
        QTest::addColumn<int>("rcIndex");
        QTest::addColumn<int>("power");
        QTest::addColumn<QList<quint8>>("codes");
        QTest::newRow("power 8") << 0 << 0 << 0 << 8 << QList<quint8>{68};
        QTest::newRow("power 1") << 0 << 0 << 0 << 1 << QList<quint8>{61};
        QTest::newRow("T RC 15 degrees") << 1 << 3 << 0 << 1 << QList<quint8>{34, 95};
        QTest::newRow("T RC 30 degrees") << 1 << 0 << 15 << 1 << QList<quint8>{34, 110};
        QTest::newRow("plate 30 degrees") << 2 << 15 << 0 << 1 << QList<quint8>{53, 90};
        QTest::newRow("external 15 degrees") << 3 << 0 << 9 << 1 << QList<quint8>{54, 75};
        QTest::newRow("empty item") << 4 << 0 << 0 << 1 << QList<quint8>{};
    }
    void oldSettingsCommandCodes()
    {
        QFETCH(int, workMode);
        QFETCH(int, setpointIndex);
        QFETCH(int, rcIndex);
        QFETCH(int, power);
        QFETCH(QList<quint8>, codes);
        TAirFixture f(Zephal);
        f.Quiet();
        for (int code = 34; code <= 110; ++code)
            f.Heater.Answers[quint8(code)] = Answer(1, 0, 0);
        f.Product->ApplySettingsOld(quint8(workMode), quint8(setpointIndex), quint8(rcIndex), quint8(power));
        f.H.Clock.AdvanceBy(400);
        QCOMPARE(f.Heater.Requests, codes);
    }

    void oldSettingsRefusedWhileLaunched()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        f.Product->Start();
        f.Heater.Requests.clear();
        f.Product->ApplySettingsOld(0, 0, 0, 8);
        f.Product->ApplySettings(20, 0, 0, 1, 1);
        QCOMPARE(f.H.Messages(), QStringList{QStringLiteral("Can't perform: Zephal launched")});
        f.H.Clock.AdvanceBy(100);
        QVERIFY(f.Heater.Requests.isEmpty());
    }

    // The control panel's old-revision section and buttons reach these handlers' operations.
    void panelReachesTheHandler()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        for (int code = 34; code <= 110; ++code)
            f.Heater.Answers[quint8(code)] = Answer(1, 0, 0);
        QVERIFY(frmControl->btnSetParamZOld->isVisibleTo(frmControl));
        QVERIFY(frmControl->btnLearnDP->isVisibleTo(frmControl));
        frmControl->cbWorkModeOld->setCurrentIndex(2);
        frmControl->cbTold->setCurrentIndex(15);
        frmControl->btnSetParamZOld->click();
        f.H.Clock.AdvanceBy(400);
        QCOMPARE(f.Heater.Requests, QList<quint8>({53, 90}));
        f.Heater.Requests.clear();
        frmControl->btnAirOn->click();
        f.H.Clock.AdvanceBy(100);
        QCOMPARE(f.Heater.Requests, QList<quint8>{51});
        frmControl->btnLearnDP->click();
        QCOMPARE(f.H.Messages().last(), QStringLiteral("Training fault"));

        f.H.Choose(Corva);
        QVERIFY(!frmControl->btnSetParamZOld->isVisibleTo(frmControl));
        QVERIFY(!frmControl->btnLearnDP->isVisibleTo(frmControl));
        QVERIFY(frmControl->btnAirOn->isVisibleTo(frmControl));
        frmControl->btnAirOn->click();
        QCOMPARE(f.H.Messages().last(), QStringLiteral("Not connected"));
    }

    void calibration_data()
    {
        QTest::addColumn<QByteArray>("answerA");
        QTest::addColumn<QByteArray>("answerB");
        QTest::addColumn<QString>("message");
        QTest::newRow("equal values") << Answer(1, 0, 77) << Answer(1, 77, 0)
                                      << QStringLiteral("Training complete. Result=77");
        QTest::newRow("different values") << Answer(1, 0, 77) << Answer(1, 76, 0) << QStringLiteral("Training fault");
        QTest::newRow("no answers") << QByteArray() << QByteArray() << QStringLiteral("Training fault");
        QTest::newRow("equal zeros, second missing") << Answer(1, 0, 0) << QByteArray()
                                                     << QStringLiteral("Training fault");
    }
    void calibration()
    {
        QFETCH(QByteArray, answerA);
        QFETCH(QByteArray, answerB);
        QFETCH(QString, message);
        TAirFixture f(Zephal);
        f.Quiet();
        if (!answerA.isEmpty())
            f.Heater.Answers[18] = answerA;
        if (!answerB.isEmpty())
            f.Heater.Answers[25] = answerB;
        f.Product->CalibrateFI();
        QCOMPARE(f.H.Dialogs.front().first, TDialogKind::Warning);
        QCOMPARE(f.H.Dialogs.front().second,
                 QStringLiteral("Close the FI connector pins and click \"OK\" to overwrite current values."));
        QCOMPARE(f.H.Messages().last(), message);
        QVERIFY(f.Product->Timer->Enabled());
    }

    void calibrationCancelled()
    {
        TAirFixture f(Zephal);
        f.Quiet();
        f.H.WarningAnswer = TDialogResult::Cancel;
        f.Product->CalibrateFI();
        f.H.Clock.AdvanceBy(100);
        QVERIFY(f.Heater.Requests.isEmpty());
        QCOMPARE(f.H.Messages().size(), 1);
    }
};

QTEST_MAIN(TestAirCommands)
#include "tst_air_commands.moc"
