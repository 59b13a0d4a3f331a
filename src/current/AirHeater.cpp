#include "current/AirHeater.h"

namespace {

// Blower speeds above this are no reading and show as 0.
constexpr double BlowerLimit = 150;
// The external sensor sends this when none is fitted.
constexpr quint8 NoExternalSensor = 127;

} // namespace

TCurrentModel TAirHeater::SharedModel()
{
    TCurrentModel model;
    model.RefusalName = QStringLiteral("Zephal");
    model.Serial = TSerialLayout::OneByteHigh;
    model.Version = TVersionLayout::FourNumbers;
    model.PanelSections = {TPanelSection::FuelPumping, TPanelSection::SettingsZ1};
    model.HiddenLegendEntries = {TLegendEntry::Overheat};
    model.LegendCaptions = {{TLegendCaption::Liquid, QStringLiteral("T air(ext. sensor) (°C)")}};
    model.GridCaptions = CurrentCommonGridCaptions() << QStringLiteral("T air(ext. sensor)") << QStringLiteral("T plate")
                                                     << QStringLiteral("Voltage") << QStringLiteral("Faultcode");
    model.EdrRefusal = QStringLiteral("Can't read EDR: Zephal launched");
    return model;
}

TAirHeater::TAirHeater(const TCurrentModel &model, int faultOffset, const TGridUnits &units)
    : TCurrentProduct(model), FaultOffset(faultOffset), Units(units)
{
}

void TAirHeater::DecodeStatusFields(const QByteArray &frame)
{
    WorkTime = qint32(FrameBE(frame, 7, 3));
    StageTime = qint32(FrameBE(frame, 10, 3));
    ModeTime = qint32(FrameBE(frame, 13, 3));
    BlowerSet = FrameByte(frame, 16);
    if (BlowerSet > BlowerLimit)
        BlowerSet = 0;
    BlowerActual = FrameByte(frame, 17);
    if (BlowerActual > BlowerLimit)
        BlowerActual = 0;
    FuelPumpFrequency = FuelPumpFromPeriod(FrameBE(frame, 18, 2));
    PlugPwm = FrameByte(frame, 24) * 200.0;
    FlameIndicator = double(FrameBE(frame, 27, 2)) - 273;
    const quint8 external = FrameByte(frame, 30);
    TempExternal = external == NoExternalSensor ? 0 : external;
    TempPlate = FrameByte(frame, 31);
    Voltage = FrameBE(frame, 32, 2) / 10.0;
    TempLiquid = 0;
    FaultCode = FrameByte(frame, FaultOffset);
}

void TAirHeater::UpdateStateText()
{
    struct TRange {
        int Stage, FirstMode, LastMode;
        const char *Text;
    };
    static const TRange texts[] = {
        {0, 0, 1, "Pause"},         {0, 2, 2, "Checking bowler"}, {0, 4, 4, "Fuel pumping"},
        {1, 0, 0, "Switching off"}, {2, 0, 4, "Ignition"},        {3, 0, 0, "Burning"},
        {3, 4, 4, "Switching off"}, {3, 5, 5, "Ventilation"},     {3, 6, 9, "Ignition"},
        {3, 10, 10, "Switching off"}, {4, 0, 2, "Switching off"},
    };
    StateText = QStringLiteral("Unknown:ST:%1MD:%2").arg(Stage).arg(Mode);
    for (const TRange &range : texts)
        if (Stage == range.Stage && Mode >= range.FirstMode && Mode <= range.LastMode)
            StateText = QString::fromLatin1(range.Text);
}

void TAirHeater::FillStringGrid()
{
    const QStringList values = CurrentGridValues(*this, PlugVoltage(), Units, TempExternal);
    for (int row = 0; row < values.size(); ++row)
        View().SetGridCell(1, row, values[row]);
}

void TAirHeater::AddChartPoints(TPresentation &charts, double x)
{
    AddCurrentChartPoints(charts, *this, PlugVoltage(), x, TempExternal);
}

QString TAirHeater::RunLogRow() const
{
    return CurrentRunLogRow(*this, PlugVoltage());
}

QString TAirHeater::RunLogHeader() const
{
    return CurrentRunLogHeader();
}

bool TAirHeater::BlowerAllowedWhileLaunched() const
{
    return Stage == 0 && Mode == 2;
}
