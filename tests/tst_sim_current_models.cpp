// The simulated Zephal-33D, Zephal-1 and Corva-Mini, each made by the registry from its menu caption
// and reached through an in-memory line on the virtual clock at the speed the program uses. Requests
// are built with the tests' own CRC; answers are read at the offsets of the tests' own status table
// and decoded here by hand.
#include "core/VirtualScheduler.h"
#include "serial/MemoryChannel.h"
#include "sim/Simulators.h"
#include "support/Bytes.h"
#include "support/CurrentPeer.h"
#include "support/StatusLayouts.h"
#include <QtTest>
#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

namespace {
using CurrentTest::Frame;
using CurrentTest::TStatusLayout;

struct TRow {
    const char *Caption;
    qint32 Baud;
    bool WakesUp;
    const TStatusLayout *Status;
};

const TRow Rows[] = {
    {"Zephal-33 [new rev.]", 2400, false, &CurrentTest::Zephal33D},
    {"Zephal-1", 9600, false, &CurrentTest::Zephal1},
    {"Corva-mini", 19200, true, &CurrentTest::CorvaMini},
};
constexpr int Zephal33D = 0, Zephal1 = 1, CorvaMini = 2;

const QByteArray FirstWakeUpPair = Bytes({0x96, 0x96});
const QByteArray SecondWakeUpPair = Bytes({0x97, 0x97});

struct TAnswer {
    quint8 Command;
    QByteArray Payload;
};

// The pump's period as the program reads it: 15625 / (65536 - raw) Hz.
double PumpHz(qint64 raw)
{
    return 15625.0 / (65536 - raw);
}

qint64 BigEndian(const QByteArray &bytes, int at, int width)
{
    qint64 value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

QString Pair(qint64 stage, qint64 mode)
{
    return QStringLiteral("%1/%2").arg(stage).arg(mode);
}
} // namespace

class TestSimCurrentModels : public QObject {
    Q_OBJECT

    TVirtualScheduler Clock;
    std::unique_ptr<THeaterSimulator> Heater;
    std::unique_ptr<TMemoryChannel> Line;
    const TRow *Row = nullptr;
    QByteArray Heard;   // everything the heater sent that reached the program's side
    qsizetype Read = 0; // bytes of Heard already split into answers
    int Acknowledgements = 0; // command-1 answers without a payload
    qint64 FastestBlower = 0; // the highest blower value any status showed

    void Connect(int row)
    {
        Row = &Rows[row];
        Heater = CreateSimulator(QLatin1String(Row->Caption));
        QVERIFY(Heater);
        Line = std::make_unique<TMemoryChannel>(Heater.get());
        Line->OnBytesArrived = [this] { Heard += Line->Read(4096); };
        Line->Open(QStringLiteral("heater"), Row->Baud);
        if (Row->WakesUp)
            WakeUp();
    }

    // What the program's search does before it asks for anything: both pairs at 2400 baud, a
    // quarter of a second apart, then back to the heater's own speed.
    void WakeUp(const QByteArray &first = FirstWakeUpPair, const QByteArray &second = SecondWakeUpPair, qint32 baud = 2400)
    {
        Line->SetBaudRate(baud);
        Line->Write(first, 0);
        Clock.AdvanceBy(250);
        Line->Write(second, 0);
        Clock.AdvanceBy(250);
        Line->SetBaudRate(Row->Baud);
        Clock.AdvanceBy(250);
    }

    void Say(const QByteArray &bytes, int waitMs = 300)
    {
        Line->Write(bytes, 0);
        Clock.AdvanceBy(waitMs);
    }

