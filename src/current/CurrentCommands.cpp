// The control panel's commands for a current-family heater: preconditions, refusals, frames and the
// recording each one begins.
#include "current/CurrentFrame.h"
#include "current/CurrentProduct.h"
#include "core/Dialogs.h"

void TCurrentProduct::RefuseLaunched() const
{
    ShowMessage(QStringLiteral("Unable to perform: ") + Model.RefusalName + QStringLiteral(" launched."));
}

QByteArray TCurrentProduct::SettingsPayload(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode,
                                            quint8 power) const
{
    // -1 minutes (unlimited) goes out as FF FF.
    const quint16 minutes = quint16(workTime);
    return Payload({quint8(minutes >> 8), quint8(minutes & 0xFF), quint8(workMode), quint8(setpoint), waitMode, power});
}

void TCurrentProduct::Start()
{
    if (Running)
        return RefuseLaunched();
    SendCommand(3, 0, 1);
    StartRequested = true;
}

void TCurrentProduct::StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power)
{
    if (Running)
        return RefuseLaunched();
    SendCommand(3, 0, 1, SettingsPayload(workTime, workMode, setpoint, waitMode, power));
    StartRequested = true;
}

void TCurrentProduct::ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power)
{
    if (Model.ApplySettingsNeedsLaunch && !Running) {
        ShowMessage(QStringLiteral("Unable to perform: ") + Model.RefusalName + QStringLiteral(" not launched."));
        return;
    }
    SendCommand(3, 0, 2, SettingsPayload(workTime, workMode, setpoint, waitMode, power));
}

void TCurrentProduct::Stop()
{
    SendCommand(3, 0, 3);
}

void TCurrentProduct::SetBlower(quint8 rps)
{
    if (Running && !BlowerAllowedWhileLaunched())
        return RefuseLaunched();
    // Blowing from standstill is a run of its own and is recorded.
    if (Model.RecordsBlowerFromRest && BlowerActual == 0)
        BeginRecording(RunLogHeader());
    SendCommand(3, 0, 8, QByteArray(1, char(rps)));
}

void TCurrentProduct::PumpFuel(quint8 count)
{
    if (Running) {
        if (Model.PumpFuelRefusal.isEmpty())
            return RefuseLaunched();
        ShowMessage(Model.PumpFuelRefusal);
        return;
    }
    BeginRecording(PumpFuelRunLogHeader());
    SendCommand(3, 0, 18);
    if (!Delay(500))
        return;
    SendCommand(3, 0, 19, QByteArray(1, char(count)));
}
