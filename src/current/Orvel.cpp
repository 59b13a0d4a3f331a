#include "current/Orvel.h"
#include "current/CurrentFrame.h"
#include "app/Globals.h"
#include "current/EdrReport.h"
#include "product/NumberText.h"
#include "serial/SerialPort.h"
#include "core/Timer.h"
#include "views/StringGrid.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include <map>

namespace {

const QStringList GridCaptions = {
    QStringLiteral("Workmode"), QStringLiteral("Worktime"), QStringLiteral("SB"),      QStringLiteral("ASB"),
    QStringLiteral("FP Frequency"), QStringLiteral("Plug voltage"), QStringLiteral("FI"), QStringLiteral("T liq."),
    QStringLiteral("T plate"), QStringLiteral("Voltage"), QStringLiteral("Faultcode"),
};

// Blower speeds above this are no reading and show as 0.
constexpr double BlowerLimit = 200;
// The external sensor sends this when none is fitted.
constexpr quint8 NoExternalSensor = 127;

} // namespace

TOrvel::TOrvel()
{
    Port->SetBaudRate(TBaudRate::Br2400);
    Port->Open();
    SetTitle(SearchingTitle());
    SearchTimer->SetEnabled(true);
    if (frmControl) {
        frmControl->ShowFuelPumping();
        frmControl->ShowCirculationPump();
    }
    if (frmGraph) {
        frmGraph->HideOverheatEntry();
        frmGraph->SetLiquidCaption(QStringLiteral("T liq. (°C)"));
    }
    if (DataGrid) {
        DataGrid->SetRowCount(int(GridCaptions.size()));
        for (int row = 0; row < GridCaptions.size(); ++row) {
            DataGrid->SetCells(0, row, GridCaptions[row]);
            DataGrid->SetCells(1, row, QString());
        }
    }
}

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
    static const std::map<int, QString> names = {
        {1, QStringLiteral("HE overheating")},
        {2, QStringLiteral("Possible overheating on T sensor")},
        {4, QStringLiteral("Built-in T sensor failure")},
        {5, QStringLiteral("FI failure")},
        {6, QStringLiteral("T sensor failure")},
        {8, QStringLiteral("Flame failure")},
        {9, QStringLiteral("Plug failure")},
        {10, QStringLiteral("Air pump motor failure")},
        {12, QStringLiteral("Voltage boost")},
        {13, QStringLiteral("No further activation attempt is possible")},
        {15, QStringLiteral("Low voltage")},
        {16, QStringLiteral("Too long ventilation period")},
        {17, QStringLiteral("Fuel pump failure")},
        {20, QStringLiteral("No connection between Control panel and the heater")},
        {27, QStringLiteral("Air pump’ motor won’t rotate")},
        {28, QStringLiteral("Air pump’ motor won’t switch off")},
        {29, QStringLiteral("Flamout count exceeded")},
        {78, QStringLiteral("Flameout")},
    };
    const auto known = names.find(code);
    return known != names.end() ? known->second : QString();
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
    const double plugVoltage = PlugVoltage();
    const QString degrees = QStringLiteral(" °C");
    const QStringList values = {
        StateText,
        QString::number(WorkTime) + QStringLiteral(" с"),
        ShortestText(BlowerSet),
        ShortestText(BlowerActual),
        FixedText(FuelPumpFrequency, 2) + QStringLiteral(" Hz"),
        plugVoltage > 0 ? FixedText(plugVoltage, 2) + QStringLiteral(" V") : QStringLiteral("0 V"),
        ShortestText(FlameIndicator) + degrees,
        ShortestText(TempLiquid) + degrees,
        ShortestText(TempPlate) + degrees,
        ShortestText(Voltage) + QStringLiteral(" V"),
        FaultText,
    };
    for (int row = 0; row < values.size(); ++row)
        DataGrid->SetCells(1, row, values[row]);
}

void TOrvel::AddChartPoints(double x)
{
    const double plugVoltage = PlugVoltage();
    frmGraph->AddPoint(TSeries::Tplate, x, TempPlate);
    frmGraph->AddPoint(TSeries::U, x, Voltage);
    frmGraph->AddPoint(TSeries::TNperiodX10, x, FuelPumpFrequency * 10);
    frmGraph->AddPoint(TSeries::Vust, x, BlowerSet);
    frmGraph->AddPoint(TSeries::Vcalc, x, BlowerActual);
    frmGraph->AddPoint(TSeries::Uplug, x, plugVoltage > 0 ? plugVoltage : 0);
    frmGraph->AddPoint(TSeries::DP, x, FlameIndicator);
    frmGraph->AddPoint(TSeries::Tout, x, TempLiquid);
}

QString TOrvel::RunLogRow() const
{
    const QStringList fields = {
        QString::number(Stage),
        QString::number(Mode),
        QString::number(WorkTime),
        QString::number(StageTime),
        QString::number(ModeTime),
        FixedText(BlowerSet, 0),
        FixedText(BlowerActual, 0),
        FixedText(FuelPumpFrequency, 2),
        FixedText(PlugVoltage(), 1),
        FixedText(PlugPwm / 1000, 2),
        FixedText(FlameIndicator, 0),
        FixedText(TempExternal, 0),
        FixedText(TempPlate, 0),
        FixedText(Voltage, 2),
        QString::number(FaultCode),
    };
    return fields.join(QLatin1Char(';')) + QLatin1Char(';');
}

QString TOrvel::RunLogHeader() const
{
    return QStringLiteral("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;"
                          "T ext. sens.;T plate;Voltage;FaultCode;");
}

QString TOrvel::PumpFuelRunLogHeader() const
{
    return QStringLiteral("Стадия;режим;Вр.Работы;Вр.на стадии;Вр. на режиме;Об.заданные;Об.считанные;Частота ТН;"
                          "U свечи;Импульс ШИМ свечи/1000;ИП;Т внешн. датчика;T платы;U;Неисправность;");
}

QString TOrvel::PumpFuelRefusal() const
{
    return QStringLiteral("Невозможно выполнить. Изделие запущено.");
}

bool TOrvel::BlowerAllowedWhileLaunched() const
{
    return Stage == 0 && Mode == 3;
}

QStringList TOrvel::EdrReport() const
{
    return HeaterEdrReport(EepromImage);
}

QString TOrvel::EdrRefusal() const
{
    return QStringLiteral("Can't read EDR: Hydrel-7S launched");
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
