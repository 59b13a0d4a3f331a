// The EDR of the Zephal-1 and the Corva-Mini: the blocks each reads, and their reports of known
// images against texts written out by hand.
#include "support/CurrentPeer.h"
#include "support/StatusLayouts.h"
#include "app/fMain.h"
#include "current/EdrReport.h"
#include "views/fBB.h"
#include <QtTest>

using namespace CurrentTest;

namespace {

void Put(TEepromImage &image, int at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        image[size_t(at + i)] = quint8(value >> (8 * (width - 1 - i)));
}

TEepromImage Zephal1Image()
{
    TEepromImage image{};
    Put(image, 3, 9, 1);
    Put(image, 5, 1234567, 3);
    Put(image, 8, 50, 2);
    Put(image, 10, 45, 2);
    Put(image, 12, 40, 2);
    Put(image, 14, 5, 2);
    Put(image, 17, 2, 1);
    Put(image, 18, 3725, 4);
    Put(image, 22, 3600, 4);
    Put(image, 58, 90061, 4); // power 9
    Put(image, 66, 30, 2);
    Put(image, 68, 8, 2);
    Put(image, 70, 2, 2);
    Put(image, 74, 1, 1);
    // Record 0 at 75, record 6 (the last) at 225.
    const quint32 record[][3] = {{0, 27, 1},  {1, 2, 1},   {2, 3, 1},   {3, 0, 1},  {4, 500, 2}, {6, 120, 2},
                                 {8, 126, 2}, {12, 20, 1}, {13, 21, 1}, {14, 45, 1}, {15, 1, 1}, {16, 0, 1},
                                 {17, 300, 2}, {19, 22, 1}, {20, 5, 1}, {21, 4, 1}, {22, 1, 1}, {23, 3, 1},
                                 {24, 3, 1}};
    for (const auto &[offset, value, width] : record)
        Put(image, 75 + int(offset), value, int(width));
    Put(image, 225, 8, 1);
    Put(image, 225 + 24, 1, 1);
    return image;
}

// Six records of zeros after the first, then the last one's cell.
QString Line(const char *label, const QString &first, const QString &zero, const QString &last)
{
    return QString::fromUtf8(label) + first + zero.repeated(5) + last;
}

const QStringList Zephal1Golden = {
    "Version: 9",
    "Number: 1234567",
    "Ignition attempts: 50",
    "Attempts reached the stage W: 45",
    "Attempts completed without faults: 40",
    "Attempts completed with faults: 5",
    "Power resets while working: 2",
    "Total operation time: 000001 hours.(000-01:02.05)",
    "Operation time at power 0: 000001 hours.(000-01:00.00)",
    "Operation time at power 1: ---",
    "Operation time at power 2: ---",
    "Operation time at power 3: ---",
    "Operation time at power 4: ---",
    "Operation time at power 5: ---",
    "Operation time at power 6: ---",
    "Operation time at power 7: ---",
    "Operation time at power 8: ---",
    "Operation time at power 9: 000025 hours.(001-01:01.01)",
    "Working at ventilation mode: ---",
    "Starts at the first attempt: 30",
    "Starts at the second attempt: 8",
    "The number of failed launches: 2",
    "Number of the last record of failure: 1",
    "",
    Line("Faultcode                       ", "     27 ", "      0 ", "      8 "),
    Line("Attempts count                  ", "      2 ", "      0 ", "      0 "),
    Line("Стадия/Режим                    ", "  3/  0 ", "  0/  0 ", "  0/  0 "),
    Line("Total operation time            ", "    500 ", "      0 ", "      0 "),
    Line("Worktime at mode                ", "    120 ", "      0 ", "      0 "),
    Line("Voltage                         ", "   12.6 ", "    0.0 ", "    0.0 "),
    Line("T RCU                           ", "     20 ", "      0 ", "      0 "),
    Line("T cabin sensor                  ", "     21 ", "      0 ", "      0 "),
    Line("T plate                         ", "     45 ", "      0 ", "      0 "),
    Line("Attempt ignition                ", "      1 ", "      0 ", "      0 "),
    Line("flame failures during operation ", "      0 ", "      0 ", "      0 "),
    Line("flameout border                 ", "    300 ", "      0 ", "      0 "),
    Line("T setpoint                      ", "     22 ", "      0 ", "      0 "),
    Line("given power                     ", "      5 ", "      0 ", "      0 "),
    Line("current power                   ", "      4 ", "      0 ", "      0 "),
    Line("Ventilation is permitted        ", "      V ", "      X ", "      X "),
    Line("Switches to ventilation         ", "      3 ", "      0 ", "      0 "),
    Line("Work on...                      ", " Т ext. ", "   Мощн ", " Тplate "),
};

TEepromImage CorvaMiniImage()
{
    TEepromImage image{};
    Put(image, 3, 4, 1);
    Put(image, 5, 501234, 3);
    Put(image, 8, 77, 2);
    Put(image, 10, 70, 2);
    Put(image, 12, 66, 2);
    Put(image, 14, 4, 2);
    Put(image, 17, 1, 1);
    Put(image, 18, 90061, 4);
    Put(image, 22, 3600, 4);
    Put(image, 26, 59, 4);
    Put(image, 30, 0, 4);
    Put(image, 34, 60, 1);
    Put(image, 35, 5, 1);
    Put(image, 36, 1, 1);
    Put(image, 47, 2, 1);
    // Records 0, 1 and 2 at 48, 65 and 82: their voltages end in a half, a half and a bit more.
    Put(image, 48, 14, 1);
    Put(image, 48 + 2, 3, 1);
    Put(image, 48 + 4, 1000, 2);
    Put(image, 48 + 8, 125, 2);
    Put(image, 48 + 10, 700, 2);
    Put(image, 65 + 8, 135, 2);
    Put(image, 82 + 8, 126, 2);
    Put(image, 82 + 13, 71, 1);
    // The heater's own note at the end, with a control character, a zero and a Windows-1251 letter.
    const QByteArray note = QByteArray("FW 2.1\x01 test ") + char(0xC0) + QByteArray(1, '\0') + "!";
    for (int i = 0; i < note.size(); ++i)
        image[size_t(800 + i)] = quint8(note[i]);
    return image;
}

} // namespace

