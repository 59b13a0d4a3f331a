#pragma once
// Runs a model's handler against arbitrary bytes through its real receive path: the port on an
// in-memory line on the virtual clock, a far end that answers every request with the next piece of
// the input and also sends pieces unasked as the clock moves. The timers run (search, polling,
// watchdog, presentation) and, when the control byte asks for it, the EDR read, so every decoder of
// the family sees the bytes. Runs that the handler records go to a folder of their own that is emptied
// after every input.
#include "core/Dialogs.h"
#include "core/VirtualScheduler.h"
#include "product/Product.h"
#include "product/ProductEnvironment.h"
#include "serial/LinePeer.h"
#include "serial/MemoryChannel.h"
#include "serial/SerialPort.h"
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace HandlerFuzz {

using TCreate = std::function<TProduct *()>;

// The input after its two control bytes, handed out piece by piece.
class TReplayPeer : public TLinePeer {
public:
    TReplayPeer(QByteArray input, int piece) : Input(std::move(input)), Piece(piece) {}
    void Receive(const QByteArray &) override { SendNext(); }
    bool SendNext()
    {
        if (At >= Input.size())
            return false;
        const QByteArray next = Input.mid(At, Piece);
        At += next.size();
        if (Send)
            Send(next);
        return true;
    }
    bool Done() const { return At >= Input.size(); }
    qsizetype Used() const { return At; }

private:
    QByteArray Input;
    int Piece;
    qsizetype At = 0;
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

// data[0] picks the model (modulo the count) and whether the EDR is read; data[1] the piece size and
// the gap between unasked pieces.
inline int Run(const uint8_t *data, size_t size, const std::vector<TCreate> &models)
{
    if (size < 2 || size > 8192 || models.empty())
        return 0;
    const TCreate &create = models[data[0] % models.size()];
    const bool readEdr = (data[0] & 0x80) != 0;
    const int piece = 1 + data[1] % 32;
    const int gapMs = 10 * (1 + (data[1] >> 5));
    TReplayPeer peer(QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2)), piece);

    TSerialPort port(nullptr, std::make_unique<TMemoryChannel>(&peer));
    ProductEnvironment() = TProductEnvironment{&port, nullptr, nullptr};
    TProduct *product = create();
    // A handler refuses the EDR read (or skips it without a word) until it has the heater's state, so
    // it is asked again after every piece until a read has taken bytes from the line.
    bool edrRead = false;
    while (peer.SendNext()) {
        Setting().Clock.AdvanceBy(gapMs);
        if (readEdr && !edrRead && product->Identified) {
            const qsizetype before = peer.Used();
            product->ReadEDR();
            edrRead = peer.Used() > before;
        }
    }
    Setting().Clock.AdvanceBy(3000);
    product->Destroy();
    delete product;
    ProductEnvironment() = TProductEnvironment{};
    // Whatever the handler still has on the clock went with it; the next input starts on a clean one.
    Setting().Clock.AdvanceBy(60000);

    QDir documents(Setting().Home->path() + QStringLiteral("/Documents"));
    if (documents.exists())
        documents.removeRecursively();
    return 0;
}

} // namespace HandlerFuzz
