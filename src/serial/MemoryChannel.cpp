#include "serial/MemoryChannel.h"
#include "serial/ComErrors.h"
#include "serial/LinePeer.h"
#include <cerrno>

TMemoryChannel::TMemoryChannel(TLinePeer *peer) : Peer(peer)
{
    if (Peer)
        Peer->Send = [this](const QByteArray &bytes) { PeerSends(bytes); };
}

TMemoryChannel::~TMemoryChannel()
{
    CancelDeliveries();
    if (Peer)
        Peer->Send = nullptr;
}

void TMemoryChannel::Open(const QString &portName, qint32 baudRate)
{
    ++OpenAttempts;
    if (MissingPorts.contains(portName) || Unplugged)
        throw EComPort(EComPort::OpenFailed, ENOENT);
    Opened = true;
    ++OpenCount;
    Received.clear();
    SetBaudRate(baudRate);
}

void TMemoryChannel::Unplug()
{
    Unplugged = true;
    CancelDeliveries();
    if (Opened && OnDeviceLost)
        OnDeviceLost(QStringLiteral("No such device"));
}

void TMemoryChannel::Close()
{
    Opened = false;
    CancelDeliveries();
    Received.clear();
}

void TMemoryChannel::SetBaudRate(qint32 baudRate)
{
    Baud = baudRate;
    if (Peer)
        Peer->LineBaudRateChanged(baudRate);
}

qint64 TMemoryChannel::Write(const QByteArray &bytes, int)
{
    Written += bytes;
    if (!Peer)
        return bytes.size();
    TScheduler &clock = TScheduler::Instance();
    const qint64 nowMicro = clock.Now() * 1000;
    for (char byte : bytes) {
        ToPeerFreeAt = qMax(ToPeerFreeAt, nowMicro) + ByteTimeMicro();
        const qint64 dueMs = (ToPeerFreeAt + 999) / 1000;
        auto id = std::make_shared<TScheduler::TaskId>();
        *id = clock.CallAt(dueMs, [this, byte, id] {
            Deliveries.remove(*id);
            Peer->Receive(QByteArray(1, byte));
        });
        Deliveries.insert(*id);
    }
    return bytes.size();
}

QByteArray TMemoryChannel::Read(qint64 maxCount)
{
    const qint64 n = qMax<qint64>(0, qMin<qint64>(maxCount, Received.size()) - ShortReadBy);
    QByteArray out = Received.left(n);
    Received.remove(0, n);
    return out;
}

void TMemoryChannel::PeerSends(const QByteArray &bytes)
{
    if (!Opened)
        return;
    TScheduler &clock = TScheduler::Instance();
    const qint64 nowMicro = clock.Now() * 1000;
    for (char byte : bytes) {
        FromPeerFreeAt = qMax(FromPeerFreeAt, nowMicro) + ByteTimeMicro();
        const qint64 dueMs = (FromPeerFreeAt + 999) / 1000;
        auto id = std::make_shared<TScheduler::TaskId>();
        *id = clock.CallAt(dueMs, [this, byte, id] {
            Deliveries.remove(*id);
            Received.append(byte);
            if (OnBytesArrived)
                OnBytesArrived();
        });
        Deliveries.insert(*id);
    }
}

void TMemoryChannel::CancelDeliveries()
{
    TScheduler &clock = TScheduler::Instance();
    for (auto id : std::as_const(Deliveries))
        clock.Cancel(id);
    Deliveries.clear();
}
