#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// The heater side of a serial line. A simulator receives what the program writes and answers through
// Send; it keeps its own time through TScheduler, so the same simulator serves the virtual clock
// (in-memory line), the pseudo-terminal bridge and the demo.
class THeaterSimulator {
public:
    virtual ~THeaterSimulator() = default;

    // Bytes the program wrote, as they reach the heater (at the line's byte time on the memory line).
    virtual void Receive(const QByteArray &bytes) = 0;
    // The line speed the program's port now uses; a simulator may ignore bytes sent at another speed.
    virtual void LineBaudRateChanged(qint32 /*bitsPerSecond*/) {}
    // Named failure modes ("silence", "bad-crc", ...); returns false for a name it does not know.
    virtual bool SetFailureMode(const QString &name) = 0;
    virtual QStringList FailureModes() const = 0;

    // Set by the line the simulator is attached to.
    std::function<void(const QByteArray &bytes)> Send;
};
