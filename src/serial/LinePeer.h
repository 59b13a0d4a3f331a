#pragma once
#include <QByteArray>
#include <functional>

// Whatever sits at the far end of an in-memory serial line (a simulated heater in the tests and the
// demo). It receives what the program wrote and answers through Send, which the line sets.
class TLinePeer {
public:
    virtual ~TLinePeer() = default;

    // Bytes the program wrote, as they reach the far end (at the line's byte time).
    virtual void Receive(const QByteArray &bytes) = 0;
    // The line speed the program's port now uses; a peer may ignore bytes sent at another speed.
    virtual void LineBaudRateChanged(qint32 /*bitsPerSecond*/) {}

    // Set by the line the peer is attached to.
    std::function<void(const QByteArray &bytes)> Send;
};
