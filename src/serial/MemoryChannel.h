#pragma once
#include "serial/ByteChannel.h"
#include "core/Scheduler.h"
#include <QSet>

class TLinePeer;

// An in-memory serial line to a simulated heater. Bytes travel at the line's speed (10 bits a byte
// at the port's baud rate) on the scheduler's clock, one by one in each direction, so frames arrive
// split across receive events as they would from a real adapter.
class TMemoryChannel : public TByteChannel {
public:
    // The peer is not owned; nullptr gives a line with nobody at the other end.
    explicit TMemoryChannel(TLinePeer *peer = nullptr);
    ~TMemoryChannel() override;

    void Open(const QString &portName, qint32 baudRate) override;
    void Close() override;
    void SetBaudRate(qint32 baudRate) override;
    qint64 Write(const QByteArray &bytes, int timeoutMs) override;
    QByteArray Read(qint64 maxCount) override;
    qint64 BytesAvailable() const override { return Received.size(); }

    // Test controls: names that fail to open (like a missing device), a read that comes up short.
    QSet<QString> MissingPorts;
    int ShortReadBy = 0;
    // Pulls the adapter out: an open line fails as a real device does, and no port opens until
    // Replug. Bytes under way are lost.
    void Unplug();
    void Replug() { Unplugged = false; }
    // Every attempt to open the line, and those that succeeded.
    int OpenAttempts = 0;
    int OpenCount = 0;

    qint32 LineBaudRate() const { return Baud; }
    QByteArray Written;  // everything the program wrote, for assertions

private:
    qint64 ByteTimeMicro() const { return 10'000'000 / qMax(1, Baud); }
    void PeerSends(const QByteArray &bytes);
    void CancelDeliveries();

    TLinePeer *Peer;
    QByteArray Received;
    qint32 Baud = 9600;
    bool Opened = false;
    bool Unplugged = false;
    // Each direction keeps its own "line busy until" time, in microseconds of the scheduler clock.
    qint64 ToPeerFreeAt = 0;
    qint64 FromPeerFreeAt = 0;
    QSet<TScheduler::TaskId> Deliveries;
};
