// The Hydrel-7's commands: start and stop with their frames and their resending until confirmed, the
// pump type, FI calibration with and without its replies, and the EDR read with its addresses, its
// refusals and the report of a known image.
#include "support/Bytes.h"
#include "support/Hydrel7Peer.h"
#include "app/fMain.h"
#include "views/fBB.h"
#include <QLocale>
#include <QtTest>

using namespace Hydrel7Test;

namespace {
// Thirteen cells of "%7d " where only the first and the last record hold something.
QString Cells(const QString &first, const QString &middle, const QString &last)
{
    return first + middle.repeated(11) + last;
}

// The image behind the report below.
std::array<quint8, 256> KnownImage()
{
    std::array<quint8, 256> image{};
    auto put = [&image](int at, std::initializer_list<int> bytes) {
        for (int byte : bytes)
            image[size_t(at++)] = quint8(byte);
    };
    put(0, {7});
    put(5, {3, 2, 4, 0x2C, 0x01, 5, 0, 1});
    put(13, {16, 14, 0, 0});          // 3600 s
    put(17, {0xCD, 0x5F, 0x01, 0x00}); // 90061 s
    put(21, {59, 0, 0, 0});
    put(29, {2, 1, 7, 0x39, 0x30, 0});
    // Record 1: counter 1, code 5, at 10000 s, mode 3, 12.5 V, flame 300 K, 60, 20, 65 degrees, attempt 2.
    put(48, {1, 5, 0x10, 0x27, 3, 125, 44, 1, 60, 20, 65, 2, 9, 9, 9, 9});
    // Record 13 ends the image; its last four bytes are never shown.
    put(240, {13, 78, 0, 0, 0, 0, 17, 1, 0, 0, 0, 0, 255, 255, 255, 255});
    return image;
}

const QStringList GoldenReport = {
    QStringLiteral("Обучение ДП : 7"),
    QStringLiteral("Версия: 3."),
    QStringLiteral("Текущая запись: 2."),
    QStringLiteral("Счетчик ошибок: 4."),
    QStringLiteral("Кол-во успешных розжигов(с 1 раза): 300."),
    QStringLiteral("Кол-во успешных розжигов(со 2 и более раза): 5."),
    QStringLiteral("Кол-во неудачных розжигов: 1."),
    QStringLiteral("Общее время работы : 3600 sec. (0-1:0:0)"),
    QStringLiteral("Время работы на малом режиме : 90061 sec. (1-1:1:1)"),
    QStringLiteral("Время работы на полном режиме : 59 sec. (0-0:0:59)"),
    QStringLiteral("Время работы на ждущем режиме : 0 sec. (0-0:0:0)"),
    QStringLiteral("Общее кол-во прерываний (кроме ошибки 13): 258."),
    QStringLiteral("Код изделия: 7."),
    QStringLiteral("Номер изделия: 12345."),
    QString(),
    QStringLiteral("Номер записи                          1       2       3       4       5       6       7       8       9      10      11      12      13 "),
    QStringLiteral("Счетчик ошибок                  ") + Cells("      1 ", "      0 ", "     13 "),
    QStringLiteral("Код ошибки                      ") + Cells("      5 ", "      0 ", "     78 "),
    QStringLiteral("Время ошибки                    ") + Cells("  10000 ", "      0 ", "      0 "),
    QStringLiteral("Режим                           ") + Cells("      3 ", "      0 ", "      0 "),
    QStringLiteral("Напряжение                      ") + Cells("   12.5 ", "    0.0 ", "    0.0 "),
    QStringLiteral("Т пламени                       ") + Cells("     27 ", "   -273 ", "      0 "),
    QStringLiteral("Т жидкости                      ") + Cells("     60 ", "      0 ", "      0 "),
    QStringLiteral("Т воздуха                       ") + Cells("     20 ", "      0 ", "      0 "),
    QStringLiteral("Т жидкости после 10 сек. горения") + Cells("     65 ", "      0 ", "      0 "),
    QStringLiteral("Попытка розжига                 ") + Cells("      2 ", "      0 ", "      0 "),
};
} // namespace

class TestLegacyLiquidCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<THydrel7Fixture> F;

    QList<QByteArray> Sent(int code) const { return F->Heater.RequestsWithCode(code); }
    // Lets the written frames reach the heater.
    void Settle() { F->H.Clock.AdvanceBy(500); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        F = std::make_unique<THydrel7Fixture>();
        QVERIFY(F->Hydrel);
        F->SkipSearch();
        F->Cycle(0);
    }
    void cleanup() { F.reset(); }

    void startIsResentAtEachCycleEndUntilConfirmed()
    {
        F->Hydrel->Start();
        Settle();
        QCOMPARE(Sent(1), QList<QByteArray>{Bytes({170, 9, 0, 0, 1, 0, 0, 0, 0, 180})});
        QVERIFY(F->Hydrel->StartRequested);
        QCOMPARE(F->Hydrel->PrevStage, quint8(255));
        F->Cycle(0);
        F->Cycle(0);
        Settle();
        QCOMPARE(Sent(1).size(), 3);
        F->Feed(Reply(1));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Start OK")));
        QCOMPARE(F->Hydrel->StartPending, qint32(THydrelOld::Confirmed));
        F->Cycle(0);
        Settle();
        QCOMPARE(Sent(1).size(), 3);
        // A start while the run is recorded is refused and sends nothing.
        F->Hydrel->Start();
        Settle();
        QCOMPARE(F->H.Messages(), QStringList{QStringLiteral("Unable to perform: Hydrel-7 launched.")});
        QCOMPARE(Sent(1).size(), 3);
    }

    void stopFramesAndResending()
    {
        F->Hydrel->Stop();
        F->Hydrel->Stop();
        Settle();
        const QByteArray ownStop = Bytes({170, 1, 0, 0, 3, 0, 0, 0, 0, 174});
        QCOMPARE(Sent(3), QList<QByteArray>({ownStop, ownStop}));
        F->Cycle(24);
        Settle();
        QCOMPARE(Sent(3).last(), Bytes({170, 9, 0, 0, 3, 0, 0, 0, 0, 182}));
        F->Feed(Reply(3));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Stop OK")));
        F->Cycle(25);
        Settle();
        QCOMPARE(Sent(3).size(), 3);
    }

    void theOppositeCommandCancelsTheResending()
    {
        F->Hydrel->Start();
        F->Hydrel->Stop();
        F->Cycle(0);
        Settle();
        QCOMPARE(Sent(1).size(), 1);
        QCOMPARE(Sent(3).size(), 2);
        QCOMPARE(F->Hydrel->StartPending, qint32(THydrelOld::None));
    }

    void pumpType_data()
    {
        QTest::addColumn<bool>("bosch");
        QTest::addColumn<int>("type");
        QTest::newRow("Bosch") << true << 1;
        QTest::newRow("Kestor") << false << 0;
    }
    void pumpType()
    {
        QFETCH(bool, bosch);
        QFETCH(int, type);
        F->Hydrel->SetPumpType(bosch);
        Settle();
        QVERIFY(Sent(123).isEmpty());
        F->Cycle(0);
        F->Cycle(0);
        Settle();
        QCOMPARE(Sent(123), QList<QByteArray>(2, Request(123, type)));
        F->Feed(Reply(123));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Set Pump OK")));
        F->Cycle(0);
        Settle();
        QCOMPARE(Sent(123).size(), 2);
        QVERIFY(F->H.Messages().isEmpty());
    }

    void calibration_data()
    {
        QTest::addColumn<QByteArray>("storedReply");
        QTest::addColumn<QByteArray>("resultReply");
        QTest::addColumn<QString>("message");
        QTest::newRow("both replies") << Reply(118, 60, 60, 60) << Reply(18, 75)
                                      << "Training complete. Result=75 (Good values: 20..120). Old value: 60";
        QTest::newRow("stored copies differ") << Reply(118, 60, 61, 60) << Reply(18, 75)
                                              << "Training complete. Result=75 (Good values: 20..120). Old value: -";
        QTest::newRow("no result") << Reply(118, 60, 60, 60) << QByteArray()
                                   << "Training failed: the heater did not answer. Try again.";
        QTest::newRow("no replies at all") << QByteArray() << QByteArray()
                                           << "Training failed: the heater did not answer. Try again.";
    }
    void calibration()
    {
        QFETCH(QByteArray, storedReply);
        QFETCH(QByteArray, resultReply);
        QFETCH(QString, message);
        // What an earlier calibration left must not pass for this one's result.
        F->Hydrel->FiResult = 99;
        F->Hydrel->FiOldValue = 98;
        F->Feed(Status(104, 20, 20, 1, 44));
        if (!storedReply.isEmpty())
            F->Heater.Answers[118] = storedReply;
        if (!resultReply.isEmpty())
            F->Heater.Answers[18] = resultReply;
        F->Hydrel->CalibrateFI();
        Settle();
        QCOMPARE(F->H.Dialogs.front().second,
                 QStringLiteral("Close the FI connector pins and click \"OK\" to overwrite current values."));
        QCOMPARE(F->Heater.Codes(), QList<int>({20, 20, 118, 18, 19}));
        QCOMPARE(F->H.Messages().last(), message);
        QCOMPARE(F->Hydrel->FlameIndicator, 27.0);
    }

    void calibrationCancelledSendsNothing()
    {
        F->H.WarningAnswer = TDialogResult::Cancel;
        F->Hydrel->CalibrateFI();
        Settle();
        QVERIFY(F->Heater.Requests.isEmpty());
        QCOMPARE(F->H.Dialogs.size(), size_t(1));
    }

    void edrReadsEveryTripleAndReports()
    {
        F->Heater.AnswerEeprom = true;
        F->Heater.Image = KnownImage();
        F->Hydrel->ReadEDR();
        Settle();
        QList<int> addresses;
        for (const QByteArray &request : Sent(119))
            addresses << quint8(request[5]);
        QList<int> expected;
        for (int n = 0; n < 85; ++n)
            expected << 3 * n;
        expected << 253;
        QCOMPARE(addresses, expected);
        QCOMPARE(F->Heater.Codes().mid(0, 3), QList<int>({20, 20, 20}));
        QCOMPARE(F->Heater.Codes().last(), 19);
        QCOMPARE(F->Hydrel->EepromImage, KnownImage());
        QCOMPARE(frmBB->Lines(), GoldenReport);
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Reading 84")));
        QVERIFY(F->H.LogLines().contains(QStringLiteral("Reading 253")));
        QVERIFY(!F->Hydrel->EdrReading);
        QVERIFY(!frmMain->WaitPanelVisible());
        QVERIFY(F->H.Messages().isEmpty());
    }

    void edrWithoutAReplyGivesUp()
    {
        F->Hydrel->ReadEDR();
        QCOMPARE(Sent(119).size(), 1);
        QVERIFY(F->H.LogLines().contains(QStringLiteral("EEPROM reading error.")));
        QCOMPARE(F->H.Messages(), QStringList{QStringLiteral("Can't read EDR. Try again.")});
        QVERIFY(!F->Hydrel->EdrReading);
        QVERIFY(Sent(19).isEmpty());
    }

    void aModelChosenDuringTheReadingEndsItCleanly()
    {
        F->Heater.AnswerEeprom = true;
        F->H.Clock.CallAt(F->H.Clock.Now() + 5000, [this] { F->H.Choose(QStringLiteral("Hydrel-7S")); });
        F->Hydrel->ReadEDR();
        const int reads = int(Sent(119).size());
        QVERIFY(reads > 0 && reads < 86);
        F->H.Clock.AdvanceBy(100);
        QCOMPARE(CurrentProduct->ClassName(), QStringLiteral("TOrvel"));
        QVERIFY(!F->H.LogContains(QStringLiteral("EEPROM reading error.")));
        QVERIFY(F->H.Messages().isEmpty());
        QVERIFY(!frmMain->WaitPanelVisible());
        F->H.Clock.AdvanceBy(2000);
        QCOMPARE(int(Sent(119).size()), reads);
    }

    void edrRefusals()
    {
        F->Cycle(24);
        Settle();
        F->Heater.Requests.clear();
        F->Hydrel->ReadEDR();
        QCOMPARE(F->H.Messages(), QStringList{QStringLiteral("Can't read EDR: Hydrel-7 launched")});
        Settle();
        QVERIFY(F->Heater.Requests.isEmpty());
        // At rest but before the end of the first status cycle: nothing at all.
        F->Cycle(0);
        F->Hydrel->StatusActive = false;
        F->Hydrel->ReadEDR();
        Settle();
        QVERIFY(F->Heater.Requests.isEmpty());
        QCOMPARE(F->H.Messages().size(), 1);
    }
};

QTEST_MAIN(TestLegacyLiquidCommands)
#include "tst_legacy_liquid_commands.moc"
