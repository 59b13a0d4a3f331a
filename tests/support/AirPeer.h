#pragma once
// What the legacy air handler tests share: answers built by the tests' own sum (never the handler's),
// a scripted heater that answers each two-byte request from a table, and a fixture with a handler of
// either model on an in-memory line, on the virtual clock.
#include "app/Globals.h"
#include "core/Timer.h"
#include "legacy_air/AirProduct.h"
#include "product/RunLogFile.h"
#include "serial/MemoryChannel.h"
#include "sim/HeaterSimulator.h"
#include "support/Bytes.h"
#include "support/Harness.h"
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>

namespace AirTest {

// S, D1, D2 and their sum.
inline QByteArray Answer(int s, int d1, int d2)
{
    QByteArray frame;
    frame.append(char(s)).append(char(d1)).append(char(d2)).append(char((s + d1 + d2) & 0xFF));
    return frame;
}

// A 256-byte image followed by its sum (or a wrong one).
inline QByteArray Dump(const QByteArray &image, bool goodSum = true)
{
    int sum = 0;
    for (char c : image)
        sum += quint8(c);
    return image + QByteArray(1, char(goodSum ? sum & 0xFF : (sum + 1) & 0xFF));
}

// A heater that answers each request code with fixed bytes; codes without an entry go unanswered.
class TScriptedHeater : public THeaterSimulator {
public:
    void Receive(const QByteArray &bytes) override
    {
        Pending += bytes;
        while (Pending.size() >= 2) {
            const quint8 code = quint8(Pending[0]);
            Pending.remove(0, 2);
            Requests << code;
            if (!Silent && Answers.contains(code))
                Send(Answers.value(code));
        }
    }
    bool SetFailureMode(const QString &name) override
    {
        Silent = name == QLatin1String("silence");
        return true;
    }
    QStringList FailureModes() const override { return {QStringLiteral("silence")}; }
    // Answers every identity and poll command as a heater at rest would.
    void AnswerEverything()
    {
        for (int code : {1, 3, 7, 15, 16, 26, 27, 29, 35, 37, 51, 52, 23})
            Answers[quint8(code)] = Answer(1, 0, 0);
        Answers[4] = Answer(1, 3, 12);
        Answers[56] = Answer(1, 5, 18);
        Answers[57] = Answer(1, 52, 86);
        Answers[7] = Answer(1, 0, 125);
    }

    QMap<quint8, QByteArray> Answers;
    QList<quint8> Requests;
    bool Silent = false;

private:
    QByteArray Pending;
};

struct TAirFixture {
    explicit TAirFixture(const QString &caption)
    {
        Line = H.Connect(&Heater);
        H.Choose(caption);
        Product = dynamic_cast<TAirProduct *>(CurrentProduct);
    }
    // A run still being recorded is saved when the handler goes; the tests' files are removed then.
    ~TAirFixture()
    {
        if (TProduct *product = CurrentProduct) {
            CurrentProduct = nullptr;
            product->Destroy();
            delete product;
        }
        const QString folder = RunLogFolder();
        for (const QString &name : QDir(folder).entryList(QDir::Files))
            if (name.startsWith(QStringLiteral("[051193046] ")) || name.startsWith(QStringLiteral("[unidentified] ")))
                QFile::remove(folder + name);
    }
    // The handler quiet: no search, no polling, nothing queued; start and stop are answered.
    void Quiet()
    {
        Heater.Answers[23] = Answer(1, 1, 0);
        Heater.Answers[52] = Answer(1, 0, 0);
        Product->SearchTimer->SetEnabled(false);
        Product->StopPolling();
        H.Clock.AdvanceBy(50);
        Heater.Requests.clear();
    }
    // An answer as if it had just been received in one piece.
    void Feed(const QByteArray &bytes)
    {
        Product->RxData += bytes;
        Product->ParseData();
    }

    THarness H;
    TScriptedHeater Heater;
    TMemoryChannel *Line = nullptr;
    TAirProduct *Product = nullptr;
};

} // namespace AirTest
