// The status answer of the current family: its decoding, the recording it begins and ends, the
// fault text and the plug voltage.
#include "current/CurrentProduct.h"
#include "core/Timer.h"

void TCurrentProduct::DecodeStatus(const QByteArray &frame)
{
    if (IsStartAcknowledgement(frame)) {
        Log(QStringLiteral("Start OK"));
        if (StartRequested && Stage < 2)
            BeginRecording(RunLogHeader());
        return;
    }
    if (quint8(frame[2]) != Model.StatusLength)
        NoteMisfit(QStringLiteral("status answer of %1 bytes").arg(quint8(frame[2])));
    StatusActive = true;
    StatusSinceTick = true;
    NoteAnswer();
    Stage = FrameByte(frame, 5);
    if (Stage != PrevStage) {
        PrevStage = Stage;
        StageStartTick = Tick - 1;
    }
    Mode = FrameByte(frame, 6);
    // The stop test sees the mode time of the previous answer: it runs before the times are decoded.
    ApplyRecordingTests();
    UpdateStateText();
    DecodeStatusFields(frame);
    FaultText = MakeFaultText(FaultCode);
    // The blower motor does not turn or does not stop: the heater is stopped and its blower set to 0.
    if (FaultCode == 27 || FaultCode == 28) {
        SendCommand(3, 0, 3);
        SendCommand(3, 0, 8, QByteArray(1, '\0'));
    }
    if (!TransmitTimer->Enabled())
        TransmitTimer->SetEnabled(true);
}

bool TCurrentProduct::IsStartAcknowledgement(const QByteArray &frame) const
{
    return quint8(frame[2]) <= 6;
}

void TCurrentProduct::ApplyRecordingTests()
{
    if (Running && Stage == 0 && (Mode == 0 || Mode == 1) && ModeTime > 4)
        SaveRecording();
    if (!Running && Stage == 0 && (Mode == 2 || Mode == 4))
        ResumeRecording(RunLogHeader());
}

QString TCurrentProduct::MakeFaultText(quint8 code) const
{
    if (code == 0)
        return QStringLiteral("-");
    return QLatin1Char('[') + QString::number(code) + QLatin1Char(']') + FaultName(code);
}

double TCurrentProduct::PlugVoltage() const
{
    const double divisor = Voltage >= 19.0 ? 180 : 90;
    return (((PlugPwm / 200 - 0.5) * Voltage * 10 / divisor) * Voltage * 10 / 100 - 2) / 10;
}
