#include "current/Orvel.h"
#include "current/CurrentFrame.h"
#include "current/CurrentTables.h"
#include "current/EdrReport.h"
#include "product/Presentation.h"
#include <map>

namespace {

const TCurrentModel Hydrel7S = [] {
    TCurrentModel model;
    model.BaudRate = TBaudRate::Br2400;
    model.TitleName = QStringLiteral("Hydrel-7S");
    model.RefusalName = QStringLiteral("Hydrel-7S");
    model.Serial = TSerialLayout::TwoByteHigh;
    model.Version = TVersionLayout::FiveBytes;
    model.StatusLength = 37;
    model.PanelSections = {TPanelSection::FuelPumping, TPanelSection::CirculationPump};
    model.HiddenLegendEntries = {TLegendEntry::Overheat};
    model.LegendCaptions = {{TLegendCaption::Liquid, QStringLiteral("T liq. (°C)")}};
    model.GridCaptions = CurrentCommonGridCaptions()
                         << QStringLiteral("T liq.") << QStringLiteral("T plate") << QStringLiteral("Voltage")
                         << QStringLiteral("Faultcode");
    model.EdrRefusal = QStringLiteral("Can't read EDR: Hydrel-7S launched");
    model.PumpFuelRefusal = QStringLiteral("Невозможно выполнить. Изделие запущено.");
    return model;
}();

// Blower speeds above this are no reading and show as 0.
constexpr double BlowerLimit = 200;
// The external sensor sends this when none is fitted.
constexpr quint8 NoExternalSensor = 127;

} // namespace

TOrvel::TOrvel() : TCurrentProduct(Hydrel7S) {}

void TOrvel::UpdateStateText()
{
    static const std::map<std::pair<int, int>, QString> texts = {
        {{0, 0}, QStringLiteral("Unknown")},
        {{0, 1}, QStringLiteral("Pause")},
        {{0, 2}, QStringLiteral("FI cooling")},
        {{0, 3}, QStringLiteral("Ventilation")},
        {{1, 1}, QStringLiteral("Waiting")},
        {{2, 0}, QStringLiteral("Cooling before start")},
        {{2, 1}, QStringLiteral("Plug heating")},
        {{2, 2}, QStringLiteral("Preparing to ignition")},
        {{2, 3}, QStringLiteral("Ignition1")},
        {{2, 4}, QStringLiteral("Ignition2")},
        {{2, 5}, QStringLiteral("Purging after flame failure")},
        {{2, 6}, QStringLiteral("Warming combustion chamber")},
        {{2, 7}, QStringLiteral("Purging after ignition failure")},
        {{3, 0}, QStringLiteral("Low")},
        {{3, 1}, QStringLiteral("Low=>Medium")},
        {{3, 2}, QStringLiteral("High")},
        {{3, 3}, QStringLiteral("High=>Low")},
        {{3, 4}, QStringLiteral("Purging")},
        {{3, 5}, QStringLiteral("Waiting")},
        {{3, 6}, QStringLiteral("Purging after flame failure")},
        {{3, 7}, QStringLiteral("Pump")},
        {{3, 8}, QStringLiteral("Medium")},
        {{4, 0}, QStringLiteral("Switching off")},
        {{4, 1}, QStringLiteral("Purging after failure")},
        {{4, 2}, QStringLiteral("Purging after with FI failure")},
        {{4, 3}, QStringLiteral("Purging w/o FP work")},
    };
    StateText = QStringLiteral("ST:%1MD:%2").arg(Stage).arg(Mode);
    const auto known = texts.find({Stage, Mode});
    if (known != texts.end())
        StateText = known->second;
}

QString TOrvel::FaultName(quint8 code) const
{
    return CurrentFaultName(code);
}

void TOrvel::DecodeStatusFields(const QByteArray &frame)
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
    FuelPumpFrequency = FrameByte(frame, 21) / 100.0;
    PlugPwm = FrameByte(frame, 18) * 200.0;
    FlameIndicator = double(FrameBE(frame, 22, 2)) - 273;
    TempLiquid = FrameByte(frame, 24);
    const quint8 external = FrameByte(frame, 30);
    TempExternal = external == NoExternalSensor ? 0 : external;
    TempPlate = FrameByte(frame, 26);
    Voltage = FrameBE(frame, 27, 2) / 10.0;
    FaultCode = FrameByte(frame, 41);
}

void TOrvel::FillStringGrid()
{
    static const TGridUnits units{QStringLiteral(" с"), QStringLiteral(" Hz"), QStringLiteral(" V")};
    const QStringList values = CurrentGridValues(*this, PlugVoltage(), units, TempLiquid);
    for (int row = 0; row < values.size(); ++row)
        View().SetGridCell(1, row, values[row]);
}

void TOrvel::AddChartPoints(TPresentation &charts, double x)
{
    AddCurrentChartPoints(charts, *this, PlugVoltage(), x, TempLiquid);
}

QString TOrvel::RunLogRow() const
{
    return CurrentRunLogRow(*this, PlugVoltage());
}

QString TOrvel::RunLogHeader() const
{
    return CurrentRunLogHeader();
}

QString TOrvel::PumpFuelRunLogHeader() const
{
    return QStringLiteral("Стадия;режим;Вр.Работы;Вр.на стадии;Вр. на режиме;Об.заданные;Об.считанные;Частота ТН;"
                          "U свечи;Импульс ШИМ свечи/1000;ИП;Т внешн. датчика;T платы;U;Неисправность;");
}

bool TOrvel::BlowerAllowedWhileLaunched() const
{
    return Stage == 0 && Mode == 3;
}

QStringList TOrvel::EdrReport() const
{
    return HeaterEdrReport(EepromImage);
}

void TOrvel::RunPump(quint16 minutes)
{
    // The pump is a convenience: a failure here has nothing to tell the user.
    try {
        SendCommand(3, 0, 34, QByteArray(1, '\0'));
        SendCommand(3, 0, 33, Payload({quint8(minutes >> 8), quint8(minutes & 0xFF)}));
    } catch (...) {
    }
}
