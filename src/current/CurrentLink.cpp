// Link management of the current family: the model's descriptor applied at creation, sending
// frames, cutting answers from the receive buffer, the search requests, identification and the
// keep-alive.
#include "current/CurrentFrame.h"
#include "current/CurrentProduct.h"
#include "core/Errors.h"
#include "core/Timer.h"
#include "product/Presentation.h"
#include "serial/ComPort.h"

TCurrentProduct::TCurrentProduct(const TCurrentModel &model) : Model(model)
{
    Port->SetBaudRate(Model.BaudRate);
    Port->Open();
    SetTitle(Model.CreationTitle.isEmpty() ? SearchingTitle() : Model.CreationTitle);
    SearchTimer->SetEnabled(true);
    for (TPanelSection section : Model.PanelSections)
        View().ShowPanelSection(section);
    for (TLegendEntry entry : Model.HiddenLegendEntries)
        View().HideLegendEntry(entry);
    for (const auto &[caption, text] : Model.LegendCaptions)
        View().SetLegendCaption(caption, text);
    View().SetGridSize(int(Model.GridCaptions.size()), 2);
    for (int row = 0; row < Model.GridCaptions.size(); ++row) {
        View().SetGridCell(0, row, Model.GridCaptions[row]);
        View().SetGridCell(1, row, QString());
    }
}

void TCurrentProduct::SendCommand(quint8 address, quint8 subAddress, quint8 command, const QByteArray &payload)
{
    try {
        WriteFrame(BuildCurrentFrame(address, subAddress, command, payload));
        ArmWatchdogOnSend();
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("SendCommand"),
                          QStringLiteral("%1,%2,%3[...]").arg(address).arg(subAddress).arg(command), error);
    }
}

void TCurrentProduct::WriteFrame(const QByteArray &frame)
{
    if (!Port)
        throw Exception(QStringLiteral("The serial port is released."));
    Port->Write(frame);
    View().NoteFrame(TFrameDirection::Sent, frame, true);
}

void TCurrentProduct::ArmWatchdogOnSend()
{
    if (ErTimer)
        ErTimer->SetEnabled(true);
}

void TCurrentProduct::ParseData()
{
    // A decoder that pumps events could bring the receive event back in here; the running extraction
    // takes the new bytes itself.
    if (Parsing)
        return;
    Parsing = true;
    try {
        ExtractCurrentFrames(
            RxData,
            [this](const QByteArray &frame) {
                View().NoteFrame(TFrameDirection::Received, frame, true);
                DispatchFrame(frame);
            },
            nullptr, [this](const QByteArray &bytes) { View().NoteFrame(TFrameDirection::Received, bytes, false); });
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("ParseData"), error);
    }
    Parsing = false;
}

void TCurrentProduct::DispatchFrame(const QByteArray &frame)
{
    // Any valid frame proves the line alive.
    RestartWatchdog();
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
    const int highBytes = Model.Serial == TSerialLayout::TwoByteHigh ? 2 : 1;
    if (quint8(frame[2]) != highBytes + 3)
        NoteMisfit(QStringLiteral("serial number of %1 bytes").arg(quint8(frame[2])));
    SerialHigh = qint32(FrameBE(frame, 5, highBytes));
    SerialLow = qint32(FrameBE(frame, 5 + highBytes, 3));
    SerialHighText = QString::number(SerialHigh).rightJustified(2, QLatin1Char('0'));
    SerialLowText = QString::number(SerialLow).rightJustified(7, QLatin1Char('0'));
    SerialNumberText = SerialHighText + SerialLowText;
    Log(QStringLiteral("Number: ") + SerialNumberText);
}

void TCurrentProduct::DecodeVersion(const QByteArray &frame)
{
    const int versionBytes = Model.Version == TVersionLayout::FiveBytes ? 5 : 4;
    if (quint8(frame[2]) != versionBytes)
        NoteMisfit(QStringLiteral("version of %1 bytes").arg(quint8(frame[2])));
    QStringList parts;
    if (Model.Version == TVersionLayout::FiveBytes) {
        for (int offset = 5; offset <= 9; ++offset)
            parts << QString::number(FrameByte(frame, offset));
    } else {
        const quint8 minor = FrameByte(frame, 7);
        parts << QString::number(FrameBE(frame, 5, 2)) << QString::number(minor & 127)
              << QString::number(minor >> 7) << QString::number(FrameByte(frame, 8));
    }
    VersionText = parts.join(QLatin1Char('.'));
    Log(QStringLiteral("Version: ") + VersionText);
    SetTitle(IdentifiedTitle());
    MarkIdentified();
}

QString TCurrentProduct::SearchingTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - ") + Model.TitleName + QStringLiteral(" - Connecting...");
}

QString TCurrentProduct::IdentifiedTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - ") + Model.TitleName + QStringLiteral(" #") + SerialNumberText
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
    StreamAsked = true;
}

void TCurrentProduct::StopPolling()
{
    SendCommand(3, 0, 7, QByteArray(1, '\0'));
    StreamAsked = false;
    StatusActive = false;
}

void TCurrentProduct::TimerEvent(QObject *sender)
{
    try {
        TraceTimerEvent(QStringLiteral(" TimerEvent"));
        SendCommand(2, 0, 0);
        // A heater that missed the stream request, or restarted and so forgot it, still answers the
        // keep-alive: the watchdog sees a live line that brings no status. The stream is asked for
        // again until it comes.
        if (StreamAsked && !StatusSinceTick)
            StartPolling();
        StatusSinceTick = false;
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("TimerEvent"), SenderName(sender), error);
    }
}

void TCurrentProduct::ClearDecodedValues()
{
    const double external = TempExternal;
    TProduct::ClearDecodedValues();
    TempExternal = external;
}
