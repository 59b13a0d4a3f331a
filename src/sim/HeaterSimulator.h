#pragma once
#include "serial/LinePeer.h"
#include <QString>
#include <QStringList>

// The heater side of a serial line. A simulator receives what the program writes and answers through
// Send; it keeps its own time through TScheduler, so the same simulator serves the virtual clock
// (in-memory line), the pseudo-terminal bridge and the demo.
class THeaterSimulator : public TLinePeer {
public:
    // Named failure modes ("silence", "bad-crc", ...); returns false for a name it does not know.
    virtual bool SetFailureMode(const QString &name) = 0;
    virtual QStringList FailureModes() const = 0;
    // Runs the heater's own time this many times faster than the clock; a peer that keeps no time of
    // its own (a scripted test double) ignores it.
    virtual void SetSpeed(double /*factor*/) {}
};
