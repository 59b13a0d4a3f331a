#pragma once
// Runs a model's handler against arbitrary bytes through its real receive path: the port on a line on
// the virtual clock whose far end replays the input. The timers run (search, polling, watchdog,
// presentation) and, when the control byte asks for it, the EDR read, so every decoder of the family
// sees the bytes. Runs that the handler records go to a folder of their own that is emptied after
// every input.
#include "core/Dialogs.h"
#include "core/VirtualScheduler.h"
#include "product/Product.h"
#include "product/ProductEnvironment.h"
#include "serial/ByteChannel.h"
#include "serial/MemoryChannel.h"
#include "serial/ComPort.h"
#include <QByteArray>
#include <QDir>
#include <QList>
#include <QTemporaryDir>
#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace HandlerFuzz {

using TCreate = std::function<TProduct *()>;

// The far end of the line, replaying the input after its two control bytes in one of two ways.
//  - Pieces: every byte the handler writes is answered with the next piece of a fixed size, and the
//    far end also sends a piece unasked at every step of the clock.
//  - Conversation: the input is a chain of chunks, each a two-byte big-endian head and its bytes; the
//    head's top bit marks a chunk the heater sent unasked (a status stream), the other fifteen bits
//    give its length. A chunk sent unasked goes out at a step of the clock when it is next in the
//    chain; a write is answered with the chain up to its next answer. So a recorded conversation
//    replays in step however long the handler takes to ask.
// An answer comes a millisecond per written byte after the write. Bytes arrive whole, without the
// line's byte timing, so an input costs a few scheduled tasks rather than one per byte.
class TReplayChannel : public TByteChannel {
public:
    enum class TMode { Pieces, Conversation };
    static constexpr quint16 UnaskedBit = 0x8000;

    TReplayChannel(QByteArray input, TMode mode, int piece) : Input(std::move(input)), Mode(mode), Piece(piece) {}
    ~TReplayChannel() override
    {
        for (TScheduler::TaskId id : std::as_const(Answers))
            TScheduler::Instance().Cancel(id);
    }

    void Open(const QString &, qint32) override { Opened = true; }
    void Close() override
    {
        Opened = false;
        Received.clear();
    }
    void SetBaudRate(qint32) override {}
    qint64 Write(const QByteArray &bytes, int) override
    {
        const qsizetype count = bytes.size();
        auto id = std::make_shared<TScheduler::TaskId>();
        *id = TScheduler::Instance().CallAt(TScheduler::Instance().Now() + count, [this, count, id] {
            Answers.removeOne(*id);
            if (Mode == TMode::Conversation) {
                while (!Done()) {
                    const bool unasked = HeadUnasked();
                    Deliver(TakeChunk());
                    if (!unasked)
                        break;
                }
                return;
            }
            for (qsizetype i = 0; i < count; ++i)
                Deliver(TakePiece());
        });
        Answers << *id;
        return count;
    }
    QByteArray Read(qint64 maxCount) override
    {
        const QByteArray out = Received.left(maxCount);
        Received.remove(0, out.size());
        return out;
    }
    qint64 BytesAvailable() const override { return Received.size(); }

    // What the far end sends unasked at a step of the clock.
    void Feed()
    {
        if (Mode == TMode::Pieces)
            Deliver(TakePiece());
        else if (!Done() && HeadUnasked())
            Deliver(TakeChunk());
    }
    bool Done() const { return At >= Input.size(); }
    qsizetype Used() const { return At; }

private:
    QByteArray TakePiece()
    {
        const QByteArray piece = Input.mid(At, Piece);
        At += piece.size();
        return piece;
    }
    quint16 Head() const
    {
        return Input.size() - At < 2 ? 0 : quint16(quint8(Input[At]) << 8 | quint8(Input[At + 1]));
    }
    bool HeadUnasked() const { return (Head() & UnaskedBit) != 0; }
    QByteArray TakeChunk()
    {
        const QByteArray chunk = Input.mid(At + 2, Head() & ~UnaskedBit);
        At = qMin(Input.size(), At + 2 + chunk.size());
        return chunk;
    }
    void Deliver(const QByteArray &bytes)
    {
        if (!Opened || bytes.isEmpty())
            return;
        Received += bytes;
        if (OnBytesArrived)
            OnBytesArrived();
    }

    QByteArray Input;
    TMode Mode;
    int Piece;
    qsizetype At = 0;
    bool Opened = false;
    QByteArray Received;
    QList<TScheduler::TaskId> Answers;
};

struct TSetting {
    TVirtualScheduler Clock;
    std::unique_ptr<QTemporaryDir> Home;
};

