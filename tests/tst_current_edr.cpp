// Reading the Hydrel-7S EDR on the virtual clock: the report of a known image, a block answered only
// when asked again, the refusals and the failure paths.
#include "support/CurrentPeer.h"
#include "app/fMain.h"
#include "current/EdrReport.h"
#include "views/fBB.h"
#include <QtTest>

using namespace CurrentTest;

namespace {

void Put(std::array<quint8, 1024> &image, int at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        image[size_t(at + i)] = quint8(value >> (8 * (width - 1 - i)));
}

std::array<quint8, 1024> KnownImage()
{
    std::array<quint8, 1024> image{};
    Put(image, 2, 17, 1);
    Put(image, 3, 7, 2);
    Put(image, 5, 1234, 3);
    Put(image, 13, 120, 2);
    Put(image, 15, 100, 2);
    Put(image, 17, 95, 2);
    Put(image, 19, 5, 1);
    Put(image, 22, 2, 1);
    Put(image, 23, 3725, 4);
    Put(image, 27, 90061, 4);
    Put(image, 63, 3600, 4);
    Put(image, 71, 80, 2);
    Put(image, 73, 15, 2);
    Put(image, 75, 5, 2);
    Put(image, 78, 3, 1);
    // Record 0 right after the last-record number; record 5 last.
    const int r0 = 79, r5 = 79 + 5 * 29;
    const quint32 r0Values[][3] = {{0, 8, 1},    {1, 2, 1},    {2, 3, 1},     {3, 0, 1},   {4, 3600, 4},
                                   {8, 120, 4},  {12, 126, 2}, {14, 600, 2},  {16, 20, 1}, {17, 21, 1},
                                   {18, 45, 1},  {19, 1, 1},   {20, 0, 1},    {21, 300, 2}, {23, 22, 1},
                                   {24, 5, 1},   {25, 4, 1},   {26, 1, 1},    {27, 3, 1},  {28, 1, 1}};
    for (const auto &[offset, value, width] : r0Values)
        Put(image, r0 + int(offset), value, int(width));
    Put(image, r5, 27, 1);
    Put(image, r5 + 26, 2, 1);
    Put(image, r5 + 28, 3, 1);
    return image;
}

const QStringList GoldenReport = {
    "Version: 17",
    "Number: 07-0001234",
    "Ignition attempts: 120",
    "Attempts reached the stage W: 100",
    "Attempts completed without faults: 95",
    "Attempts completed with faults: 5",
    "Power resets while working: 2",
    "Total operation time: 000001 hours.(000-01:02.05)",
    "Operation time at power 0: 000025 hours.(001-01:01.01)",
    "Operation time at power 1: ---",
    "Operation time at power 2: ---",
    "Operation time at power 3: ---",
    "Operation time at power 4: ---",
    "Operation time at power 5: ---",
    "Operation time at power 6: ---",
    "Operation time at power 7: ---",
    "Operation time at power 8: ---",
    "Operation time at power 9: 000001 hours.(000-01:00.00)",
    "Working at ventilation mode: ---",
    "Starts at the first attempt: 80",
    "Starts at the second attempt: 15",
    "The number of failed launches: 5",
    "Number of the last record of failure: 3",
    "",
    "Faultcode                             8       0       0       0       0      27 ",
    "Attempts count                        2       0       0       0       0       0 ",
    "Stage/Mode                        3/  0   0/  0   0/  0   0/  0   0/  0   0/  0 ",
    "Total operation time               3600       0       0       0       0       0 ",
    "Worktime at mode                    120       0       0       0       0       0 ",
    "Voltage                            12.6     0.0     0.0     0.0     0.0     0.0 ",
    "T FI                                600       0       0       0       0       0 ",
    "T RCP                                20       0       0       0       0       0 ",
    "T cabin sensor                       21       0       0       0       0       0 ",
    "T plate                              45       0       0       0       0       0 ",
    "Attempt ignition                      1       0       0       0       0       0 ",
    "flame failures during operation       0       0       0       0       0       0 ",
    "flameout border                     300       0       0       0       0       0 ",
    "T setpoint                           22       0       0       0       0       0 ",
    "given power                           5       0       0       0       0       0 ",
    "current power                         4       0       0       0       0       0 ",
    "Ventilation is permitted              V       X       X       X       X       X ",
    "Switches to ventilation               3       0       0       0       0       0 ",
    "Work on...                       Тplate     Pwr     Pwr     Pwr     Pwr   Тext. ",
};

} // namespace

class TestCurrentEdr : public QObject {
    Q_OBJECT
    std::unique_ptr<TOrvelFixture> F;

    // Identified, streaming, idle in pause.
    void Connected()
    {
        F->Heater.Answers[4] = Frame(4, QByteArray::fromHex("0007 0004d2"));
        F->Heater.Answers[6] = Frame(6, QByteArray::fromHex("0102000311"));
        QVERIFY(F->H.Clock.AdvanceUntil([&] { return F->Heater.Requests.contains(Frame(7, QByteArray(1, '\1'))); }, 5000));
        F->Feed(TStatus().Frame());
        F->Heater.Requests.clear();
    }
    QList<int> BlockRequests() const
    {
        QList<int> addresses;
        for (const QByteArray &request : F->Heater.RequestsWithCommand(11))
            addresses << quint8(request[5]) * 256 + quint8(request[6]);
        return addresses;
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        F = std::make_unique<TOrvelFixture>();
        F->Heater.Image = KnownImage();
    }
    void cleanup() { F.reset(); }

