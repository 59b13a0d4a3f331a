#pragma once
// What the Hydrel-7 handler tests share: a scripted heater that records every request frame and
// answers each request code with fixed frames, and a fixture with the handler on an in-memory line
// to it, on the virtual clock.
#include "app/Globals.h"
#include "core/Timer.h"
#include "legacy_liquid/Hydrel7.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "sim/HeaterSimulator.h"
#include "support/Harness.h"
#include "support/Hydrel7Bytes.h"
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <array>

namespace Hydrel7Test {

class TScriptedHeater : public THeaterSimulator {
public:
    void Receive(const QByteArray &bytes) override
    {
        Pending += bytes;
        while (Pending.size() >= 10) {
            const QByteArray request = Pending.left(10);
            Pending.remove(0, 10);
            Requests << request;
            if (!Silent)
                Answer(request);
        }
    }
    bool SetFailureMode(const QString &name) override
    {
        Silent = name == QLatin1String("silence");
        return Silent || name.isEmpty();
    }
    QStringList FailureModes() const override { return {QStringLiteral("silence")}; }

    QList<QByteArray> RequestsWithCode(int code) const
    {
        QList<QByteArray> found;
        // Reserved first: built with GCC 12 at -O2, appending to this fresh list in the connection-loss
        // test read and wrote freed memory (valgrind: memmove inside QList::emplace), which valgrind
        // shows no earlier fault leading to.
        found.reserve(Requests.size());
        for (const QByteArray &request : Requests)
            if (quint8(request[4]) == code)
                found << request;
        return found;
    }
    QList<int> Codes() const
    {
        QList<int> codes;
        for (const QByteArray &request : Requests)
            codes << quint8(request[4]);
        return codes;
    }

    QMap<int, QByteArray> Answers; // request code -> bytes sent back
    std::array<quint8, 256> Image{};
    bool AnswerEeprom = false;
    bool Silent = false;
    QList<QByteArray> Requests;

private:
    void Answer(const QByteArray &request)
    {
        const int code = quint8(request[4]);
        if (code == 119 && AnswerEeprom) {
            const int at = quint8(request[5]);
            auto image = [this](int offset) { return offset < 256 ? Image[size_t(offset)] : 0; };
            Send(Reply(119, at, image(at), image(at + 1), image(at + 2)));
            return;
        }
        if (Answers.contains(code))
            Send(Answers.value(code));
    }
    QByteArray Pending;
};

struct THydrel7Fixture {
    THydrel7Fixture()
    {
        Line = H.Connect(&Heater);
        H.Choose(QStringLiteral("Hydrel-7"));
        Hydrel = dynamic_cast<THydrelOld *>(CurrentProduct);
    }
    // A run still being recorded is saved when the handler goes; the tests' files are removed then.
    ~THydrel7Fixture()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        const QString folder = RunLogFolder();
        for (const QString &name : QDir(folder).entryList(QDir::Files))
            if (name.startsWith(QStringLiteral("[unidentified] ")) || name.startsWith(QStringLiteral("[990004321] ")))
                QFile::remove(folder + name);
    }
    // A heater already identified whose stream runs: the search stays quiet.
    void SkipSearch()
    {
        Hydrel->Identified = true;
        Hydrel->SearchTimer->SetEnabled(false);
    }
    // Frames as if they had just been received in one piece.
    void Feed(const QByteArray &bytes)
    {
        Hydrel->RxData += bytes;
        Hydrel->ParseData();
    }
    // A whole status cycle with these values; the 107 at its end.
    void Cycle(int stage, int workTime = 0, int fault = 0)
    {
        Feed(Status(1, workTime >> 8, workTime & 0xFF, 0, fault) + Status(2, 25, 60, 58, 10)
             + Status(3, 1, 0, 12, stage) + Status(5, 0, 0, 80, 0) + Status(104, 45, 50, 1, 171) + Status(107));
    }
    // The heater's status cycle once a second for the given seconds.
    void Cycles(int stage, int seconds)
    {
        for (int second = 0; second < seconds; ++second) {
            Cycle(stage);
            H.Clock.AdvanceBy(1000);
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
    THydrelOld *Hydrel = nullptr;
};

} // namespace Hydrel7Test
