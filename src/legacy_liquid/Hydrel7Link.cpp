// Link management of the Hydrel-7: taking over the line at 1200 baud, sending frames, cutting them
// from the receive buffer, identification and the search, and what a lost line keeps.
#include "legacy_liquid/Hydrel7.h"
#include "core/Errors.h"
#include "core/Timer.h"
#include "product/Presentation.h"
#include "serial/ComPort.h"

namespace {
const QStringList GridCaptions = {
    QStringLiteral("Workmode"), QStringLiteral("Worktime"), QStringLiteral("SB"),       QStringLiteral("ASB"),
    QStringLiteral("FP Frequency"), QStringLiteral("Plug Voltage"), QStringLiteral("FI"), QStringLiteral("T liq.1"),
    QStringLiteral("T liq.2"), QStringLiteral("Relay"), QStringLiteral("Pump"),  QStringLiteral("T plate"),
    QStringLiteral("Voltage"), QStringLiteral("Faultcode"),
};

// Request codes of the link; the identification's replies carry the same codes.
constexpr quint8 SerialNumberCode = 121;
constexpr quint8 VersionCode = 104;
constexpr quint8 StreamOnCode = 19;
constexpr quint8 StreamOffCode = 20;
} // namespace

THydrelOld::THydrelOld()
{
    Port->SetBaudRate(TBaudRate::Br1200);
    Port->Open();
    SetTitle(SearchingTitle());
    SearchTimer->SetEnabled(true);
    View().SetGridSize(int(GridCaptions.size()), 2);
    for (int row = 0; row < GridCaptions.size(); ++row) {
        View().SetGridCell(0, row, GridCaptions[row]);
        View().SetGridCell(1, row, QString());
    }
    View().SetLegendCaption(TLegendCaption::Liquid, QStringLiteral("T liq.1(°C)"));
    View().SetLegendCaption(TLegendCaption::Overheat, QStringLiteral("T liq.2(°C)"));
    View().ShowPanelSection(TPanelSection::NoBlower);
    View().ShowPanelSection(TPanelSection::CalibrateFI);
    View().ShowPanelSection(TPanelSection::PumpTypes);
}

QString THydrelOld::SearchingTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - Hydrel-7 - Connecting...");
}

void THydrelOld::SendCommand(const Hydrel7::TRequestBytes &bytes)
{
    try {
        if (!Port)
            throw Exception(QStringLiteral("The serial port is released."));
        const QByteArray frame = Hydrel7::BuildFrame(bytes);
        Port->Write(frame);
        View().NoteFrame(TFrameDirection::Sent, frame, true);
        if (ErTimer)
            ErTimer->SetEnabled(true);
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("SendCommand"), QStringLiteral("%1,%2[...]").arg(bytes[2]).arg(bytes[3]), error);
    }
}

void THydrelOld::Request(quint8 command, quint8 data, quint8 flags)
{
    SendCommand({flags, 0, 0, command, data, 0, 0, 0});
}

void THydrelOld::ParseData()
{
    // A decoder that waits (and so pumps events) could bring the receive event back in here; the
    // running extraction takes the new bytes itself.
    if (Parsing)
        return;
    Parsing = true;
    try {
        Hydrel7::ExtractFrames(
            RxData,
            [this](const QByteArray &frame) {
                View().NoteFrame(TFrameDirection::Received, frame, true);
                DispatchFrame(frame);
            },
            &LineDrops, [this](const QByteArray &bytes) { View().NoteFrame(TFrameDirection::Received, bytes, false); });
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("ParseData"), error);
    }
    Parsing = false;
}

void THydrelOld::DispatchFrame(const QByteArray &frame)
{
    RestartWatchdog();
    if (quint8(frame[1]) & Hydrel7::ReplyFlag) {
        Log(QStringLiteral("OK CRC. CMD=") + QString::number(quint8(frame[4])));
        DecodeReply(frame);
    } else {
        NoteAnswer();
        DecodeStatus(frame);
    }
}

void THydrelOld::DecodeReply(const QByteArray &frame)
{
    const auto byte = [&frame](int offset) { return quint8(frame[offset]); };
    switch (byte(4)) {
    case SerialNumberCode:
        SerialHigh = byte(5);
        SerialLow = qint32(byte(6)) << 16 | qint32(byte(7)) << 8 | byte(8);
        SerialHighText = QString::number(SerialHigh).rightJustified(2, QLatin1Char('0'));
        SerialLowText = QString::number(SerialLow).rightJustified(7, QLatin1Char('0'));
        SerialNumberText = SerialHighText + SerialLowText;
        Log(QStringLiteral("Number: ") + SerialNumberText);
        break;
    case VersionCode:
        VersionText = QStringLiteral("%1.%2.%3").arg(byte(5)).arg(byte(6)).arg(byte(7));
        Log(QStringLiteral("Version: ") + VersionText);
        SetTitle(QStringLiteral("Thermoryx Diagnostic - Hydrel-7 #") + SerialNumberText
                 + QStringLiteral(" firmware version: ") + VersionText);
        MarkIdentified();
        break;
    case 1:
        Log(QStringLiteral("Start OK"));
        StartPending = Confirmed;
        if (StartRequested && Stage < 2)
            BeginRecording(RunLogHeader());
        else
            ResumeRecording(RunLogHeader());
        break;
    case 3:
        Log(QStringLiteral("Stop OK"));
        StopPending = Confirmed;
        break;
    case 18:
        FiResult = byte(5);
        FiResultAnswered = true;
        break;
    case 118:
        // The stored value comes three times; when the copies differ none of them is trusted, and
        // nothing else (the flame indicator least of all) takes a value from them.
        FiOldValue = byte(5);
        FiOldValueAnswered = byte(5) == byte(6) && byte(6) == byte(7);
        if (FiOldValueAnswered)
            FiResult = byte(5);
        break;
    case 119:
        Log(QStringLiteral("EEPROM READ!"));
        EepromReply = {byte(6), byte(7), byte(8)};
        EepromAnswered = true;
        break;
    case 123:
        Log(QStringLiteral("Set Pump OK"));
        PumpTypePending = None;
        break;
    default:
        break;
    }
}

void THydrelOld::RequestSerialNumber()
{
    Request(SerialNumberCode);
}

void THydrelOld::RequestVersion()
{
    Request(VersionCode);
}

void THydrelOld::StartPolling()
{
    Request(StreamOnCode);
}

void THydrelOld::StopPolling()
{
    Request(StreamOffCode);
    StatusActive = false;
}

void THydrelOld::ClearDecodedValues()
{
    const double liquid1 = TempLiquid1;
    const double liquid2 = TempLiquid2;
    TProduct::ClearDecodedValues();
    TempLiquid1 = liquid1;
    TempLiquid2 = liquid2;
    StartPending = None;
    StopPending = None;
    PumpTypePending = None;
    Relay = 0;
    Pump = 0;
}
