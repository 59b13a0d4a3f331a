// The control panel's commands for a legacy air-family heater: start, stop, the blower and the EDR
// reading, each a short burst of queued commands with pauses; refusals are message boxes.
#include "legacy_air/AirEdrReport.h"
#include "legacy_air/AirProduct.h"
#include "core/Dialogs.h"
#include "core/Errors.h"

void TAirProduct::RefuseLaunched() const
{
    ShowMessage(QStringLiteral("Unable to perform: ") + Model.TitleName + QStringLiteral(" launched."));
}

void TAirProduct::Start()
{
    if (Running)
        return RefuseLaunched();
    WorkTime = 0;
    SendCommand(23);
    if (!Delay(100))
        return;
    StatusCommand = 1;
    StartRequested = true;
    // A heater that already burns keeps the recording it has, if any.
    if (Stage >= 2)
        return;
    BeginRecording(Model.RunLogHeader);
}

void TAirProduct::Stop()
{
    SendCommand(52);
    if (!Delay(Model.StopPauseMs))
        return;
    StatusCommand = 3;
}

void TAirProduct::SetBlower(quint8)
{
    if (Running || Stage != 0)
        return RefuseLaunched();
    SendCommand(51);
}

void TAirProduct::ReadEDR()
{
    Log(TimeText() + QStringLiteral(" GetBB"));
    if (Stage != 0) {
        ShowMessage(QStringLiteral("Can't read EDR: ") + Model.TitleName + QStringLiteral(" launched"));
        return;
    }
    if (!StatusActive)
        return;
    auto endReading = [this] {
        EdrReading = false;
        View().SetWaitPanelVisible(false);
    };
    try {
        View().SetWaitPanelVisible(true);
        StopPolling();
        if (!Delay(500))
            return endReading();
        StatusActive = false;
        EdrReading = true;
        if (!Delay(300))
            return endReading();
        EdrWaitCount = 30;
        DumpFailures = 0;
        DumpGivenUp = false;
        // The whole recorder comes in one dump: one block.
        View().SetWaitProgress(1, 1);
        SendCommand(AirDumpCommand);
        if (!Delay(3000))
            return endReading();
        while (EdrWaitCount > 0 && !EdrReceived && !DumpGivenUp && !View().WaitCancelled()) {
            if (!Delay(300))
                return endReading();
            --EdrWaitCount;
        }
        if (!EdrReceived && View().WaitCancelled()) {
            // The dump asked for goes unheeded; polling takes over again.
            Log(QStringLiteral("EDR reading cancelled."));
            endReading();
            StopPolling();
            StartPolling();
            return;
        }
        if (EdrReceived) {
            View().SetEdrReport(AirEdrReport(EdrBlock.left(256), Model.EdrShowsFiCalibration));
            EdrReading = false;
            StartPolling();
            View().SetWaitPanelVisible(false);
            View().BringUpEdr();
            return;
        }
        Log(QStringLiteral("EEPROM reading error."));
        endReading();
        // The unanswered request and whatever arrived of the dump go, and polling resumes, so the
        // link does not stay idle with nothing to notice its loss.
        StopPolling();
        StartPolling();
        ShowMessage(QStringLiteral("Can't read EDR. Try again."));
    } catch (const std::exception &error) {
        Log(QStringLiteral("EEPROM reading exception: ") + ErrorMessage(error));
        ShowMessage(QStringLiteral("EDR reading error: ") + ErrorMessage(error));
        endReading();
        View().PutAwayEdr();
    }
}
