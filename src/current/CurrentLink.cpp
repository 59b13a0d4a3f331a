// Link management of the current family: sending frames, cutting answers from the receive buffer,
// the search and identification, the keep-alive and the reply watchdog.
#include "current/CurrentFrame.h"
#include "current/CurrentProduct.h"
#include "app/Globals.h"
#include "app/fMain.h"
#include "core/Errors.h"
#include "core/LogMemo.h"
#include "core/Timer.h"
#include "serial/SerialPort.h"
#include "views/fBB.h"

namespace {

// Watchdog ticks without a valid frame that are tolerated; the next one declares the line lost.
constexpr int WatchdogLimit = 5;

QString SenderName(QObject *sender)
{
    return sender ? QString::fromLatin1(sender->metaObject()->className()) : QString();
}

} // namespace

void TCurrentProduct::SendCommand(quint8 address, quint8 subAddress, quint8 command, const QByteArray &payload)
{
    try {
        const QByteArray frame = BuildCurrentFrame(address, subAddress, command, payload);
        if (GuardedSend && (!Port || !Port->Connected())) {
            if (mLog)
                mLog->Append(QStringLiteral("Couldn't write: ComPort is not connected!"));
        } else {
            if (!Port)
                throw Exception(QStringLiteral("The serial port is released."));
            Port->Write(frame);
        }
        if (GuardedSend && !ErTimer) {
            if (mLog)
                mLog->Append(QStringLiteral("ErTimer is NULL!"));
        } else if (ErTimer) {
            ErTimer->SetEnabled(true);
        }
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("SendCommand"),
                          QStringLiteral("%1,%2,%3[...]").arg(address).arg(subAddress).arg(command), error);
    }
}

void TCurrentProduct::ParseData()
{
    // A decoder that pumps events could bring the receive event back in here; the running extraction
    // takes the new bytes itself.
    if (Parsing)
        return;
    Parsing = true;
    try {
        ExtractCurrentFrames(RxData, [this](const QByteArray &frame) { DispatchFrame(frame); });
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("ParseData"), error);
    }
    Parsing = false;
}

void TCurrentProduct::DispatchFrame(const QByteArray &frame)
{
    // Any valid frame proves the line alive: the watchdog starts a new full interval.
    if (ErTimer)
        ErTimer->SetEnabled(false);
    ErrorCount = 0;
    if (ErTimer)
        ErTimer->SetEnabled(true);
    switch (quint8(frame[4])) {
    case 1:
        DecodeStatus(frame);
        break;
    case 4:
        DecodeSerialNumber(frame);
        break;
    case 6:
        DecodeVersion(frame);
        break;
    case 11:
        DecodeEepromBlock(frame);
        break;
    default:
        break;
    }
}

quint8 TCurrentProduct::FrameByte(const QByteArray &frame, int offset)
{
    // A short answer reads as zeros past its payload; the CRC bytes are never taken for data.
    const int payloadEnd = frame.size() >= 3 ? 5 + quint8(frame[2]) : 0;
    if (offset < 0 || offset >= payloadEnd || offset >= frame.size())
        return 0;
    return quint8(frame[offset]);
}

quint32 TCurrentProduct::FrameBE(const QByteArray &frame, int offset, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | FrameByte(frame, offset + i);
    return value;
}

void TCurrentProduct::DecodeSerialNumber(const QByteArray &frame)
{
    SerialHigh = qint32(FrameBE(frame, 5, 2));
    SerialLow = qint32(FrameBE(frame, 7, 3));
    SerialHighText = QString::number(SerialHigh).rightJustified(2, QLatin1Char('0'));
    SerialLowText = QString::number(SerialLow).rightJustified(7, QLatin1Char('0'));
    SerialNumberText = SerialHighText + SerialLowText;
    Log(QStringLiteral("Number: ") + SerialNumberText);
}