inline TSetting &Setting()
{
    static TSetting setting;
    return setting;
}

// Once per process: messages, dialogs and log lines go nowhere (a log would only grow), runs are saved under a temporary home.
inline void Initialise()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    SetDialogHook([](TDialogKind, const QString &) { return TDialogResult::Ok; });
    Setting().Home = std::make_unique<QTemporaryDir>();
    qputenv("HOME", Setting().Home->path().toLocal8Bit());
    qunsetenv("XDG_DOCUMENTS_DIR");
    qunsetenv("XDG_CONFIG_HOME");
    TScheduler::Install(&Setting().Clock);
}

// Runs that a handler saved went to the temporary home's documents; each input starts without them.
inline void RemoveSavedRuns()
{
    QDir documents(Setting().Home->path() + QStringLiteral("/Documents"));
    if (documents.exists())
        documents.removeRecursively();
}

// The gap code (the high three bits of data[1]) that replays the input as a conversation.
constexpr quint8 ConversationGap = 7;

// data[0] picks the model (modulo the count) and whether the EDR is read (bit 7). data[1] holds the
// piece size (low five bits) and the gap between unasked pieces in tens of milliseconds (high three
// bits, less one); a gap of ConversationGap replays the input as a conversation instead.
inline int Run(const uint8_t *data, size_t size, const std::vector<TCreate> &models)
{
    if (size < 2 || size > 8192 || models.empty())
        return 0;
    const TCreate &create = models[data[0] % models.size()];
    const bool readEdr = (data[0] & 0x80) != 0;
    const bool conversation = (data[1] >> 5) == ConversationGap;
    const int piece = 1 + data[1] % 32;
    // A conversation's answers move at the handler's pace; its steps send what the heater sent unasked.
    const int stepMs = conversation ? 100 : 10 * (1 + (data[1] >> 5));
    auto channel = std::make_unique<TReplayChannel>(
        QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2)),
        conversation ? TReplayChannel::TMode::Conversation : TReplayChannel::TMode::Pieces, piece);
    TReplayChannel &line = *channel;
    TComPort port(nullptr, std::move(channel));
    ProductEnvironment() = TProductEnvironment{&port, nullptr, nullptr};
    TProduct *product = create();
    // A handler refuses the EDR read (or skips it without a word) until it has the heater's state, so
    // it is asked again after every step until a read has taken bytes from the line. A conversation
    // ends when its answers are used up or the handler has stopped asking for a while.
    constexpr qint64 QuietLimitMs = 30000;
    qint64 quietMs = 0;
    bool edrRead = false;
    while (!line.Done() && quietMs < QuietLimitMs) {
        const qsizetype used = line.Used();
        line.Feed();
        Setting().Clock.AdvanceBy(stepMs);
        if (readEdr && !edrRead && product->Identified) {
            const qsizetype before = line.Used();
            product->ReadEDR();
            edrRead = line.Used() > before;
        }
        quietMs = line.Used() > used ? 0 : quietMs + stepMs;
    }
    Setting().Clock.AdvanceBy(3000);
    product->Destroy();
    delete product;
    ProductEnvironment() = TProductEnvironment{};
    // Whatever the handler still has on the clock went with it; the next input starts on a clean one.
    Setting().Clock.AdvanceBy(60000);

    RemoveSavedRuns();
    return 0;
}

// The longest input of the decoders' target: a few dozen frames.
constexpr size_t MaxDecodeInput = 2048;

// data[0] picks the model (modulo the count), data[1] the piece size; the rest goes piece by piece
// into the receive buffer of a handler whose line has nobody at the far end, each piece parsed at
// once, without the clock moving: every frame reaches its decoder whatever the handler asked.
inline int Decode(const uint8_t *data, size_t size, const std::vector<TCreate> &models)
{
    if (size < 2 || size > MaxDecodeInput || models.empty())
        return 0;
    const TCreate &create = models[data[0] % models.size()];
    const size_t piece = 1 + data[1] % 64;
    TComPort port(nullptr, std::make_unique<TMemoryChannel>());
    ProductEnvironment() = TProductEnvironment{&port, nullptr, nullptr};
    TProduct *product = create();
    for (size_t at = 2; at < size; at += piece) {
        product->RxData.append(reinterpret_cast<const char *>(data + at), qsizetype(std::min(piece, size - at)));
        product->ParseData();
    }
    product->Destroy();
    delete product;
    ProductEnvironment() = TProductEnvironment{};
    Setting().Clock.AdvanceBy(60000);
    RemoveSavedRuns();
    return 0;
}

} // namespace HandlerFuzz
