#include "legacy_air/AirModel.h"

const TAirModel &ZephalOldModel()
{
    static const TAirModel model = [] {
        TAirModel m;
        m.ClassName = QStringLiteral("TZephalOld");
        m.ModelName = QStringLiteral("Zephal-3/-33/-6 [old rev.]");
        m.TitleName = QStringLiteral("Zephal");
        m.PollCycle = {7, 15, 16, 26, 29, 35};
        m.CycleEndCode = 35;
        m.SearchProbes = {27, 37};
        m.DecodedAnswers = {1, 3, 4, 7, 15, 16, 18, 23, 24, 25, 26, 27, 29, 30, 35, 56, 57};
        m.PanelSections = {TPanelSection::OldBlower, TPanelSection::CalibrateFI, TPanelSection::SettingsZephalOld};
        m.HiddenLegendEntries = {TLegendEntry::Overheat, TLegendEntry::PlugVoltage};
        m.ExternalCaption = QStringLiteral("T air(ext. sensor) (°C)");
        m.GridCaptions = {QStringLiteral("Mode"), QStringLiteral("Worktime"), QStringLiteral("SB"),
                          QStringLiteral("ASB"), QStringLiteral("FP frequency"), QStringLiteral("FI"),
                          QStringLiteral("Tair(ext. sensor)"), QStringLiteral("Tplate"), QStringLiteral("Voltage"),
                          QStringLiteral("Faultcode")};
        m.RunLogHeader = QStringLiteral("Stage;SB;ASB;FP frequency;FI;T ext. sensor;T plate;Voltage;FaultCode;");
        return m;
    }();
    return model;
}

const TAirModel &CorvaOldModel()
{
    static const TAirModel model = [] {
        TAirModel m;
        m.ClassName = QStringLiteral("TCorvaOld");
        m.ModelName = QStringLiteral("Corva");
        m.TitleName = QStringLiteral("Corva");
        m.SearchIntervalMs = 2500;
        m.PollIntervalMs = 2500;
        m.WatchdogIntervalMs = 450;
        m.PollPauseMs = 300;
        m.SerialPauseMs = 200;
        m.StopPauseMs = 200;
        m.PollCycle = {7, 15, 16, 26, 29};
        m.CycleEndCode = 29;
        m.SearchPauseMs = 300;
        m.AcceptZeroStatus = false;
        m.ResendOnWatchdog = true;
        m.LogsQueueLength = true;
        m.LogsSentCommand = false;
        m.DecodedAnswers = {1, 3, 4, 7, 15, 16, 23, 24, 26, 27, 29, 56, 57};
        m.PanelSections = {TPanelSection::OldBlower};
        m.HiddenLegendEntries = {TLegendEntry::Overheat, TLegendEntry::FpFrequency, TLegendEntry::PlugVoltage};
        m.ExternalCaption = QStringLiteral("T ovrht.(°C)");
        m.GridCaptions = {QStringLiteral("Mode"), QStringLiteral("WorkTime"), QStringLiteral("SB"),
                          QStringLiteral("ASB"), QStringLiteral("FI"), QStringLiteral("T overheat"),
                          QStringLiteral("T plate"), QStringLiteral("U(Voltage)"), QStringLiteral("Faultcode")};
        m.RunLogHeader = QStringLiteral("Stage;SB;ASB;FP frequency;FI;T overheat;T plate;Voltage;FaultCode;");
        m.HasFuelPump = false;
        m.EdrShowsFiCalibration = false;
        return m;
    }();
    return model;
}
