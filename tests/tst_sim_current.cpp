// The simulated current-family heater on its own, on the virtual clock: what it answers, how its run
// goes, its EEPROM and its failure modes. Requests are built here by hand and checked against the
// line's reference frames, so the simulator is not judged by its own frame code.
#include "core/VirtualScheduler.h"
#include "sim/HeaterFaults.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/SimFraming.h"
#include "sim/current/StatusFields.h"
#include "support/Bytes.h"
#include "support/StatusLayouts.h"
#include <QtTest>
#include <memory>
#include <vector>

namespace {
quint16 TestCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QByteArray Request(quint8 command, const QByteArray &payload = {}, quint8 address = 3)
{
    QByteArray frame;
    frame.append(char(0xAA)).append(char(address)).append(char(payload.size())).append(char(0)).append(char(command));
    frame.append(payload);
    const quint16 crc = TestCrc(frame);
    frame.append(char(crc >> 8)).append(char(crc & 0xFF));
    return frame;
}

struct TFrame {
    quint8 Command;
    QByteArray Payload;
    qint64 At; // when its first byte was sent
};

int Be(const QByteArray &payload, int frameOffset, int width)
{
    return int(CurrentTest::PayloadValue(payload, {frameOffset, width}));
}

struct TStatus {
    int Stage, Mode, WorkTime, ModeTime, BlowerSet, BlowerActual, PlugPwm, FuelHundredths, FlameC, LiquidC, Volts10,
        External, Fault;
};

// Read with the tests' own table of the Hydrel-7S status answer, not the simulator's.
TStatus Decode(const QByteArray &p)
{
    const CurrentTest::TStatusLayout &at = CurrentTest::Hydrel7S;
    auto value = [&p](CurrentTest::TAt field) { return int(CurrentTest::PayloadValue(p, field)); };
    return {value(at.Stage), value(at.Mode), value(at.WorkTime), value(at.ModeTime), value(at.BlowerSet),
            value(at.BlowerActual), value(at.PlugPwm), value(at.FuelPump), value(at.FlameKelvin) - 273,
            value(at.Liquid), value(at.VoltageTenths), value(at.External), value(at.Fault)};
}
} // namespace

class TestSimCurrent : public QObject {
    Q_OBJECT

    struct TSent {
        qint64 At;
        QByteArray Bytes;
    };

    TVirtualScheduler Clock;
    std::unique_ptr<TCurrentHeaterSim> Sim;
    std::vector<TSent> Sent;
    qsizetype Taken = 0; // bytes of Out already handed to a test by TakeFrames

    QByteArray Out() const
    {
        QByteArray all;
        for (const TSent &s : Sent)
            all += s.Bytes;
        return all;
    }

    // Splits what the heater sent since the last call into frames; counts bytes outside frames and
    // frames whose CRC is wrong.
    std::vector<TFrame> TakeFrames(int *garbage = nullptr, int *badCrc = nullptr)
    {
        const QByteArray all = Out();
        std::vector<qint64> timeOf;
        for (const TSent &s : Sent)
            for (qsizetype i = 0; i < s.Bytes.size(); ++i)
                timeOf.push_back(s.At);
        std::vector<TFrame> frames;
        int junk = 0, bad = 0;
        qsizetype i = Taken;
        while (i < all.size()) {
            if (quint8(all[i]) != 0xAA) {
                ++junk;
                ++i;
                continue;
            }
            if (i + 5 > all.size())
                break;
            const int n = quint8(all[i + 2]);
            if (i + n + 7 > all.size())
                break;
            const QByteArray frame = all.mid(i, n + 7);
            const quint16 crc = TestCrc(frame.left(n + 5));
            if (quint8(frame[n + 5]) == crc >> 8 && quint8(frame[n + 6]) == (crc & 0xFF))
                frames.push_back({quint8(frame[4]), frame.mid(5, n), timeOf[size_t(i)]});
            else
                ++bad;
            i += n + 7;
        }
        Taken = i;
        if (garbage)
            *garbage = junk;
        if (badCrc)
            *badCrc = bad;
        return frames;
    }

    std::vector<TFrame> TakeFrames(quint8 command)
    {
        std::vector<TFrame> matching;
        for (TFrame &f : TakeFrames())
            if (f.Command == command)
                matching.push_back(std::move(f));
        return matching;
    }

    // The program's bytes reach the heater one at a time, as on the line.
    void Say(const QByteArray &frame)
    {
        for (char byte : frame)
            Sim->Receive(QByteArray(1, byte));
    }