void TCurrentProduct::DecodeVersion(const QByteArray &frame)
{
    QStringList parts;
    for (int offset = 5; offset <= 9; ++offset)
        parts << QString::number(FrameByte(frame, offset));
    VersionText = parts.join(QLatin1Char('.'));
    Log(QStringLiteral("Version: ") + VersionText);
    SetTitle(IdentifiedTitle());
    Identified = true;
}

QString TCurrentProduct::SearchingTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - ") + TitleName() + QStringLiteral(" - Connecting...");
}

QString TCurrentProduct::IdentifiedTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - ") + TitleName() + QStringLiteral(" #") + SerialNumberText
           + QStringLiteral(" firmware version: ") + VersionText;
}

void TCurrentProduct::RequestSerialNumber()
{
    SendCommand(3, 0, 4);
}

void TCurrentProduct::RequestVersion()
{
    SendCommand(3, 0, 6);
}

void TCurrentProduct::StartPolling()
{
    SendCommand(3, 0, 7, QByteArray(1, '\1'));
}

void TCurrentProduct::StopPolling()
{
    SendCommand(3, 0, 7, QByteArray(1, '\0'));
    StatusActive = false;
}

bool TCurrentProduct::SearchBurst()
{
    StopPolling();
    if (!Delay(300))
        return false;
    StopPolling();
    if (!Delay(250))
        return false;
    RequestSerialNumber();
    if (!Delay(250))
        return false;
    RequestVersion();
    return true;
}

void TCurrentProduct::OnSearchTimer(QObject *)
{
    try {
        Log(TimeText() + QLatin1Char(' ') + ClassName() + QStringLiteral(".OnSearchTimer."));
        SearchTimer->SetEnabled(false);
        if (!Identified) {
            if (!SearchBurst())
                return;
            // The version answer usually arrives after this test: one more tick then starts the stream.
            if (!Identified)
                SearchTimer->SetEnabled(true);
        } else if (!StatusActive) {
            Timer->SetEnabled(true);
            StartPolling();
        }
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("OnChangeProtocolTimer"), error);
    }
}

void TCurrentProduct::TimerEvent(QObject *sender)
{
    try {
        SendCommand(2, 0, 0);
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("TimerEvent"), SenderName(sender), error);
    }
}

void TCurrentProduct::ErTimerEvent(QObject *sender)
{
    try {
        ++ErrorCount;
        if (ErrorCount <= WatchdogLimit)
            return;
        Log(TimeText() + QStringLiteral(" Connection lost."));
        // A run being recorded is written before the identity it is named after is cleared.
        SaveUnsavedRun(QStringLiteral("ErTimerEvent"));
        ErrorCount = 0;
        Running = false;
        StartRequested = false;
        Identified = false;
        StatusActive = false;
        EdrReading = false;
        if (frmMain)
            frmMain->SetWaitPanelVisible(false);
        if (frmBB)
            frmBB->PutAway();
        ClearDecodedValues();
        TransmitTimerEvent(nullptr);
        ErTimer->SetEnabled(false);
        TransmitTimer->SetEnabled(false);
        Timer->SetEnabled(false);
        SearchTimer->SetEnabled(true);
        SetTitle(SearchingTitle());
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("ErTimerEvent"), SenderName(sender), error);
    }
}

void TCurrentProduct::ClearDecodedValues()
{
    VersionText.clear();
    SerialNumberText.clear();
    SerialHigh = 0;
    SerialHighText.clear();
    SerialLow = 0;
    SerialLowText.clear();
    StateText.clear();
    Stage = 0;
    PrevStage = 0;
    Mode = 0;
    WorkTime = 0;
    StageTime = 0;
    ModeTime = 0;
    FaultCode = 0;
    FaultText.clear();
    // The external sensor keeps its last reading.
    for (double *value : {&Voltage, &FlameIndicator, &TempPlate, &BlowerSet, &BlowerActual, &FuelPumpFrequency,
                          &PlugPwm, &TempLiquid, &TempLiquid1, &TempLiquid2, &TempOverheat, &TempOut})
        *value = 0;
    for (quint8 &raw : RawByte)
        raw = 0;
    for (quint8 &raw : RawValue)
        raw = 0;
}
