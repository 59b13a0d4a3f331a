// Writes the seed corpora of the handler targets from the simulators' own traffic: each simulated
// model, on a clean line and under each of its failure modes, is searched, polled and has its EDR
// read by its handler on the virtual clock. What the heater sent becomes two seeds, prefixed with the
// control bytes that pick the same model and ask for the EDR read: the bytes as one stream, cut into
// pieces, and the same bytes as a conversation of answers and unasked chunks. The stream of a model
// that the decoders' target knows also seeds that target.
//   seed_traffic <fuzz/corpus folder>
#include "HandlerFuzz.h"
#include "current/CorvaMini.h"
#include "current/Orvel.h"
#include "current/Zephal1.h"
#include "current/Zephal33New.h"
#include "legacy_air/CorvaOld.h"
#include "legacy_air/ZephalOld.h"
#include "legacy_liquid/Hydrel7.h"
#include "serial/LinePeer.h"
#include "serial/MemoryChannel.h"
#include "sim/Simulators.h"
#include <QFile>
#include <QRegularExpression>
#include <cstdio>
#include <optional>

namespace {
// Passes the line through to the simulator and keeps what it sends, as one stream and as chunks.
// The first chunk sent after the program wrote counts as the write's answer, and a write followed by
// another before any chunk came gets an empty answer, as a replay answers every write; any other
// chunk was sent unasked.
class TTap : public TLinePeer {
public:
    explicit TTap(THeaterSimulator &simulator) : Simulator(simulator)
    {
        Simulator.Send = [this](const QByteArray &bytes) {
            Heard += bytes;
            Keep(bytes, !Asked);
            Asked = false;
            if (Send)
                Send(bytes);
        };
    }
    // The program writes a request.
    void Wrote()
    {
        if (Asked)
            Keep({}, false);
        Asked = true;
    }
    void Receive(const QByteArray &bytes) override { Simulator.Receive(bytes); }
    void LineBaudRateChanged(qint32 bitsPerSecond) override { Simulator.LineBaudRateChanged(bitsPerSecond); }

    QByteArray Heard;
    QByteArray Conversation;

private:
    void Keep(const QByteArray &bytes, bool unasked)
    {
        const QByteArray chunk = bytes.left(0x7FFF);
        const quint16 head = quint16(chunk.size()) | (unasked ? HandlerFuzz::TReplayChannel::UnaskedBit : 0);
        Conversation += char(head >> 8);
        Conversation += char(head & 0xFF);
        Conversation += chunk;
    }