    TStatus LastStatus()
    {
        const auto statuses = TakeFrames(1);
        for (auto it = statuses.rbegin(); it != statuses.rend(); ++it)
            if (it->Payload.size() >= 37)
                return Decode(it->Payload);
        qFatal("no status answer");
    }

    // Streams for up to limitMs and returns the first status showing this stage and mode.
    bool WaitForState(int stage, int mode, int limitMs, TStatus *seen = nullptr)
    {
        for (int waited = 0; waited < limitMs; waited += 1000) {
            Clock.AdvanceBy(1000);
            for (const TFrame &f : TakeFrames(1)) {
                if (f.Payload.size() < 37)
                    continue;
                const TStatus s = Decode(f.Payload);
                if (s.Stage == stage && s.Mode == mode) {
                    if (seen)
                        *seen = s;
                    return true;
                }
            }
        }
        return false;
    }

    void Attach(TCurrentHeaterSim *sim)
    {
        sim->Send = [this](const QByteArray &bytes) { Sent.push_back({Clock.Now(), bytes}); };
    }

private slots:
    void init()
    {
        TScheduler::Install(&Clock);
        Sim = std::make_unique<TCurrentHeaterSim>(*FindCurrentVariant(QStringLiteral("Hydrel-7S")));
        Attach(Sim.get());
        Sent.clear();
        Taken = 0;
    }

    void cleanup()
    {
        Sim.reset();
        QCOMPARE(Clock.PendingCount(), 0); // the simulator leaves nothing behind on the clock
        TScheduler::Install(nullptr);
    }

    void crcKnownAnswer()
    {
        QCOMPARE(SimFraming::Crc16("123456789", 9), quint16(0x4B37));
    }

