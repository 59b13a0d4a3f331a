#pragma once
// What the current-family handler tests share: frames built by the tests' own CRC routine (never the
// handler's), a status answer laid out as a model's status row, and a scripted heater that answers
// each request with fixed frames.
#include "sim/HeaterSimulator.h"
#include "support/StatusLayouts.h"
#include <QByteArray>
#include <QList>
#include <QMap>
#include <array>
#include <functional>

namespace CurrentTest {

// CRC-16/MODBUS, bit by bit.
inline quint16 Crc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        quint8 byte = quint8(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = ((crc ^ byte) & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
            byte >>= 1;
        }
    }
    return crc;
}

// AA, address, n, 0, command, payload, CRC high, CRC low.
inline QByteArray Frame(quint8 command, const QByteArray &payload = {}, quint8 address = 3)
{
    QByteArray frame;
    frame.append(char(0xAA)).append(char(address)).append(char(payload.size())).append('\0').append(char(command));
    frame += payload;
    const quint16 crc = Crc(frame);
    frame.append(char(crc >> 8)).append(char(crc & 0xFF));
    return frame;
}

// A status answer laid out as a model's row of StatusLayouts.h (the Hydrel-7S's unless another is
// given): raw values at their frame offsets, values the model does not send left out.
struct TStatus {
    quint8 Stage = 0, Mode = 1;
    quint32 WorkTime = 0, StageTime = 0, ModeTime = 0;
    quint8 BlowerSet = 0, BlowerActual = 0, PlugPwm = 0;
    quint16 FuelPump = 0;
    quint16 FlameKelvin = 273;
    quint8 Liquid = 0, Overheat = 0, Plate = 0;
    quint16 VoltageTenths = 0;
    quint8 External = 127;
    quint8 Pump = 0, Relay = 0;
    quint8 Fault = 0;

    QByteArray Frame(const TStatusLayout &layout = Hydrel7S) const
    {
        QByteArray payload(layout.PayloadLength, '\0');
        auto put = [&](TAt at, quint32 value) {
            for (int i = 0; at.Offset >= 5 && i < at.Width; ++i)
                payload[at.Offset - 5 + i] = char(quint8(value >> (8 * (at.Width - 1 - i))));
        };
        put(layout.Stage, Stage);
        put(layout.Mode, Mode);
        put(layout.WorkTime, WorkTime);
        put(layout.StageTime, StageTime);
        put(layout.ModeTime, ModeTime);
        put(layout.BlowerSet, BlowerSet);
        put(layout.BlowerActual, BlowerActual);
        put(layout.PlugPwm, PlugPwm);
        put(layout.FuelPump, FuelPump);
        put(layout.FlameKelvin, FlameKelvin);
        put(layout.Liquid, Liquid);
        put(layout.Overheat, Overheat);
        put(layout.Plate, Plate);
        put(layout.VoltageTenths, VoltageTenths);
        put(layout.External, External);
        put(layout.Pump, Pump);
        put(layout.Relay, Relay);
        put(layout.Fault, Fault);
        return CurrentTest::Frame(1, payload);
    }
};

// A heater that answers each request command with fixed frames; EEPROM blocks come from Image.
class TScriptedHeater : public THeaterSimulator {
public:
    void Receive(const QByteArray &bytes) override
    {
        Pending += bytes;
        while (Pending.size() >= 7) {
            const int start = Pending.indexOf(char(0xAA));
            if (start < 0) {
                Pending.clear();
                return;
            }
            Pending.remove(0, start);
            const int n = quint8(Pending[2]);
            if (Pending.size() < n + 7)
                return;
            const QByteArray request = Pending.left(n + 7);
            Pending.remove(0, n + 7);
            Requests << request;
            Answer(request);
        }
    }
    bool SetFailureMode(const QString &name) override
    {
        Silent = name == QLatin1String("silence");
        return Silent || name.isEmpty();
    }
    QStringList FailureModes() const override { return {QStringLiteral("silence")}; }

    QList<QByteArray> RequestsWithCommand(quint8 command) const
    {
        QList<QByteArray> found;
        for (const QByteArray &request : Requests)
            if (quint8(request[4]) == command)
                found << request;
        return found;
    }

    QMap<quint8, QByteArray> Answers; // request command -> bytes sent back
    std::array<quint8, 1024> Image{};
    QMap<int, int> EepromRequestsToIgnore; // block address -> how many of its requests go unanswered
    bool Silent = false;
    QList<QByteArray> Requests;

private:
    void Answer(const QByteArray &request)
    {
        if (Silent)
            return;
        const quint8 command = quint8(request[4]);
        if (command == 11) {
            const int address = quint8(request[5]) * 256 + quint8(request[6]);
            if (EepromRequestsToIgnore.value(address) > 0) {
                --EepromRequestsToIgnore[address];
                return;
            }
            QByteArray payload;
            payload.append(request[5]).append(request[6]);
            for (int i = 0; i < quint8(request[7]); ++i)
                payload.append(char(address + i < 1024 ? Image[size_t(address + i)] : 0));
            Send(Frame(11, payload));
            return;
        }
        if (Answers.contains(command))
            Send(Answers.value(command));
    }
    QByteArray Pending;
};

} // namespace CurrentTest

#include "app/Globals.h"
#include "current/Orvel.h"
#include "product/RunLogFile.h"
#include <QDir>
#include <QFile>
#include "serial/MemoryChannel.h"
#include "support/Harness.h"
#include <memory>

namespace CurrentTest {

// A model's handler, chosen from the menu, on an in-memory line to a scripted heater, on the virtual
// clock.
struct TModelFixture {
    // A run still being recorded is saved when the handler goes; the tests' files are removed then.
    ~TModelFixture()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        const QString folder = RunLogFolder();
        for (const QString &name : QDir(folder).entryList(QDir::Files))
            if (name.startsWith(QStringLiteral("[unidentified] ")))
                QFile::remove(folder + name);
    }
    explicit TModelFixture(const QString &caption)
    {
        Line = H.Connect(&Heater);
        H.Choose(caption);
        Product = dynamic_cast<TCurrentProduct *>(CurrentProduct);
    }
    // An answer as if it had just been received in one piece.
    void Feed(const QByteArray &bytes)
    {
        Product->RxData += bytes;
        Product->ParseData();
    }
    // The heater streaming the same status frame once a second for the given seconds.
    void Stream(const QByteArray &frame, int seconds)
    {
        // Whole seconds from the first frame on, whatever time the handler's own writes take.
        const qint64 start = H.Clock.Now();
        for (int second = 1; second <= seconds; ++second) {
            Feed(frame);
            H.Clock.AdvanceBy(start + second * 1000 - H.Clock.Now());
        }
    }
    // The frames the program wrote since the last call.
    QByteArray TakeWritten()
    {
        const QByteArray written = Line->Written;
        Line->Written.clear();
        return written;
    }

    THarness H;
    TScriptedHeater Heater;
    TMemoryChannel *Line = nullptr;
    TCurrentProduct *Product = nullptr;
};

// The Hydrel-7S handler in that setting.
struct TOrvelFixture : TModelFixture {
    TOrvelFixture() : TModelFixture(QStringLiteral("Hydrel-7S")), Orvel(dynamic_cast<TOrvel *>(Product)) {}
    TOrvel *Orvel;
};

} // namespace CurrentTest