class TestCurrentVariantEdr : public QObject {
    Q_OBJECT
    std::unique_ptr<TModelFixture> F;

    void Open(const QString &caption, const TStatusLayout &layout)
    {
        F.reset();
        F = std::make_unique<TModelFixture>(caption);
        F->Feed(TStatus().Frame(layout)); // idle, stage 0 mode 1
        F->TakeWritten();
    }
    QList<QPair<int, int>> BlockRequests() const
    {
        QList<QPair<int, int>> blocks;
        for (const QByteArray &request : F->Heater.RequestsWithCommand(11))
            blocks.append({quint8(request[5]) * 256 + quint8(request[6]), quint8(request[7])});
        return blocks;
    }

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { F.reset(); }

    void zephal1Report() { QCOMPARE(Zephal1EdrReport(Zephal1Image()), Zephal1Golden); }

    void corvaMiniReport()
    {
        const QStringList report = CorvaMiniEdrReport(CorvaMiniImage());
        const QStringList header = {
            "EDR version: 4",
            "Number: 501234",
            "Ignition attempts: 77",
            "Attempts reached the stage W: 70",
            "Attempts completed without faults: 66",
            "Attempts completed with faults: 4",
            "Power resets while working: 1",
            "Total operation time: 90061",
            "Operation time at full mode: 3600",
            "Operation time at middle mode: 59",
            "Operation time at low mode: 0",
            "Starts at the first attempt: 60",
            "Starts at the second attempt: 5",
            "The number of failed launches: 1",
            "Number of the last record of failure: 2",
            "",
        };
        QCOMPARE(report.mid(0, header.size()), header);
        const QStringList table = report.mid(header.size(), 14);
        QCOMPARE(table.size(), 14);
        for (const QString &line : table)
            QCOMPARE(line.size(), 32 + 44 * 4);
        QVERIFY(table[0].startsWith(QStringLiteral("                              N:   0   1   2   3")));
        QVERIFY(table[0].endsWith(QStringLiteral("  42  43")));
        QVERIFY(table[1].startsWith(QStringLiteral("FaultCode                         14   0   0   0")));
        QVERIFY(table[3].startsWith(QStringLiteral("Stage                              3   0")));
        QVERIFY(table[5].startsWith(QStringLiteral("Total operation time            1000   0")));
        // 12.5 V to 12, 13.5 V to 14, 12.6 V to 13: halves go to the even neighbour.
        QVERIFY(table[7].startsWith(QStringLiteral("Voltage                           12  14  13   0")));
        QVERIFY(table[8].startsWith(QStringLiteral("T FI,°K                          700   0")));
        QVERIFY(table[10].startsWith(QStringLiteral("T in(overheat),°C                  0   0  71   0")));
        QVERIFY(table[13].startsWith(QStringLiteral("Flameouts count at stage W:        0")));
        QCOMPARE(report.mid(header.size() + 14),
                 QStringList({"==============================================", "FW 2.1 test А!"}));
    }

    void blocksEachModelReads_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("Zephal-1: 3 blocks of 86") << "Zephal-1" << 3 << 86 << "Version: 9";
        QTest::newRow("Corva-Mini: the whole image in 16 blocks") << "Corva-mini" << 16 << 64 << "EDR version: 4";
    }
    void blocksEachModelReads()
    {
        QFETCH(QString, caption);
        QFETCH(int, count);
        QFETCH(int, length);
        QFETCH(QString, firstLine);
        const bool zephal = caption == QLatin1String("Zephal-1");
        Open(caption, zephal ? Zephal1 : CorvaMini);
        F->Heater.Image = zephal ? Zephal1Image() : CorvaMiniImage();
        F->Product->ReadEDR();
        QList<QPair<int, int>> expected;
        for (int block = 0; block < count; ++block)
            expected.append({block * length, length});
        QCOMPARE(BlockRequests(), expected);
        QCOMPARE(frmBB->Lines().value(0), firstLine);
        QVERIFY(F->H.Messages().isEmpty());
        QVERIFY(frmMain->N7->isChecked());
    }

    void refusedWhileRunning_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("message");
        QTest::newRow("Zephal-33D") << "Zephal-33 [new rev.]" << "Can't read EDR: Zephal launched";
        QTest::newRow("Zephal-1") << "Zephal-1" << "Can't read EDR: Zephal launched";
        QTest::newRow("Corva-Mini") << "Corva-mini" << "Can't read EDR: Product launched";
    }
    void refusedWhileRunning()
    {
        QFETCH(QString, caption);
        QFETCH(QString, message);
        const TStatusLayout &layout = caption == QLatin1String("Corva-mini") ? CorvaMini
                                      : caption == QLatin1String("Zephal-1") ? Zephal1
                                                                             : Zephal33D;
        Open(caption, layout);
        TStatus burning;
        burning.Stage = 3;
        burning.Mode = 0;
        F->Feed(burning.Frame(layout));
        F->Product->ReadEDR();
        QCOMPARE(F->H.Messages(), QStringList{message});
        QVERIFY(F->Heater.RequestsWithCommand(11).isEmpty());
    }
};

QTEST_MAIN(TestCurrentVariantEdr)
#include "tst_current_variant_edr.moc"