    // The answers that arrived since the last call; a frame with a wrong CRC fails the test.
    std::vector<TAnswer> Answers()
    {
        std::vector<TAnswer> answers;
        while (Read < Heard.size()) {
            if (quint8(Heard[Read]) != 0xAA) {
                ++Read;
                continue;
            }
            if (Read + 5 > Heard.size())
                break;
            const int n = quint8(Heard[Read + 2]);
            if (Read + n + 7 > Heard.size())
                break;
            const QByteArray frame = Heard.mid(Read, n + 7);
            const quint16 crc = CurrentTest::Crc(frame.left(n + 5));
            if (quint8(frame[n + 5]) != crc >> 8 || quint8(frame[n + 6]) != (crc & 0xFF))
                qFatal("answer with a wrong CRC: %s", frame.toHex(' ').constData());
            answers.push_back({quint8(frame[4]), frame.mid(5, n)});
            Read += n + 7;
        }
        return answers;
    }

    std::vector<QByteArray> Statuses()
    {
        std::vector<QByteArray> statuses;
        for (const TAnswer &a : Answers()) {
            if (a.Command != 1)
                continue;
            if (a.Payload.isEmpty()) {
                ++Acknowledgements;
                continue;
            }
            statuses.push_back(a.Payload);
            FastestBlower = std::max({FastestBlower, Value(a.Payload, Row->Status->BlowerSet), Value(a.Payload, Row->Status->BlowerActual)});
        }
        return statuses;
    }

    qint64 Value(const QByteArray &status, CurrentTest::TAt at) const { return CurrentTest::PayloadValue(status, at); }

    QByteArray LastStatus()
    {
        const auto statuses = Statuses();
        if (statuses.empty())
            qFatal("no status answer");
        return statuses.back();
    }

    // Streams until a status shows this stage/mode pair; every pair seen on the way is appended to
    // path, each once in a row.
    bool RunUntil(const QString &pair, int limitMs, QStringList &path, QByteArray *seen = nullptr)
    {
        for (int waited = 0; waited < limitMs; waited += 1000) {
            Clock.AdvanceBy(1000);
            for (const QByteArray &s : Statuses()) {
                const QString now = Pair(Value(s, Row->Status->Stage), Value(s, Row->Status->Mode));
                if (path.isEmpty() || path.last() != now)
                    path << now;
                if (now == pair) {
                    if (seen)
                        *seen = s;
                    return true;
                }
            }
        }
        return false;
    }

    // The EEPROM as the program reads it: blocks of count bytes from address 0, put together from
    // the answers' own addresses.
    QByteArray ReadEeprom(int blocks, int count)
    {
        QByteArray image(blocks * count, '\0');
        int answered = 0;
        for (int address = 0; address < blocks * count; address += count) {
            Say(Frame(11, Bytes({address >> 8, address & 0xFF, count})), 800);
            for (const TAnswer &a : Answers()) {
                if (a.Command != 11)
                    continue;
                const int at = int(BigEndian(a.Payload, 0, 2));
                if (at != address || a.Payload.size() != count + 2)
                    qFatal("block %d answered as %d with %d bytes", address, at, int(a.Payload.size()));
                image.replace(at, count, a.Payload.mid(2));
                ++answered;
            }
        }
        if (answered != blocks)
            qFatal("%d of %d blocks answered", answered, blocks);
        return image;
    }

    // The heater's number as its serial answer gives it (a one-byte prefix, then 24 bits).
    quint32 SerialNumber()
    {
        Say(Frame(4));
        const auto answers = Answers();
        if (answers.size() != 1 || answers[0].Payload.size() != 4)
            qFatal("no serial answer");
        return quint32(BigEndian(answers[0].Payload, 1, 3));
    }

    static void AddRows()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(Rows)); ++row)
            QTest::newRow(Rows[row].Caption) << row;
    }