    THeaterSimulator &Simulator;
    bool Asked = false;
};

// The in-memory line, telling the tap of every write.
class TTappedLine : public TMemoryChannel {
public:
    explicit TTappedLine(TTap &tap) : TMemoryChannel(&tap), Tap(tap) {}
    qint64 Write(const QByteArray &bytes, int timeoutMs) override
    {
        Tap.Wrote();
        return TMemoryChannel::Write(bytes, timeoutMs);
    }

private:
    TTap &Tap;
};

struct TSeedModel {
    const char *Caption;
    const char *Target;
    quint8 Index; // the model's place in its target's list
    std::optional<quint8> DecoderIndex; // its place in the decoders' target, if there
    HandlerFuzz::TCreate Create;
};

struct TTraffic {
    QByteArray Heard;
    QByteArray Conversation;
};

// The heater's side of one session under a failure mode; nothing when the simulator lacks the mode.
std::optional<TTraffic> Record(const TSeedModel &model, const QString &mode)
{
    std::optional<TTraffic> traffic;
    {
        const std::unique_ptr<THeaterSimulator> simulator = CreateSimulator(QLatin1String(model.Caption));
        if (!simulator || (mode != QLatin1String("none") && !simulator->SetFailureMode(mode)))
            return traffic;
        TTap tap(*simulator);
        auto channel = std::make_unique<TTappedLine>(tap);
        const TMemoryChannel &line = *channel;
        TComPort port(nullptr, std::move(channel));
        ProductEnvironment() = TProductEnvironment{&port, nullptr, nullptr};
        TProduct *product = model.Create();
        // The EDR read is asked for as the targets ask for it, after every step once the heater is
        // identified until a read sends its requests, so that a replay meets the EEPROM's answers
        // where the handler waits for them.
        bool edrRead = false;
        for (int elapsedMs = 0; elapsedMs < 15000 && !edrRead; elapsedMs += 100) {
            HandlerFuzz::Setting().Clock.AdvanceBy(100);
            if (product->Identified) {
                const qsizetype before = line.Written.size();
                product->ReadEDR();
                edrRead = line.Written.size() > before;
            }
        }
        HandlerFuzz::Setting().Clock.AdvanceBy(3000);
        product->Destroy();
        delete product;
        ProductEnvironment() = TProductEnvironment{};
        traffic = TTraffic{tap.Heard, tap.Conversation};
    }
    // What the simulator still had on the clock went with it.
    HandlerFuzz::Setting().Clock.AdvanceBy(60000);
    return traffic;
}

// The two control bytes that lead a handler target's input.
QByteArray Control(quint8 model, quint8 replay)
{
    QByteArray control;
    control += char(model);
    control += char(replay);
    return control;
}

bool WriteSeed(const QString &corpus, const QString &target, const QString &name, const QByteArray &bytes)
{
    const QString folder = corpus + QLatin1Char('/') + target;
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_traffic <corpus folder>\n");
        return 2;
    }
    HandlerFuzz::Initialise();
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    const TSeedModel models[] = {
        {"Hydrel-7S", "current_handlers", 0, 0, [] { return new TOrvel; }},
        {"Zephal-33 [new rev.]", "current_handlers", 1, 1, [] { return new TZephal33new; }},
        {"Zephal-1", "current_handlers", 2, 2, [] { return new TZephal1; }},
        {"Corva-mini", "current_handlers", 3, 3, [] { return new TCorvaMini; }},
        {"Zephal-3/-33/-6 [old rev.]", "legacy_air_handlers", 0, std::nullopt, [] { return new TZephalOld; }},
        {"Corva", "legacy_air_handlers", 1, std::nullopt, [] { return new TCorvaOld; }},
        {"Hydrel-7", "legacy_liquid_handler", 0, 4, [] { return new THydrelOld; }},
    };
    constexpr qsizetype MaxSeed = 8190;
    int written = 0;
    for (const TSeedModel &model : models) {
        const std::unique_ptr<THeaterSimulator> probe = CreateSimulator(QLatin1String(model.Caption));
        if (!probe) {
            std::fprintf(stderr, "no simulator for %s\n", model.Caption);
            return 1;
        }
        for (const QString &mode : probe->FailureModes()) {
            const std::optional<TTraffic> traffic = Record(model, mode);
            if (!traffic || traffic->Heard.isEmpty())
                continue;
            QString name = QString::fromLatin1(model.Caption) + QLatin1Char('-') + mode;
            name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]+")), QStringLiteral("_"));
            const QString target = QLatin1String(model.Target);
            // The EDR is read; pieces of 16 bytes, 10 ms apart, or the conversation.
            const QByteArray pieces = Control(0x80 | model.Index, 15) + traffic->Heard.left(MaxSeed);
            const QByteArray talk = Control(0x80 | model.Index, HandlerFuzz::ConversationGap << 5)
                                    + traffic->Conversation.left(MaxSeed);
            if (!WriteSeed(corpus, target, name, pieces)
                || !WriteSeed(corpus, target, name + QStringLiteral("-conversation"), talk))
                return 1;
            written += 2;
            if (model.DecoderIndex) {
                const QByteArray stream = Control(*model.DecoderIndex, 15) + traffic->Heard.left(HandlerFuzz::MaxDecodeInput - 2);
                if (!WriteSeed(corpus, QStringLiteral("decoders"), name, stream))
                    return 1;
                ++written;
            }
        }
    }
    std::printf("%d seeds written\n", written);
    return 0;
}
