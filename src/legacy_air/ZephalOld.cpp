#include "legacy_air/ZephalOld.h"
#include "core/Dialogs.h"

TZephalOld::TZephalOld() : TAirProduct(ZephalOldModel()) {}

void TZephalOld::DecodeOwnAnswer(quint8 code, const QByteArray &frame)
{
    if (code == 18) {
        FiResultA = quint8(frame[2]);
        FiAnsweredA = true;
    } else if (code == 25) {
        FiResultB = quint8(frame[1]);
        FiAnsweredB = true;
    }
}

void TZephalOld::StartWithSettings(qint16, qint8, int, quint8, quint8)
{
    if (Running)
        return RefuseLaunched();
    SendCommand(23);
    StatusCommand = 1;
    StartRequested = true;
}

void TZephalOld::ApplySettings(qint16, qint8, int, quint8, quint8)
{
    if (!Running)
        ShowMessage(QStringLiteral("Unable to perform: Zephal not launched."));
}

void TZephalOld::CalibrateFI()
{
    if (ShowWarning(QStringLiteral("Close the FI connector pins and click \"OK\" to overwrite current values."))
        != TDialogResult::Ok)
        return;
    FiAnsweredA = false;
    FiAnsweredB = false;
    StopPolling();
    SendCommand(18);
    if (!Delay(500))
        return;
    SendCommand(25);
    if (!Delay(1000))
        return;
    StartPolling();
    // Both values must have come back and agree; an unanswered calibration is a failed one.
    if (FiAnsweredA && FiAnsweredB && FiResultB == FiResultA)
        ShowMessage(QStringLiteral("Training complete. Result=") + QString::number(FiResultA));
    else
        ShowMessage(QStringLiteral("Training fault"));
}

void TZephalOld::ApplySettingsOld(quint8 workMode, quint8 setpointIndex, quint8 rcSetpointIndex, quint8 power)
{
    if (Running) {
        ShowMessage(QStringLiteral("Can't perform: Zephal launched"));
        return;
    }
    switch (workMode) {
    case 0:
        SendCommand(quint8(60 + power));
        break;
    case 1:
        SendCommand(34);
        SendCommand(quint8(95 + rcSetpointIndex));
        break;
    case 2:
    case 3:
        SendCommand(workMode == 2 ? 53 : 54);
        if (!Delay(300))
            return;
        SendCommand(quint8(75 + setpointIndex));
        break;
    default:
        break;
    }
}