    void hours_data()
    {
        QTest::addColumn<quint32>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0u << "---";
        QTest::newRow("3725") << 3725u << "000001 hours.(000-01:02.05)";
        QTest::newRow("90061") << 90061u << "000025 hours.(001-01:01.01)";
        QTest::newRow("one second") << 1u << "000000 hours.(000-00:00.01)";
        QTest::newRow("largest") << 0xFFFFFFFFu << "1193046 hours.(49710-06:28.15)";
    }
    void hours()
    {
        QFETCH(quint32, seconds);
        QFETCH(QString, text);
        QCOMPARE(EdrHoursText(seconds), text);
    }

    void reportOfAKnownImageWithABlockAnsweredOnRetry()
    {
        Connected();
        F->Heater.EepromRequestsToIgnore[64] = 1;
        const qint64 began = F->H.Clock.Now();
        F->Orvel->ReadEDR();
        QCOMPARE(BlockRequests(), QList<int>({0, 64, 64, 128, 192}));
        // The unanswered request waited its full 9 s before the retry.
        QVERIFY(F->H.Clock.Now() - began >= 9000);
        QCOMPARE(frmBB->Lines(), GoldenReport);
        QVERIFY(!F->Orvel->EdrReading);
        QVERIFY(!frmMain->WaitPanelVisible());
        QVERIFY(frmMain->N7->isChecked());
        // The stream was paused before the blocks and switched on again after them.
        F->H.Clock.AdvanceBy(100); // the last request still travels the line
        const QList<QByteArray> stream = F->Heater.RequestsWithCommand(7);
        QVERIFY(!stream.isEmpty());
        QCOMPARE(stream.first(), Frame(7, QByteArray(1, '\0')));
        QCOMPARE(stream.last(), Frame(7, QByteArray(1, '\1')));
        QVERIFY(F->H.Messages().isEmpty());
    }

    void unansweredBlockFailsAfterThreeAttempts()
    {
        Connected();
        F->Heater.EepromRequestsToIgnore[128] = 3;
        F->Orvel->ReadEDR();
        QCOMPARE(BlockRequests(), QList<int>({0, 64, 128, 128, 128}));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("EEPROM reading error.")));
        QCOMPARE(F->H.Messages(), QStringList{QStringLiteral("Can't read EDR. Try again.")});
        QVERIFY(!F->Orvel->EdrReading);
        QVERIFY(!frmMain->WaitPanelVisible());
    }

    void choosingAModelEndsTheReadAtOnce()
    {
        Connected();
        F->Heater.Silent = true;
        TOrvel *reading = F->Orvel;
        const qint64 began = F->H.Clock.Now();
        F->H.Clock.CallAt(began + 2000, [&] { F->H.Choose(QStringLiteral("Hydrel-7S")); });
        reading->ReadEDR();
        // The wait ended at the next pump instead of after three 9-second attempts.
        QVERIFY(F->H.Clock.Now() - began < 2500);
        QVERIFY(!reading->EdrReading);
        QVERIFY(F->H.Messages().isEmpty());
        F->H.Clock.AdvanceBy(10);
        // The old handler was torn down once its read had unwound.
        QVERIFY(F->H.LogContains(QStringLiteral("ErTimer DISABLED! :)")));
        QVERIFY(CurrentProduct);
    }

    void refusedWhileTheHeaterRuns()
    {
        Connected();
        TStatus burning;
        burning.Stage = 3;
        F->Feed(burning.Frame());
        F->Orvel->ReadEDR();
        QCOMPARE(F->H.Messages(), QStringList{QStringLiteral("Can't read EDR: Hydrel-7S launched")});
        QVERIFY(BlockRequests().isEmpty());
    }

    void nothingWithoutStatus()
    {
        Connected();
        F->Orvel->StopPolling();
        F->Orvel->ReadEDR();
        QVERIFY(F->H.Messages().isEmpty());
        QVERIFY(BlockRequests().isEmpty());
        QVERIFY(!frmMain->WaitPanelVisible());
    }

    void blockAnswersFillTheImageUpToItsEnd()
    {
        QByteArray payload = QByteArray::fromHex("03f0");
        for (int i = 0; i < 64; ++i)
            payload.append(char(i + 1));
        F->Feed(Frame(11, payload)); // also outside a read
        QVERIFY(F->Orvel->EepromAnswered);
        QCOMPARE(F->Orvel->EepromImage[1008], quint8(1));
        QCOMPARE(F->Orvel->EepromImage[1023], quint8(16));
        QCOMPARE(F->Orvel->EepromImage[1007], quint8(0));
    }

    void ventilationPermittedOnlyForOne_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << 0 << "X";
        QTest::newRow("1") << 1 << "V";
        QTest::newRow("2") << 2 << "X";
    }
    void ventilationPermittedOnlyForOne()
    {
        QFETCH(int, value);
        QFETCH(QString, shown);
        TEepromImage image{};
        image[size_t(HeaterEdrRecordStart(0) + 26)] = quint8(value);
        const QStringList report = HeaterEdrReport(image);
        const QString line = report.filter(QStringLiteral("Ventilation is permitted")).first();
        QCOMPARE(line.mid(32, 8), QStringLiteral("      %1 ").arg(shown));
    }
};

QTEST_MAIN(TestCurrentEdr)
#include "tst_current_edr.moc"