private slots:
    void init()
    {
        TScheduler::Install(&Clock);
        Row = nullptr;
        Heard.clear();
        Read = 0;
        Acknowledgements = 0;
        FastestBlower = 0;
    }

    void cleanup()
    {
        Line.reset();
        Heater.reset();
        QCOMPARE(Clock.PendingCount(), 0);
        TScheduler::Install(nullptr);
    }

    void identityAnswersDecodeByHand_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("version");
        QTest::newRow("Zephal-33D") << Zephal33D << "330120456" << "18.3.1.5";
        QTest::newRow("Zephal-1") << Zephal1 << "010098765" << "7.2.0.11";
        QTest::newRow("Corva-Mini") << CorvaMini << "152024017" << "3.1.1.2";
    }

    // Serial: the prefix byte padded to two digits, the 24-bit number to seven. Version: the 16-bit
    // number, the low seven bits of the third byte, its top bit, the fourth byte.
    void identityAnswersDecodeByHand()
    {
        QFETCH(int, row);
        QFETCH(QString, serial);
        QFETCH(QString, version);
        Connect(row);
        Say(Frame(4));
        Say(Frame(6));
        const auto answers = Answers();
        QCOMPARE(answers.size(), size_t(2));
        QCOMPARE(answers[0].Command, quint8(4));
        const QByteArray &s = answers[0].Payload;
        QCOMPARE(s.size(), 4);
        QCOMPARE(QStringLiteral("%1%2").arg(int(quint8(s[0])), 2, 10, QLatin1Char('0')).arg(BigEndian(s, 1, 3), 7, 10, QLatin1Char('0')),
                 serial);
        QCOMPARE(answers[1].Command, quint8(6));
        const QByteArray &v = answers[1].Payload;
        QCOMPARE(v.size(), 4);
        QCOMPARE(QStringLiteral("%1.%2.%3.%4").arg(BigEndian(v, 0, 2)).arg(quint8(v[2]) & 127).arg(quint8(v[2]) >> 7).arg(int(quint8(v[3]))),
                 version);
    }

    void statusAtRest_data() { AddRows(); }

    // A cold heater at rest: pause, nothing turning, the pump's period 0 (stopped), the flame
    // indicator at the air's 18 °C in kelvin, a 12.6 V battery give or take a tenth.
    void statusAtRest()
    {
        QFETCH(int, row);
        Connect(row);
        Say(Frame(7, Bytes({1})), 2500);
        const auto statuses = Statuses();
        QVERIFY(!statuses.empty());
        const QByteArray s = statuses.back();
        const TStatusLayout &at = *Row->Status;
        // Every value of the row lies inside the payload.
        for (CurrentTest::TAt field : {at.Stage, at.Mode, at.WorkTime, at.StageTime, at.ModeTime, at.BlowerSet, at.BlowerActual,
                                       at.PlugPwm, at.FuelPump, at.FlameKelvin, at.Liquid, at.Overheat, at.Plate,
                                       at.VoltageTenths, at.External, at.Pump, at.Relay, at.Fault})
            QVERIFY2(field.Offset < 0 || Value(s, field) >= 0, qPrintable(QString::number(field.Offset)));
        QCOMPARE(Value(s, at.Stage), 0);
        QCOMPARE(Value(s, at.Mode), 1);
        QCOMPARE(Value(s, at.WorkTime), 0);
        QCOMPARE(Value(s, at.BlowerSet), 0);
        QCOMPARE(Value(s, at.BlowerActual), 0);
        QCOMPARE(Value(s, at.PlugPwm), 0);
        QCOMPARE(Value(s, at.FuelPump), 0);
        QCOMPARE(Value(s, at.FlameKelvin), 291);
        QVERIFY2(qAbs(Value(s, at.VoltageTenths) - 126) <= 1, qPrintable(QString::number(Value(s, at.VoltageTenths))));
        QCOMPARE(Value(s, at.Plate), 20);
        QCOMPARE(Value(s, at.Fault), 0);
        if (row == CorvaMini) {
            QCOMPARE(Value(s, at.Liquid), 18);
            QCOMPARE(Value(s, at.Overheat), 18);
            QCOMPARE(Value(s, at.Pump), 0);
            QCOMPARE(Value(s, at.Relay), 0);
        } else {
            QCOMPARE(Value(s, at.External), 18); // the air heaters have their cabin sensor fitted
        }
    }

    void startRunsThroughTheStagesAndBackToPause_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("burning");
        QTest::addColumn<QStringList>("expected");
        const QStringList airHeater = {"0/1", "2/0", "2/1", "2/2", "2/3", "3/0", "4/0", "4/1", "0/1"};
        QTest::newRow("Zephal-33D") << Zephal33D << "3/0" << airHeater;
        QTest::newRow("Zephal-1") << Zephal1 << "3/0" << airHeater;
        // The default power (5) asks for the middle mode.
        QTest::newRow("Corva-Mini") << CorvaMini << "3/3"
                                    << QStringList{"0/1", "1/1", "2/0", "2/1", "2/2", "2/3", "2/5", "3/0", "3/1", "3/3", "4/0", "4/1", "0/1"};
    }

    // A start is acknowledged once by a status command with no payload; the status answers then
    // show every stage and mode of the run, a stop switches the heater off and it comes back to
    // pause; the blower never goes beyond 150.
    void startRunsThroughTheStagesAndBackToPause()
    {
        QFETCH(int, row);
        QFETCH(QString, burning);
        QFETCH(QStringList, expected);
        Connect(row);
        Say(Frame(7, Bytes({1})), 1500);
        QStringList path;
        QVERIFY(RunUntil(QStringLiteral("0/1"), 2000, path));
        QCOMPARE(Acknowledgements, 0);
        Say(Frame(1), 0);
        QVERIFY(RunUntil(burning, 150000, path));
        QCOMPARE(Acknowledgements, 1);
        Clock.AdvanceBy(10000);
        const QByteArray lastBurning = LastStatus();
        QCOMPARE(Pair(Value(lastBurning, Row->Status->Stage), Value(lastBurning, Row->Status->Mode)), burning);
        Say(Frame(3));
        QByteArray s;
        QVERIFY(RunUntil(QStringLiteral("4/0"), 3000, path));
        QVERIFY(RunUntil(QStringLiteral("0/1"), 90000, path, &s));
        QCOMPARE(path, expected);
        QCOMPARE(Acknowledgements, 1); // neither the run nor the stop is acknowledged again
        QVERIFY2(FastestBlower > 0 && FastestBlower <= 150, qPrintable(QString::number(FastestBlower)));
        QCOMPARE(Value(s, Row->Status->BlowerSet), 0);
        QCOMPARE(Value(s, Row->Status->FuelPump), 0);
    }

    void burningStatusCarriesTheEncodings_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("burning");
        QTest::addColumn<int>("blower");
        QTest::addColumn<double>("fuelHz");
        QTest::newRow("Zephal-33D") << Zephal33D << "3/0" << 95 << 2.6;
        QTest::newRow("Zephal-1") << Zephal1 << "3/0" << 65 << 1.7;
        QTest::newRow("Corva-Mini") << CorvaMini << "3/3" << 70 << 1.9;
    }

    void burningStatusCarriesTheEncodings()
    {
        QFETCH(int, row);
        QFETCH(QString, burning);
        QFETCH(int, blower);
        QFETCH(double, fuelHz);
        Connect(row);
        Say(Frame(7, Bytes({1})));
        Say(Frame(1));
        QStringList path;
        QVERIFY(RunUntil(burning, 150000, path));
        Clock.AdvanceBy(40000);
        const QByteArray s = LastStatus();
        const TStatusLayout &at = *Row->Status;
        QCOMPARE(Value(s, at.BlowerSet), blower);
        QVERIFY2(qAbs(Value(s, at.BlowerActual) - blower) <= 2, qPrintable(QString::number(Value(s, at.BlowerActual))));
        QVERIFY2(qAbs(PumpHz(Value(s, at.FuelPump)) - fuelHz) < 0.001, qPrintable(QString::number(PumpHz(Value(s, at.FuelPump)))));
        const qint64 flameC = Value(s, at.FlameKelvin) - 273;
        QVERIFY2(flameC > 200 && flameC < 400, qPrintable(QString::number(flameC)));
        QCOMPARE(Value(s, at.PlugPwm), 0);
        QVERIFY(Value(s, at.WorkTime) > 60);
        const qint64 volts10 = Value(s, at.VoltageTenths);
        QVERIFY2(volts10 >= 110 && volts10 <= 127, qPrintable(QString::number(volts10)));
        if (row == CorvaMini) {
            QCOMPARE(Value(s, at.Pump), 1);
            QCOMPARE(Value(s, at.Relay), 1); // the coolant is warm by now
            QVERIFY2(Value(s, at.Liquid) > 40, qPrintable(QString::number(Value(s, at.Liquid))));
            QVERIFY(Value(s, at.Overheat) > Value(s, at.Liquid));
        } else {
            const qint64 cabin = Value(s, at.External);
            QVERIFY2(cabin > 18 && cabin < 127, qPrintable(QString::number(cabin)));
        }
    }

    void faultCodeSitsAtTheRowsOffset_data() { AddRows(); }

    // Zephal-33D at 56, Zephal-1 and Corva-Mini at 54; the other air heater's place stays clear.
    void faultCodeSitsAtTheRowsOffset()
    {
        QFETCH(int, row);
        Connect(row);
        QVERIFY(Heater->SetFailureMode(QStringLiteral("fault-27")));
        Say(Frame(7, Bytes({1})), 1500);
        const QByteArray s = LastStatus();
        QCOMPARE(Value(s, Row->Status->Fault), 27);
        const int elsewhere = Row->Status->Fault.Offset == 56 ? 54 : 56;
        QVERIFY(Value(s, {elsewhere, 1}) != 27);
    }

    void blowerRunsInTheRowsRestMode_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("blowerPair");
        QTest::newRow("Zephal-33D") << Zephal33D << "0/2";
        QTest::newRow("Zephal-1") << Zephal1 << "0/2";
        QTest::newRow("Corva-Mini") << CorvaMini << "0/0";
    }

    void blowerRunsInTheRowsRestMode()
    {
        QFETCH(int, row);
        QFETCH(QString, blowerPair);
        Connect(row);
        Say(Frame(7, Bytes({1})));
        Say(Frame(8, Bytes({40})));
        QStringList path;
        QByteArray s;
        QVERIFY(RunUntil(blowerPair, 2000, path, &s));
        QCOMPARE(Value(s, Row->Status->BlowerSet), 40);
        Say(Frame(8, Bytes({0})));
        QVERIFY(RunUntil(QStringLiteral("0/1"), 2000, path, &s));
        QCOMPARE(Value(s, Row->Status->BlowerSet), 0);
    }

    void corvaMiniWakesOnlyOnBothPairsAt2400_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("baud");
        QTest::addColumn<bool>("answers");
        QTest::newRow("both pairs at 2400") << FirstWakeUpPair << SecondWakeUpPair << 2400 << true;
        QTest::newRow("both pairs at 19200") << FirstWakeUpPair << SecondWakeUpPair << 19200 << false;
        QTest::newRow("both pairs at 9600") << FirstWakeUpPair << SecondWakeUpPair << 9600 << false;
        QTest::newRow("first pair only") << FirstWakeUpPair << QByteArray() << 2400 << false;
        QTest::newRow("second pair only") << QByteArray() << SecondWakeUpPair << 2400 << false;
        QTest::newRow("pairs swapped") << SecondWakeUpPair << FirstWakeUpPair << 2400 << false;
        QTest::newRow("a byte between") << FirstWakeUpPair + Bytes({0x00}) << SecondWakeUpPair << 2400 << false;
        QTest::newRow("after other bytes") << Bytes({0x55, 0x96}) + FirstWakeUpPair << SecondWakeUpPair << 2400 << true;
    }

    // Asleep, the Corva-Mini answers nothing at its own speed, neither identity nor status requests.
    void corvaMiniWakesOnlyOnBothPairsAt2400()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, baud);
        QFETCH(bool, answers);
        Row = &Rows[CorvaMini];
        Heater = CreateSimulator(QLatin1String(Row->Caption));
        Line = std::make_unique<TMemoryChannel>(Heater.get());
        Line->OnBytesArrived = [this] { Heard += Line->Read(4096); };
        Line->Open(QStringLiteral("heater"), Row->Baud);
        Say(Frame(4));
        Say(Frame(6));
        Say(Frame(7, Bytes({1})), 3000);
        QVERIFY(Heard.isEmpty());

        WakeUp(first, second, baud);
        Say(Frame(6));
        QCOMPARE(Answers().size(), size_t(answers ? 1 : 0));
    }

    // Awake, it hears only its own speed: requests at 2400 go unheard, and the wake-up pairs the
    // program's search keeps sending at 2400 disturb nothing.
    void corvaMiniAwakeHearsOnly19200()
    {
        Connect(CorvaMini);
        Line->SetBaudRate(2400);
        Say(Frame(6));
        QVERIFY(Answers().empty());
        WakeUp();
        Say(Frame(6));
        const auto answers = Answers();
        QCOMPARE(answers.size(), size_t(1));
        QCOMPARE(answers[0].Payload, Bytes({0x00, 0x03, 0x81, 0x02}));
    }

    // A pseudo-terminal does not tell the heater its speed: the wake-up bytes alone wake it.
    void corvaMiniWakesOnALineThatDoesNotTellItsSpeed()
    {
        Heater = CreateSimulator(QStringLiteral("Corva-mini"));
        Heater->Send = [this](const QByteArray &bytes) { Heard += bytes; };
        Heater->Receive(Frame(6));
        Clock.AdvanceBy(100);
        QVERIFY(Heard.isEmpty());
        Heater->Receive(FirstWakeUpPair + SecondWakeUpPair + Frame(6));
        Clock.AdvanceBy(100);
        QCOMPARE(Answers().size(), size_t(1));
    }

    void eepromAnswersTheProgramsBlocks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("count");
        QTest::newRow("Zephal-33D: 4 x 64") << Zephal33D << 4 << 64;
        QTest::newRow("Zephal-1: 3 x 86") << Zephal1 << 3 << 86;
        QTest::newRow("Corva-Mini: 16 x 64") << CorvaMini << 16 << 64;
    }

    // Every block answered once with its own address and the bytes asked for; the heater's number
    // in the image (bytes 5..7) is the one its serial answer gives.
    void eepromAnswersTheProgramsBlocks()
    {
        QFETCH(int, row);
        QFETCH(int, blocks);
        QFETCH(int, count);
        Connect(row);
        const QByteArray image = ReadEeprom(blocks, count);
        QCOMPARE(quint32(BigEndian(image, 5, 3)), SerialNumber());
    }

    // The Hydrel-7S's layout: counters that add up, the hours per power level summing to the total,
    // the last record's number below six and each written record a fault with a battery voltage.
    void zephal33EepromHoldsAMeaningfulRecord()
    {
        Connect(Zephal33D);
        const QByteArray image = ReadEeprom(4, 64);
        auto be = [&](int at, int width) { return BigEndian(image, at, width); };
        QVERIFY(quint8(image[2]) > 0);
        QCOMPARE(be(17, 2) + quint8(image[19]), be(15, 2)); // without + with faults = reached burning
        QCOMPARE(be(71, 2) + be(73, 2) + be(75, 2), be(13, 2));
        qint64 perPower = 0;
        for (int p = 0; p < 10; ++p)
            perPower += be(27 + 4 * p, 4);
        QCOMPARE(be(23, 4), perPower);
        QVERIFY(be(67, 4) > 0);
        const int last = quint8(image[78]);
        QVERIFY(last < 6);
        for (int r = 0; r <= last; ++r) {
            const int b = 79 + 29 * r;
            QVERIFY(quint8(image[b]) > 0);
            QVERIFY2(be(b + 12, 2) > 100 && be(b + 12, 2) < 140, qPrintable(QString::number(be(b + 12, 2))));
        }
    }

    void zephal1EepromHoldsAMeaningfulRecord()
    {
        Connect(Zephal1);
        const QByteArray image = ReadEeprom(3, 86);
        auto be = [&](int at, int width) { return BigEndian(image, at, width); };
        QVERIFY(quint8(image[3]) > 0);
        QCOMPARE(be(12, 2) + be(14, 2), be(10, 2));
        QCOMPARE(be(66, 2) + be(68, 2) + be(70, 2), be(8, 2));
        qint64 perPower = 0;
        for (int p = 0; p < 10; ++p)
            perPower += be(22 + 4 * p, 4);
        QCOMPARE(be(18, 4), perPower);
        QVERIFY(be(62, 4) > 0);
        // Seven records of 25 bytes from 75: those up to the last one written hold a fault, the
        // rest of the ring is empty.
        const int last = quint8(image[74]);
        QVERIFY(last < 7);
        for (int r = 0; r < 7; ++r) {
            const int b = 75 + 25 * r;
            if (r <= last) {
                QVERIFY(quint8(image[b]) > 0);
                QVERIFY2(be(b + 8, 2) > 100 && be(b + 8, 2) < 140, qPrintable(QString::number(be(b + 8, 2))));
            } else {
                QCOMPARE(image.mid(b, 25), QByteArray(25, '\0'));
            }
        }
    }

    void corvaMiniEepromHoldsAMeaningfulRecordAndItsNote()
    {
        Connect(CorvaMini);
        const QByteArray image = ReadEeprom(16, 64);
        auto be = [&](int at, int width) { return BigEndian(image, at, width); };
        QVERIFY(quint8(image[3]) > 0);
        QCOMPARE(be(12, 2) + be(14, 2), be(10, 2));
        QCOMPARE(quint8(image[34]) + quint8(image[35]) + quint8(image[36]), be(8, 2));
        QCOMPARE(be(18, 4), be(22, 4) + be(26, 4) + be(30, 4)); // full + middle + low
        const int last = quint8(image[47]);
        QVERIFY(last < 44);
        bool halfVolt = false;
        for (int r = 0; r < 44; ++r) {
            const int b = 48 + 17 * r;
            if (r <= last) {
                QVERIFY(quint8(image[b]) > 0);
                QVERIFY2(be(b + 8, 2) > 100 && be(b + 8, 2) < 140, qPrintable(QString::number(be(b + 8, 2))));
                halfVolt = halfVolt || be(b + 8, 2) % 10 == 5;
            } else {
                QCOMPARE(image.mid(b, 17), QByteArray(17, '\0'));
            }
        }
        QVERIFY(halfVolt); // a voltage on a half volt, where the report's rounding shows

        // The note at 800..1023: printable text with line breaks and a tab inside, then zeros.
        const QByteArray note = image.mid(800);
        QVERIFY(std::any_of(note.begin(), note.end(), [](char c) { return c != 0 && quint8(c) < 32; }));
        QByteArray printable;
        for (char c : note) {
            QVERIFY(quint8(c) < 127);
            if (quint8(c) > 31)
                printable += c;
        }
        QCOMPARE(printable, QByteArray("Corva-Mini controllerfirmware 3.1.1.2build 2026-03-14factory test passed"));
    }
};

QTEST_GUILESS_MAIN(TestSimCurrentModels)
#include "tst_sim_current_models.moc"
