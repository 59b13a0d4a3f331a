// The link cycle every family shares: the search tick until the heater is identified, the reply
// watchdog that every valid frame restarts, and the connection loss that sends the handler back to
// searching. A port whose adapter went away is opened again by the search once it is back.
#include "product/Product.h"
#include "core/Errors.h"
#include "core/Timer.h"
#include "product/Presentation.h"
#include "serial/ComErrors.h"
#include "serial/ComPort.h"

void TProduct::LogSearchTick() const
{
    Log(TimeText() + QLatin1Char(' ') + ClassName() + QStringLiteral(".OnSearchTimer."));
}

void TProduct::OnSearchTimer(QObject *)
{
    try {
        // While the adapter is away the tick only tries the port: no requests, no log line.
        if (AdapterAway())
            return;
        LogSearchTick();
        SearchTimer->SetEnabled(false);
        if (!Identified) {
            ReportConnection(TConnectionState::Searching);
            if (!SearchBurst())
                return;
            // The version answer usually arrives after this test: one more tick then starts the stream.
            if (!Identified)
                SearchTimer->SetEnabled(true);
        } else if (!StatusActive) {
            BeginPolling();
        }
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("OnChangeProtocolTimer"), error);
    }
}

bool TProduct::AdapterAway()
{
    if (!Port || !Port->Lost())
        return false;
    if (Port->Reopen()) {
        RxData.clear();
        return false;
    }
    // A heater that was identified is declared lost by the watchdog first.
    if (!Identified)
        ReportConnection(TConnectionState::AdapterMissing, Port->Port());
    return true;
}

void TProduct::AdapterLost()
{
    ReportConnection(TConnectionState::AdapterMissing, Port->Port());
}

bool TProduct::PortAwayError(const std::exception &error) const
{
    const auto *portError = dynamic_cast<const EComPort *>(&error);
    return portError && portError->ErrorNumber == EComPort::NotOpen && Port && Port->Lost();
}

void TProduct::MarkIdentified()
{
    Identified = true;
    ReportConnection(TConnectionState::Identified, ModelName() + QStringLiteral(" #") + SerialNumberText);
    View().NoteHeaterIdentified(ModelName(), SerialNumberText, VersionText);
}

void TProduct::ReportConnection(TConnectionState state, const QString &detail)
{
    const std::pair<TConnectionState, QString> report{state, detail};
    if (ReportedConnection == report)
        return;
    ReportedConnection = report;
    View().SetConnectionState(state, detail);
}

bool TProduct::SearchBurst()
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

void TProduct::BeginPolling()
{
    Timer->SetEnabled(true);
    StartPolling();
}

void TProduct::RestartWatchdog()
{
    if (ErTimer)
        ErTimer->SetEnabled(false);
    ErrorCount = 0;
    if (ErTimer)
        ErTimer->SetEnabled(true);
}

void TProduct::ErTimerEvent(QObject *sender)
{
    try {
        TraceTimerEvent(QStringLiteral(" ErTimerEvent"));
        ++ErrorCount;
        if (ErrorCount <= WatchdogLimit())
            return;
        Log(TimeText() + QStringLiteral(" Connection lost."));
        // With the adapter away the status bar goes on saying so: that is what the technician can mend.
        if (Port && Port->Lost())
            ReportConnection(TConnectionState::AdapterMissing, Port->Port());
        else
            ReportConnection(TConnectionState::Lost);
        // A run being recorded is written before the identity it is named after is cleared.
        SaveRecording();
        ForgetFit();
        ErrorCount = 0;
        StartRequested = false;
        Identified = false;
        StatusActive = false;
        EdrReading = false;
        View().SetWaitPanelVisible(false);
        View().PutAwayEdr();
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

void TProduct::ClearDecodedValues()
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
    for (double *value : {&Voltage, &FlameIndicator, &TempExternal, &TempPlate, &BlowerSet, &BlowerActual,
                          &FuelPumpFrequency, &PlugPwm, &TempLiquid, &TempLiquid1, &TempLiquid2, &TempOverheat,
                          &TempOut})
        *value = 0;
    for (quint8 &raw : RawByte)
        raw = 0;
    for (quint8 &raw : RawValue)
        raw = 0;
}
