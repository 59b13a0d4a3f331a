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

    // The heater's own control (its switch, its timer, a remote) starts or stops it as the request on
    // the line would, but nothing goes out on the line for it: only the status shows the run. A start
    // while it runs and a stop at rest change nothing.
    virtual void StartByItself() {}
    virtual void StopByItself() {}
    // The heater's supply is cut for ms: it hears and sends nothing meanwhile, then its control unit
    // starts afresh in its power-on state (at rest, nothing streamed), as after a restart.
    virtual void CutPower(int /*ms*/) {}
};
