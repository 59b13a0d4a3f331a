#pragma once
// Random sequences of what happens to a program that records a heater's runs, made from a seed, and
// their shrinking: what the technician does, what the heater does by itself, and what goes wrong on
// the line, the adapter, the disk and the screen. A sequence always ends with the program closing.
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>

enum class TEventKind {
    Wait,        // nothing happens
    PanelStart,  // the control panel's Start
    PanelStop,   // the control panel's Stop
    OwnStart,    // the heater started from its own control
    OwnStop,     // the heater stopped from its own control
    Quiet,       // the line goes quiet for Seconds (how: TQuiet)
    Unplug,      // the adapter pulled out for Seconds, then put back
    DiskFull,    // the disk full for Seconds, then space again
    BoxOpen,     // a modal box that comes up stays open Seconds (the program presses Start if it runs)
    ModelSwitch, // another model chosen, Seconds later this one again
    Close,       // the program closed without asking (always last)
    Terminate,   // SIGTERM (always last)
};

enum class TQuiet {
    LineFault,  // the heater's answers do not reach the program; it still hears and obeys
    DroppedBoth, // nothing gets through either way
    PowerCut,   // the heater's supply cut: it comes back at rest
};

struct TEvent {
    TEventKind Kind = TEventKind::Wait;
    int Seconds = 0; // how long the disturbance lasts
    int After = 0;   // plain waiting afterwards (before closing, for the last event)
    TQuiet Quiet = TQuiet::LineFault;

    bool operator==(const TEvent &) const = default;
};

using TSequence = QList<TEvent>;

// A sequence of 2 to 10 events before the closing one.
TSequence GenerateSequence(quint32 seed);
QString Describe(const TEvent &event);
QString Describe(const TSequence &sequence);

// The shortest sequence found that still fails: events dropped one at a time (never the closing
// one), then disturbances and waits shortened, each candidate run from scratch by stillFails.
TSequence Shrink(TSequence sequence, const std::function<bool(const TSequence &)> &stillFails);
