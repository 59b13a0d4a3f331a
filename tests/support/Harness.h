#pragma once
#include "core/Dialogs.h"
#include "core/VirtualScheduler.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class TMemoryChannel;
class TProduct;
class TLinePeer;

// Stands a test handler in for a model's menu item while it lives; the model's own handler returns after.
class THandlerStandIn {
public:
    THandlerStandIn(const QString &caption, std::function<TProduct *()> create);
    ~THandlerStandIn();
    THandlerStandIn(const THandlerStandIn &) = delete;
    THandlerStandIn &operator=(const THandlerStandIn &) = delete;

private:
    QString Caption;
    std::function<TProduct *()> Saved;
};

// What the tests share: the virtual clock, the windows of the program (offscreen), the port on an
// in-memory line to a simulated heater, and recorded dialogs.
//
//   THarness h;                    // clock installed, windows created, dialogs recorded
//   h.Connect(&simulator);         // ComPort now talks to the simulator
//   h.Choose("Hydrel-7S");         // the menu item, exactly as a click
//   h.Clock.AdvanceBy(12000);
class THarness {
public:
    THarness();
    ~THarness();
    THarness(const THarness &) = delete;
    THarness &operator=(const THarness &) = delete;

    // Puts the port on an in-memory line to the peer (nullptr: nobody answers). Returns the line.
    TMemoryChannel *Connect(TLinePeer *peer);
    // Triggers the menu item of the model.
    void Choose(const QString &caption);
    // Log lines so far (every line as recorded, none folded), and whether one contains the text.
    QStringList LogLines() const;
    bool LogContains(const QString &text) const;
    // The main window's title.
    QString Title() const;

    TVirtualScheduler Clock;
    // Every message box and warning so far, in order; Warnings are answered with WarningAnswer.
    std::vector<std::pair<TDialogKind, QString>> Dialogs;
    TDialogResult WarningAnswer = TDialogResult::Ok;
    QStringList Messages() const;

private:
    QStringList Recorded;
};
