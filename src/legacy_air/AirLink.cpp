// Link management of the legacy air family: the model applied at creation, the search bursts, the
// identity answers, the poll cycle and the watchdog that re-sends (pre-heater) or only waits.
#include "legacy_air/AirProduct.h"
#include "core/Timer.h"
#include "serial/ComPort.h"

TAirProduct::TAirProduct(const TAirModel &model) : Model(model)
{
    Port->SetBaudRate(TBaudRate::Br2400);
    Port->Open();
    SetTitle(SearchingTitle());
    SearchTimer->SetEnabled(true);
    View().SetGridSize(int(Model.GridCaptions.size()), 2);
    for (int row = 0; row < Model.GridCaptions.size(); ++row) {
        View().SetGridCell(0, row, Model.GridCaptions[row]);
        View().SetGridCell(1, row, QString());
    }
    for (TLegendEntry entry : Model.HiddenLegendEntries)
        View().HideLegendEntry(entry);
    View().SetLegendCaption(TLegendCaption::Liquid, Model.ExternalCaption);
    for (TPanelSection section : Model.PanelSections)
        View().ShowPanelSection(section);
    ErTimer->SetInterval(Model.WatchdogIntervalMs);
    SearchTimer->SetInterval(Model.SearchIntervalMs);
    Timer->SetInterval(Model.PollIntervalMs);
}

QString TAirProduct::SearchingTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - ") + Model.TitleName + QStringLiteral(" - Connecting...");
}

QString TAirProduct::IdentifiedTitle() const
{
    return QStringLiteral("Thermoryx Diagnostic - ") + Model.TitleName + QStringLiteral(" #") + SerialNumberText
           + QStringLiteral(" firmware version: ") + VersionText;
}

void TAirProduct::StopPolling()
{
    Timer->SetEnabled(false);
    ErTimer->SetEnabled(false);
    pq.clear();
    RxData.clear();
    StatusActive = false;
}

void TAirProduct::StartPolling()
{
    Timer->SetEnabled(true);
}

void TAirProduct::BeginPolling()
{
    StartPolling();
}

void TAirProduct::RequestSerialNumber()
{
    SendCommand(56);
    if (!Delay(Model.SerialPauseMs))
        return;
    SendCommand(57);
}

void TAirProduct::RequestVersion()
{
    SendCommand(4);
}

bool TAirProduct::SearchBurst()
{
    StopPolling();
    if (!Delay(300))
        return false;
    StopPolling();
    for (quint8 probe : Model.SearchProbes) {
        if (!Delay(Model.SearchPauseMs))
            return false;
        SendCommand(probe);
    }
    if (!Delay(Model.SearchPauseMs))
        return false;
    RequestSerialNumber();
    if (!Delay(Model.SearchPauseMs))
        return false;
    RequestVersion();
    return true;
}

void TAirProduct::TimerEvent(QObject *sender)
{
    try {
        Log(TimeText() + QStringLiteral(" TimerEvent"));
        QList<quint8> cycle{StatusCommand};
        cycle += Model.PollCycle;
        for (quint8 code : cycle) {
            SendCommand(code);
            // A connection lost while the cycle waits ends the cycle: the commands left would start
            // the watchdog again and declare the same loss twice.
            if (!Delay(Model.PollPauseMs) || !Identified)
                return;
        }
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("TimerEvent"), SenderName(sender), error);
    }
}

void TAirProduct::ErTimerEvent(QObject *sender)
{
    NoteUnansweredPoll();
    // The pre-heater's line drops answers now and then: the command in flight goes out again on each
    // silent interval until the watchdog gives up.
    if (Model.ResendOnWatchdog && ErrorCount < WatchdogLimit()) {
        ++ErrorCount;
        ProcessCommand();
        return;
    }
    TProduct::ErTimerEvent(sender);
}

void TAirProduct::NoteUnansweredPoll()
{
    // Silent watchdog intervals before the request counts as unknown to the heater: a heater of this
    // model answers within one.
    constexpr int SilentIntervals = 2;
    if (!Identified || pq.isEmpty() || HeardSinceSent || ErrorCount + 1 < SilentIntervals || (Port && Port->Lost()))
        return;
    const quint8 code = pq.first();
    if (!Model.PollCycle.contains(code) || AnsweredCodes.contains(code))
        return;
    for (quint8 other : Model.PollCycle)
        if (other != code && !AnsweredCodes.contains(other))
            return;
    NoteMisfit(QStringLiteral("no answer to the %1 request").arg(AirRequestName(code)));
    WarnMisfit();
}

void TAirProduct::OnSearchTimer(QObject *sender)
{
    // This family's watchdog runs only while a command is in flight, and while the adapter is away
    // the search tick only tries the port. A heater identified just before the adapter went, with no
    // poll cycle begun yet, would never be declared lost: the watchdog is started for it.
    if (Identified && Port && Port->Lost() && ErTimer)
        ErTimer->SetEnabled(true);
    TProduct::OnSearchTimer(sender);
}

void TAirProduct::ClearDecodedValues()
{
    TProduct::ClearDecodedValues();
    SerialRawHigh = 0;
    SerialRawLow = 0;
    SpareValue[0] = SpareValue[1] = 0;
    pq.clear();
    RxData.clear();
    AnsweredCodes.clear();
    StatusCommand = 3;
    StatusBit0 = false;
    FaultFlag = false;
}

void TAirProduct::DecodeIdentity(quint8 code, quint8 d1, quint8 d2)
{
    switch (code) {
    case 4:
        VersionText = QString::number(d1) + QLatin1Char('-') + QString::number(d2);
        Log(TimeText() + QStringLiteral(" Version: ") + VersionText);
        SetTitle(IdentifiedTitle());
        MarkIdentified();
        break;
    case 27:
        SerialHigh = 0;
        SerialLow = 0;
        SerialRawHigh = 0;
        SerialRawLow = 0;
        VersionText.clear();
        SerialNumberText.clear();
        SerialLowText.clear();
        SerialHighText.clear();
        break;
    case 56:
        SerialRawHigh = quint16(d1 * 256 + d2);
        break;
    case 57:
        SerialRawLow = quint16(d1 * 256 + d2);
        if (SerialRawHigh == 0)
            break;
        SerialHigh = SerialRawHigh / 256;
        SerialHighText = QString::number(SerialHigh);
        SerialLow = (SerialRawHigh % 256) * 65536 + SerialRawLow;
        SerialLowText = QString::number(SerialLow).rightJustified(7, QLatin1Char('0'));
        SerialNumberText = QString::number(SerialHigh) + SerialLowText;
        if (SerialNumberText.size() < 9)
            SerialNumberText.prepend(QLatin1Char('0'));
        Log(TimeText() + QStringLiteral(" FullNumber: ") + SerialNumberText);
        break;
    default:
        break;
    }
}