    void referenceRequestsAreUnderstood_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("keep-alive") << Bytes({0xAA, 0x02, 0x00, 0x00, 0x00, 0xA0, 0x3D}) << 0 << QByteArray();
        QTest::newRow("serial") << Bytes({0xAA, 0x03, 0x00, 0x00, 0x04, 0x9F, 0x3D}) << 4 << QByteArray();
        QTest::newRow("version") << Bytes({0xAA, 0x03, 0x00, 0x00, 0x06, 0x5E, 0xBC}) << 6 << QByteArray();
        QTest::newRow("stream on") << Bytes({0xAA, 0x03, 0x01, 0x00, 0x07, 0x01, 0x1D, 0x9E}) << 7 << Bytes({1});
        QTest::newRow("stream off") << Bytes({0xAA, 0x03, 0x01, 0x00, 0x07, 0x00, 0xDD, 0x5F}) << 7 << Bytes({0});
        QTest::newRow("stop") << Bytes({0xAA, 0x03, 0x00, 0x00, 0x03, 0x5D, 0x7C}) << 3 << QByteArray();
        QTest::newRow("fuel prepare") << Bytes({0xAA, 0x03, 0x00, 0x00, 0x12, 0x51, 0xBC}) << 18 << QByteArray();
        QTest::newRow("fuel 255") << Bytes({0xAA, 0x03, 0x01, 0x00, 0x13, 0xFF, 0x9D, 0x10}) << 19 << Bytes({255});
        QTest::newRow("pump prepare") << Bytes({0xAA, 0x03, 0x01, 0x00, 0x22, 0x00, 0x4D, 0x45}) << 34 << Bytes({0});
        QTest::newRow("pump 90 min") << Bytes({0xAA, 0x03, 0x02, 0x00, 0x21, 0x00, 0x5A, 0xC8, 0xB8}) << 33 << Bytes({0, 90});
    }

    // The heater's reader and this test's request builder both agree with the reference frames.
    void referenceRequestsAreUnderstood()
    {
        QFETCH(QByteArray, frame);
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QCOMPARE(Request(quint8(command), payload, frame[1] == 2 ? 2 : 3), frame);
        SimFraming::TRequestReader reader;
        for (char byte : frame)
            reader.Append(QByteArray(1, byte));
        const auto request = reader.Next();
        QVERIFY(request);
        QCOMPARE(int(request->Command), command);
        QCOMPARE(request->Payload, payload);
        QVERIFY(!reader.Next());
    }

    // A restart mid-run: nothing heard or said while the control unit reboots, then the heater is at
    // rest with its stream off, and a model that must be woken up is asleep again.
    void restartLeavesTheHeaterAtRestAndQuiet_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("no wake-up") << "Hydrel-7S";
        QTest::newRow("woken up") << "Corva-mini";
    }

    void restartLeavesTheHeaterAtRestAndQuiet()
    {
        QFETCH(QString, model);
        const TCurrentVariant &variant = *FindCurrentVariant(model);
        Sim = std::make_unique<TCurrentHeaterSim>(variant);
        Attach(Sim.get());
        Say(variant.WakeUp);
        Say(Request(1));
        Say(Request(7, Bytes({1})));
        Clock.AdvanceBy(10000);
        QVERIFY(Sim->Heater().Values().Stage != 0);
        QVERIFY(Sim->SetFailureMode(QStringLiteral("restart")));
        Clock.AdvanceBy(THeaterFaults::RestartAfterMs);
        QVERIFY(!TakeFrames(1).empty()); // the stream ran until the restart
        Say(Request(6));
        Clock.AdvanceBy(THeaterFaults::RebootMs - 1);
        QVERIFY(TakeFrames().empty());
        Clock.AdvanceBy(1);
        QCOMPARE(Sim->Heater().Values().Stage, quint8(0));
        QVERIFY(!Sim->Streaming());
        Say(Request(6));
        Clock.AdvanceBy(3000);
        QCOMPARE(TakeFrames().size(), variant.WakeUp.isEmpty() ? size_t(1) : size_t(0));
        Say(variant.WakeUp);
        Say(Request(6));
        Clock.AdvanceBy(100);
        QCOMPARE(TakeFrames(6).size(), size_t(1));
    }

    void readerResynchronises_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("rejected");
        const QByteArray stop = Request(3);
        QByteArray swapped = stop;
        std::swap(swapped[5], swapped[6]);
        QTest::newRow("two back to back") << stop + Request(4) << 2 << 0;
        QTest::newRow("garbage before") << Bytes({0x12, 0x34}) + stop << 1 << 0;
        QTest::newRow("swapped CRC") << swapped << 0 << 1;
        // A stray start byte announcing a long frame must not swallow the good request inside it
        // (it is judged once the bytes it announces have come).
        QTest::newRow("stray start byte") << Bytes({0xAA, 0x03, 0x20}) + stop + QByteArray(32, 0) << 1 << 1;
        QTest::newRow("incomplete") << stop.left(5) << 0 << 0;
    }

    void readerResynchronises()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, requests);
        QFETCH(int, rejected);
        SimFraming::TRequestReader reader;
        int got = 0;
        for (char byte : bytes) {
            reader.Append(QByteArray(1, byte));
            while (reader.Next())
                ++got;
        }
        QCOMPARE(got, requests);
        QCOMPARE(reader.RejectedFrames(), rejected);
    }

    // Worked examples of how a heater puts a value on the line, each checked against what the
    // program makes of the raw number: Hz = 15625 / (65536 - period), hundredths of a hertz, kelvin
    // less 273, tenths of a volt, 127 for a sensor that is not fitted.
    void fieldEncoders_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("period 15625 Hz") << "PumpPeriod" << 2 << 15625.0 << Bytes({0xFF, 0xFF}); // 15625 / 1
        QTest::newRow("period 1 Hz") << "PumpPeriod" << 2 << 1.0 << Bytes({0xC2, 0xF7});         // 15625 / 15625
        QTest::newRow("period 2.5 Hz") << "PumpPeriod" << 2 << 2.5 << Bytes({0xE7, 0x96});       // 15625 / 6250
        QTest::newRow("period 0.25 Hz") << "PumpPeriod" << 2 << 0.25 << Bytes({0x0B, 0xDC});     // 15625 / 62500
        // Stopped, or slower than the longest period: 0, which reads as 0.238 Hz and is shown as 0.
        QTest::newRow("period stopped") << "PumpPeriod" << 2 << 0.0 << Bytes({0x00, 0x00});
        QTest::newRow("period 0.2 Hz") << "PumpPeriod" << 2 << 0.2 << Bytes({0x00, 0x00});
        QTest::newRow("period faster than a tick") << "PumpPeriod" << 2 << 40000.0 << Bytes({0xFF, 0xFF});
        QTest::newRow("hundredths 1.25 Hz") << "Hundredths" << 1 << 1.25 << Bytes({125});
        QTest::newRow("hundredths 0.9 Hz") << "Hundredths" << 1 << 0.9 << Bytes({90});
        QTest::newRow("hundredths 2.55 Hz") << "Hundredths" << 1 << 2.55 << Bytes({255});
        QTest::newRow("hundredths beyond a byte") << "Hundredths" << 1 << 3.0 << Bytes({255});
        QTest::newRow("kelvin 27 C") << "Kelvin" << 2 << 27.0 << Bytes({0x01, 0x2C});
        QTest::newRow("kelvin 18 C") << "Kelvin" << 2 << 18.0 << Bytes({0x01, 0x23});
        QTest::newRow("kelvin -273 C") << "Kelvin" << 2 << -273.0 << Bytes({0x00, 0x00});
        QTest::newRow("tenths 12.6 V") << "Tenths" << 2 << 12.6 << Bytes({0x00, 0x7E});
        QTest::newRow("tenths 24.3 V") << "Tenths" << 2 << 24.3 << Bytes({0x00, 0xF3});
        QTest::newRow("sensor 20 C") << "SensorCelsius" << 1 << 20.0 << Bytes({20});
        QTest::newRow("sensor not fitted") << "SensorCelsius" << 1 << qQNaN() << Bytes({127});
        QTest::newRow("whole 85 C") << "Whole" << 1 << 85.0 << Bytes({0x55});
        QTest::newRow("whole below 0") << "Whole" << 1 << -5.0 << Bytes({0x00});
        QTest::newRow("whole 70000 s in 3 bytes") << "Whole" << 3 << 70000.0 << Bytes({0x01, 0x11, 0x70});
        QTest::newRow("whole beyond 3 bytes") << "Whole" << 3 << 16777216.0 << Bytes({0xFF, 0xFF, 0xFF});
    }

    void fieldEncoders()
    {
        QFETCH(QString, encoder);
        QFETCH(int, width);
        QFETCH(double, value);
        QFETCH(QByteArray, bytes);
        const QMap<QString, TEncoder> encoders = {{"PumpPeriod", Encode::PumpPeriod}, {"Hundredths", Encode::Hundredths},
                                                  {"Kelvin", Encode::Kelvin},         {"Tenths", Encode::Tenths},
                                                  {"SensorCelsius", Encode::SensorCelsius}, {"Whole", Encode::Whole}};
        // The field sits at frame offset 7, between two bytes it must leave alone.
        QByteArray payload(width + 4, char(0x5A));
        PutField(payload, {7, width, encoders.value(encoder)}, value);
        QCOMPARE(payload, Bytes({0x5A, 0x5A}) + bytes + Bytes({0x5A, 0x5A}));
    }

    void fieldTheModelDoesNotReportIsLeftAlone()
    {
        QByteArray payload(4, char(0x5A));
        PutField(payload, {-1, 1, Encode::Whole}, 3);
        QCOMPARE(payload, QByteArray(4, char(0x5A)));
    }

    void identityAnswers()
    {
        Say(Request(4));
        Say(Request(6));
        Clock.AdvanceBy(100);
        const auto frames = TakeFrames();
        QCOMPARE(frames.size(), size_t(2));
        QCOMPARE(frames[0].Command, quint8(4));
        QCOMPARE(frames[0].Payload, Bytes({0x00, 0x07, 0x00, 0x04, 0xD2})); // prefix 7, number 1234
        const QString serial = QStringLiteral("%1%2").arg(Be(frames[0].Payload, 5, 2), 2, 10, QLatin1Char('0'))
                                   .arg(Be(frames[0].Payload, 7, 3), 7, 10, QLatin1Char('0'));
        QCOMPARE(serial, QStringLiteral("070001234"));
        QCOMPARE(frames[1].Command, quint8(6));
        QCOMPARE(frames[1].Payload, Bytes({1, 2, 0, 3, 17}));
    }

    void identityCanBeChanged()
    {
        Sim->SetIdentity(12, 7654321, Bytes({2, 0, 1, 0, 5}));
        Say(Request(4));
        Say(Request(6));
        const auto frames = TakeFrames();
        QCOMPARE(frames.size(), size_t(2));
        QCOMPARE(frames[0].Payload, Bytes({0x00, 0x0C, 0x74, 0xCB, 0xB1}));
        QCOMPARE(frames[1].Payload, Bytes({2, 0, 1, 0, 5}));
    }

    void keepAliveIsAnswered()
    {
        Say(Request(0, {}, 2));
        const auto frames = TakeFrames();
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(frames[0].Command, quint8(0));
        QVERIFY(frames[0].Payload.isEmpty());
    }

    void statusStreamsOncePerSecondWhileOn()
    {
        Clock.AdvanceBy(3000);
        QVERIFY(TakeFrames().empty()); // nothing unasked
        Say(Request(7, Bytes({1})));
        Clock.AdvanceBy(4000);
        const auto statuses = TakeFrames(1);
        QCOMPARE(statuses.size(), size_t(4));
        for (size_t i = 1; i < statuses.size(); ++i)
            QCOMPARE(statuses[i].At - statuses[i - 1].At, qint64(TCurrentHeaterSim::StatusPeriodMs));
        const TStatus s = Decode(statuses.back().Payload);
        QCOMPARE(statuses.back().Payload.size(), 37);
        QCOMPARE(s.Stage, 0);
        QCOMPARE(s.Mode, 1);
        QCOMPARE(s.BlowerSet, 0);
        QCOMPARE(s.FuelHundredths, 0);
        QCOMPARE(s.FlameC, 18); // cold: the flame indicator reads the air around it
        QVERIFY2(s.Volts10 >= 124 && s.Volts10 <= 128, qPrintable(QString::number(s.Volts10)));
        QCOMPARE(s.External, 127); // no sensor fitted
        QCOMPARE(s.Fault, 0);

        Say(Request(7, Bytes({0})));
        TakeFrames();
        Clock.AdvanceBy(5000);
        QVERIFY(TakeFrames(1).empty());
        QVERIFY(!Sim->Streaming());
    }

    void startRunsThroughTheStagesAndStopReturnsToPause()
    {
        Say(Request(7, Bytes({1})));
        Clock.AdvanceBy(1500);
        TakeFrames();
        Say(Request(1));
        const auto ack = TakeFrames();
        QCOMPARE(ack.size(), size_t(1)); // the short acknowledgement comes at once
        QCOMPARE(ack[0].Command, quint8(1));
        QCOMPARE(ack[0].Payload.size(), 0);

        TStatus s{};
        QVERIFY(WaitForState(1, 1, 5000));
        QVERIFY(WaitForState(2, 1, 5000, &s)); // plug heating: plug on, blower slow, no fuel
        QCOMPARE(s.PlugPwm, 55);
        QCOMPARE(s.FuelHundredths, 0);
        QVERIFY(WaitForState(2, 2, 15000));
        QVERIFY(WaitForState(2, 3, 8000, &s)); // ignition: fuel starts
        QCOMPARE(s.FuelHundredths, 90);
        QVERIFY(WaitForState(3, 0, 20000, &s)); // burning, low
        QVERIFY2(s.FlameC >= 120, qPrintable(QString::number(s.FlameC)));
        QVERIFY(WaitForState(3, 1, 25000)); // the default power (5) asks for medium
        QVERIFY(WaitForState(3, 8, 15000));
        Clock.AdvanceBy(20000);
        s = LastStatus();
        QCOMPARE(s.Stage, 3);
        QCOMPARE(s.Mode, 8);
        QCOMPARE(s.BlowerSet, 55);
        QVERIFY2(qAbs(s.BlowerActual - 55) <= 2, qPrintable(QString::number(s.BlowerActual)));
        QCOMPARE(s.FuelHundredths, 190);
        QVERIFY2(s.FlameC > 200 && s.FlameC < 300, qPrintable(QString::number(s.FlameC)));
        QVERIFY2(s.LiquidC > 40, qPrintable(QString::number(s.LiquidC)));
        QVERIFY(s.WorkTime > 60);

        Say(Request(1));
        QVERIFY(TakeFrames().empty()); // a second start is not acknowledged
        Say(Request(3));
        QVERIFY(WaitForState(4, 0, 2000, &s)); // switching off: fuel off, purging
        QCOMPARE(s.FuelHundredths, 0);
        QVERIFY(s.BlowerSet > 0);
        QVERIFY(WaitForState(0, 1, 35000, &s));
        QCOMPARE(s.BlowerSet, 0);
        QCOMPARE(s.PlugPwm, 0);
    }

    void runEndsByItselfAfterItsWorkTime()
    {
        Say(Request(7, Bytes({1})));
        Say(Request(1, Bytes({0, 1, 4, 20, 2, 9}))); // 1 minute, power 9
        QVERIFY(WaitForState(3, 0, 40000));
        TStatus s{};
        QVERIFY(WaitForState(4, 0, 40000, &s));
        QVERIFY2(s.WorkTime >= 60 && s.WorkTime <= 62, qPrintable(QString::number(s.WorkTime)));
        QVERIFY(WaitForState(0, 1, 35000));
    }

    void settingsChangeTakesTheBurnerToHighPower()
    {
        Say(Request(7, Bytes({1})));
        Say(Request(1, Bytes({0xFF, 0xFF, 4, 20, 2, 2}))); // unlimited, low power
        QVERIFY(WaitForState(3, 0, 40000));
        Clock.AdvanceBy(40000);
        QCOMPARE(LastStatus().Mode, 0); // low power stays low
        Say(Request(2, Bytes({0xFF, 0xFF, 4, 20, 2, 9})));
        QVERIFY(WaitForState(3, 1, 3000));
        QVERIFY(WaitForState(3, 8, 15000));
        TStatus s{};
        QVERIFY(WaitForState(3, 2, 15000, &s));
        QCOMPARE(s.FuelHundredths, 240);
    }

    void lowerPowerBringsTheBurnerBackDown()
    {
        Say(Request(7, Bytes({1})));
        Say(Request(1, Bytes({0xFF, 0xFF, 4, 20, 2, 9})));
        QVERIFY(WaitForState(3, 2, 80000));
        Say(Request(2, Bytes({0xFF, 0xFF, 4, 20, 2, 1})));
        TStatus s{};
        QVERIFY(WaitForState(3, 3, 3000, &s)); // high to low
        QCOMPARE(s.FuelHundredths, 160);
        QVERIFY(WaitForState(3, 0, 15000, &s));
        QCOMPARE(s.FuelHundredths, 110);
        Say(Request(2, Bytes({0xFF, 0xFF, 4, 20, 2, 5})));
        QVERIFY(WaitForState(3, 8, 40000));
        Say(Request(2, Bytes({0xFF, 0xFF, 4, 20, 2, 3}))); // medium drops straight to low
        QVERIFY(WaitForState(3, 0, 3000));
    }

    // Another row, another run: the model plays whatever programme its row holds, down to the
    // modes it rests in.
    void programmeComesFromTheModelRow()
    {
        TCurrentVariant variant = *FindCurrentVariant(QStringLiteral("Hydrel-7S"));
        variant.Programme = {.PauseMode = 0,
                             .BlowerMode = 2,
                             .FuelPumpingMode = 4,
                             .PrimingHz = 1,
                             .Start = {2, 0},
                             .SwitchOff = {1, 0},
                             .BurningStage = 3,
                             .Steps = {{{2, 0}, {20, 0.5, 40, 150}, {{.Seconds = 4, .To = {3, 0}}}},
                                       {{3, 0}, {30, 2, 0, 200}, {}},
                                       {{1, 0}, {50, 0, 0, 30}, {{.Seconds = 6, .To = {0, 0}}}}}};
        Sim = std::make_unique<TCurrentHeaterSim>(variant);
        Attach(Sim.get());
        Say(Request(7, Bytes({1})));
        TStatus s{};
        QVERIFY(WaitForState(0, 0, 2000));
        Say(Request(1));
        QVERIFY(WaitForState(2, 0, 2000, &s));
        QCOMPARE(s.BlowerSet, 20);
        QCOMPARE(s.PlugPwm, 40);
        QCOMPARE(s.FuelHundredths, 50);
        QVERIFY(WaitForState(3, 0, 6000, &s));
        QCOMPARE(s.FuelHundredths, 200);
        Say(Request(3));
        QVERIFY(WaitForState(1, 0, 2000, &s));
        QCOMPARE(s.BlowerSet, 50);
        QVERIFY(WaitForState(0, 0, 8000, &s));
        QCOMPARE(s.BlowerSet, 0);
        Say(Request(8, Bytes({33})));
        QVERIFY(WaitForState(0, 2, 2000, &s));
        QCOMPARE(s.BlowerSet, 33);
    }

    void blowerRunsOnlyAtRest()
    {
        Say(Request(7, Bytes({1})));
        Say(Request(8, Bytes({40})));
        TStatus s{};
        QVERIFY(WaitForState(0, 3, 2000, &s));
        Clock.AdvanceBy(5000);
        s = LastStatus();
        QCOMPARE(s.BlowerSet, 40);
        QVERIFY2(qAbs(s.BlowerActual - 40) <= 2, qPrintable(QString::number(s.BlowerActual)));
        QCOMPARE(s.FuelHundredths, 0);
        Say(Request(8, Bytes({0})));
        QVERIFY(WaitForState(0, 1, 2000));

        Say(Request(1));
        QVERIFY(WaitForState(2, 1, 10000));
        Say(Request(8, Bytes({90}))); // the burner keeps its own speed
        Clock.AdvanceBy(2000);
        QCOMPARE(LastStatus().BlowerSet, 15);
    }

    void fuelPumpingNeedsItsPreparation()
    {
        Say(Request(7, Bytes({1})));
        Say(Request(19, Bytes({10})));
        Clock.AdvanceBy(3000);
        QCOMPARE(LastStatus().Mode, 1); // a count without the preparing request is ignored

        Say(Request(18));
        Say(Request(19, Bytes({10})));
        TStatus s{};
        QVERIFY(WaitForState(0, 4, 2000, &s));
        QCOMPARE(s.FuelHundredths, 250);
        QVERIFY(WaitForState(0, 1, 6000)); // 10 strokes at 2.5 Hz
    }

    void circulationPumpRunsForItsMinutes()
    {
        Say(Request(33, Bytes({0, 2})));
        QCOMPARE(Sim->Heater().CirculationPumpSecondsLeft(), 0);
        Say(Request(34, Bytes({0})));
        Say(Request(33, Bytes({0, 2})));
        QCOMPARE(Sim->Heater().CirculationPumpSecondsLeft(), 120);
        Clock.AdvanceBy(30500);
        QCOMPARE(Sim->Heater().CirculationPumpSecondsLeft(), 90);
        Clock.AdvanceBy(100000);
        QCOMPARE(Sim->Heater().CirculationPumpSecondsLeft(), 0);
    }

    void eepromBlocksAreAnsweredFromTheImage_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("dataBytes");
        QTest::newRow("block 0") << 0 << 64 << 64;
        QTest::newRow("block 192") << 192 << 64 << 64;
        QTest::newRow("86-byte block") << 86 << 86 << 86;
        QTest::newRow("cut at the end") << 1000 << 64 << 24;
        QTest::newRow("past the end") << 1024 << 64 << 0;
    }

    void eepromBlocksAreAnsweredFromTheImage()
    {
        QFETCH(int, address);
        QFETCH(int, count);
        QFETCH(int, dataBytes);
        Say(Request(11, Bytes({address >> 8, address & 0xFF, count})));
        const auto frames = TakeFrames();
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(frames[0].Command, quint8(11));
        QCOMPARE(Be(frames[0].Payload, 5, 2), address);
        QCOMPARE(frames[0].Payload.mid(2), Sim->Eeprom().mid(address, dataBytes));
    }

    // The image a report is made of: the identity of the heater, counters that add up, six records.
    void eepromImageHoldsAMeaningfulRecord()
    {
        const QByteArray &image = Sim->Eeprom();
        QCOMPARE(image.size(), 1024);
        auto be = [&](int at, int width) { return Be(image, at + 5, width); };
        QCOMPARE(be(3, 2), 7);
        QCOMPARE(be(5, 3), 1234);
        QCOMPARE(be(13, 2), 152);
        QVERIFY(be(15, 2) <= be(13, 2));
        QCOMPARE(be(17, 2) + quint8(image[19]), be(15, 2)); // without + with faults = reached burning
        qint64 perPower = 0;
        for (int p = 0; p < 10; ++p)
            perPower += quint32(be(27 + 4 * p, 4));
        QCOMPARE(qint64(quint32(be(23, 4))), perPower);
        QCOMPARE(int(quint8(image[78])), 5);
        const QList<int> faultCodes = {8, 9, 15, 5, 29, 17};
        for (int r = 0; r < 6; ++r) {
            const int b = 79 + 29 * r;
            QCOMPARE(int(quint8(image[b])), faultCodes[r]);
            QVERIFY(be(b + 12, 2) > 100 && be(b + 12, 2) < 140); // a battery voltage
        }
    }

    void failureModes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("goodFrames");
        QTest::addColumn<int>("badFrames");
        QTest::addColumn<bool>("garbage");
        QTest::addColumn<int>("sends");
        QTest::newRow("none") << "none" << 2 << 0 << false << 2;
        QTest::newRow("silence") << "silence" << 0 << 0 << false << 0;
        QTest::newRow("bad-crc") << "bad-crc" << 0 << 2 << false << 2;
        QTest::newRow("split-frames") << "split-frames" << 2 << 0 << false << 6;
        QTest::newRow("noise") << "noise" << 2 << 0 << true << 2;
    }

    void failureModes()
    {
        QFETCH(QString, mode);
        QFETCH(int, goodFrames);
        QFETCH(int, badFrames);
        QFETCH(bool, garbage);
        QFETCH(int, sends);
        QVERIFY(Sim->SetFailureMode(mode));
        Say(Request(4));
        Say(Request(6));
        Clock.AdvanceBy(500);
        int junk = 0, bad = 0;
        const auto frames = TakeFrames(&junk, &bad);
        QCOMPARE(int(frames.size()), goodFrames);
        QCOMPARE(bad, badFrames);
        QCOMPARE(junk > 0, garbage);
        QCOMPARE(int(Sent.size()), sends);
        if (mode == QLatin1String("noise"))
            QCOMPARE(Out().count(char(0xAA)), 2); // the noise never holds a start byte
        if (mode == QLatin1String("split-frames")) {
            QCOMPARE(frames[1].Command, quint8(6)); // pieces stay in order across answers
            QVERIFY(Sent.back().At - Sent.front().At >= 80);
        }
    }

    void silenceStillObeys()
    {
        Sim->SetFailureMode(QStringLiteral("silence"));
        Say(Request(1));
        Clock.AdvanceBy(5000);
        QVERIFY(Sent.empty());
        QCOMPARE(int(Sim->Heater().Values().Stage), 2);
        Sim->SetFailureMode(QStringLiteral("none"));
        Say(Request(7, Bytes({1})));
        Clock.AdvanceBy(1500);
        QCOMPARE(LastStatus().Stage, 2);
    }

    void faultCodeIsReportedUntilCleared()
    {
        QVERIFY(Sim->SetFailureMode(QStringLiteral("fault-27")));
        Say(Request(7, Bytes({1})));
        Clock.AdvanceBy(2500);
        for (const TFrame &f : TakeFrames(1))
            QCOMPARE(Decode(f.Payload).Fault, 27);
        QVERIFY(Sim->SetFailureMode(QStringLiteral("fault-0")));
        Clock.AdvanceBy(1000);
        QCOMPARE(LastStatus().Fault, 0);
        QVERIFY(Sim->SetFailureMode(QStringLiteral("fault-13")));
        QVERIFY(Sim->SetFailureMode(QStringLiteral("none")));
        Clock.AdvanceBy(1000);
        QCOMPARE(LastStatus().Fault, 0);
    }

    void firstEepromRequestGoesUnanswered()
    {
        QVERIFY(Sim->SetFailureMode(QStringLiteral("edr-first-request-unanswered")));
        const QByteArray block64 = Request(11, Bytes({0, 64, 64}));
        Say(block64);
        Clock.AdvanceBy(1000);
        QVERIFY(TakeFrames().empty());
        Say(block64);
        const auto frames = TakeFrames();
        QCOMPARE(frames.size(), size_t(1));
        QCOMPARE(Be(frames[0].Payload, 5, 2), 64);
        Say(Request(11, Bytes({0, 128, 64})));
        QCOMPARE(TakeFrames().size(), size_t(1));
        QCOMPARE(Sim->EepromRequestsIgnored(), 1);
    }

    void unknownFailureModeIsRefused_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("misspelt") << "silent";
        QTest::newRow("fault out of range") << "fault-256";
        QTest::newRow("fault without code") << "fault-";
        QTest::newRow("empty") << "";
    }

    void unknownFailureModeIsRefused()
    {
        QFETCH(QString, mode);
        QVERIFY(!Sim->SetFailureMode(mode));
    }

    void everyListedFailureModeIsKnown()
    {
        for (const QString &mode : Sim->FailureModes())
            QVERIFY2(Sim->SetFailureMode(mode), qPrintable(mode));
    }

    void wrongLineSpeedIsNotHeard()
    {
        Sim->LineBaudRateChanged(19200);
        Say(Request(6));
        QVERIFY(Sent.empty());
        Sim->LineBaudRateChanged(2400);
        Say(Request(6));
        QCOMPARE(TakeFrames().size(), size_t(1));
    }

    void speedRunsTheStagesFaster()
    {
        Sim->SetSpeed(10);
        Say(Request(7, Bytes({1})));
        Say(Request(1));
        Clock.AdvanceBy(6000); // about a minute of heater time
        const TStatus s = LastStatus();
        QCOMPARE(s.Stage, 3);
        QVERIFY2(s.WorkTime >= 45, qPrintable(QString::number(s.WorkTime)));
    }

    // A seed gives the same bytes every time; another seed gives other jitter.
    void sameSeedSameRun()
    {
        auto run = [this](quint32 seed) {
            Sim = std::make_unique<TCurrentHeaterSim>(*FindCurrentVariant(QStringLiteral("Hydrel-7S")), seed);
            Attach(Sim.get());
            Sent.clear();
            Taken = 0;
            Sim->SetFailureMode(QStringLiteral("noise"));
            Say(Request(7, Bytes({1})));
            Say(Request(1));
            Clock.AdvanceBy(60000);
            return Out();
        };
        const QByteArray first = run(7);
        QVERIFY(first.size() > 60 * 44);
        QCOMPARE(run(7), first);
        QVERIFY(run(8) != first);
    }
};

QTEST_GUILESS_MAIN(TestSimCurrent)
#include "tst_sim_current.moc"
