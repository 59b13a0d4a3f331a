// The control panel's commands for the Hydrel-7: start and stop (sent again at each end of a status
// cycle until the heater confirms them), the pump type, and the flame-indicator calibration.
#include "legacy_liquid/Hydrel7.h"
#include "core/Dialogs.h"
#include "product/NumberText.h"

void THydrelOld::Start()
{
    if (Running) {
        ShowMessage(QStringLiteral("Unable to perform: Hydrel-7 launched."));
        return;
    }
    FaultCode = 0;
    FaultText.clear();
    ModeTime = 0;
    // No stage is 255, so the first status of the run counts as a change of stage.
    PrevStage = 255;
    StartPending = Waiting;
    StopPending = None;
    Request(1);
    StartRequested = true;
}

void THydrelOld::Stop()
{
    StopPending = Waiting;
    StartPending = None;
    Request(3, 0, Hydrel7::StopFlags);
}

void THydrelOld::SetPumpType(bool bosch)
{
    PumpType = bosch ? 1 : 0;
    PumpTypePending = Waiting;
}

void THydrelOld::CalibrateFI()
{
    if (ShowWarning(QStringLiteral("Close the FI connector pins and click \"OK\" to overwrite current values."))
        != TDialogResult::Ok)
        return;
    // Only what this calibration brings back counts as its result.
    FiOldValueAnswered = false;
    FiResultAnswered = false;
    StopPolling();
    if (!Delay(500))
        return;
    StopPolling();
    if (!Delay(800))
        return;
    Request(118);
    if (!Delay(1000))
        return;
    Request(18);
    if (!Delay(1000))
        return;
    StartPolling();
    if (!FiResultAnswered) {
        ShowMessage(QStringLiteral("Training failed: the heater did not answer. Try again."));
        return;
    }
    ShowMessage(QStringLiteral("Training complete. Result=") + ShortestText(FiResult)
                + QStringLiteral(" (Good values: 20..120). Old value: ")
                + (FiOldValueAnswered ? QString::number(FiOldValue) : QStringLiteral("-")));
}
