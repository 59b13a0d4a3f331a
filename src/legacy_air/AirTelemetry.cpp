// The values of the legacy air family: the status answer with its run-log triggers, the stage and
// fault texts, the grid, the chart points and the run-log row.
#include "legacy_air/AirProduct.h"
#include "product/NumberText.h"

namespace {
// Fault names by code; an empty name shows the bracketed code alone.
const QStringList &FaultNames()
{
    static const QStringList names = [] {
        QStringList n(79);
        n[0] = QStringLiteral("-");
        n[1] = QStringLiteral("Overheat");
        n[2] = QStringLiteral("Possible overheat");
        n[3] = QStringLiteral("Overheat sensor failure");
        n[4] = QStringLiteral("Tplate sensor failure");
        n[5] = QStringLiteral("FI failure");
        n[6] = QStringLiteral("FI failure(short-circuit)");
        n[7] = QStringLiteral("Flameout at low mode");
        n[8] = QStringLiteral("Flameout at full mode");
        n[9] = QStringLiteral("Plug failure");
        n[10] = QStringLiteral("Blower failure");
        n[12] = QStringLiteral("Voltage boost");
        n[13] = QStringLiteral("No further activation attempt is possible");
        n[14] = QStringLiteral("Pump failure");
        n[15] = QStringLiteral("Low voltage");
        n[16] = QStringLiteral("Too long ventilation period");
        n[17] = QStringLiteral("FP failure");
        n[18] = QStringLiteral("Relay failure");
        n[19] = QStringLiteral("Flameout at middle mode");
        n[20] = QStringLiteral("Нет связи пульта с изделием");
        n[21] = QStringLiteral("Probe failure");
        n[22] = QStringLiteral("Filter heating relay failure");
        n[27] = QStringLiteral("Air pump’ motor won’t rotate");
        n[28] = QStringLiteral("Air pump’ motor won’t switch off");
        n[30] = QStringLiteral("Flameout(Voltage sag)");
        n[31] = QStringLiteral("Overheat by T sensor");
        n[32] = QStringLiteral("T sensor failure");
        n[33] = QStringLiteral("Locked by overheat");
        return n;
    }();
    return names;
}

QString Degrees(double value)
{
    return FixedText(value, 0) + QStringLiteral(" °C");
}
} // namespace

QString TAirProduct::MakeFaultText(quint8 code)
{
    if (code == 0)
        return QStringLiteral("-");
    return QLatin1Char('[') + QString::number(code) + QLatin1Char(']') + FaultName(code);
}

QString TAirProduct::FaultName(quint8 code)
{
    return code < FaultNames().size() ? FaultNames()[code] : QString();
}

QString TAirProduct::StageText(quint8 stage)
{
    switch (stage) {
    case 0:
        return QStringLiteral("Pause");
    case 1:
        return QStringLiteral("Ignition");
    case 2:
    case 3:
    case 4:
        return QStringLiteral("Burning");
    case 5:
        return QStringLiteral("Switching off");
    case 6:
        return QStringLiteral("Waiting");
    default:
        return QStringLiteral("Unknown");
    }
}

void TAirProduct::UpdateStateText()
{
    StateText = StageText(Stage);
}

void TAirProduct::DecodeStatus(quint8 d1, quint8 d2)
{
    Stage = d1 % 16;
    UpdateStateText();
    if (Stage != PrevStage) {
        PrevStage = Stage;
        StageStartTick = Tick - 1;
    }
    FaultCode = FaultFlag ? d2 : 0;
    FaultText = MakeFaultText(FaultCode);
    // A run ends when the heater is back at rest; a very short one (the stage still 0 right after the
    // start) is not taken for its end.
    if (Running && Stage == 0 && WorkTime > 9)
        SaveRecording();
    if (!Running && Stage != 0)
        ResumeRecording(Model.RunLogHeader);
}

void TAirProduct::TransmitTimerEvent(QObject *sender)
{
    ++WorkTime;
    TProduct::TransmitTimerEvent(sender);
}

void TAirProduct::FillStringGrid()
{
    const QString workTime = QString::number(Stage != 0 ? WorkTime : 0) + QStringLiteral(" sec.");
    const QString volts = ShortestText(Voltage) + QStringLiteral(" V");
    QStringList values{StateText, workTime, ShortestText(BlowerSet), ShortestText(BlowerActual)};
    if (!Model.HasFuelPump)
        values << Degrees(FlameIndicator) << Degrees(TempExternal) << Degrees(TempPlate) << volts << FaultText;
    else
        values << FixedText(FuelPumpFrequency, 2) + QStringLiteral(" Hz") << Degrees(FlameIndicator)
               << Degrees(TempExternal) << Degrees(TempPlate) << volts << FaultText;
    for (int row = 0; row < values.size(); ++row)
        View().SetGridCell(1, row, values[row]);
}

std::optional<QColor> TAirProduct::StageBandColor() const
{
    return AirStageColor(Stage);
}

std::optional<QColor> TAirProduct::AirStageColor(int stage)
{
    switch (stage) {
    case 0:
        return StageColor::Pause;
    case 1:
        return StageColor::Ignition;
    case 2:
    case 3:
    case 4:
        return StageColor::Burning;
    case 5:
        return StageColor::SwitchingOff;
    default:
        return std::nullopt;
    }
}

void TAirProduct::AddChartPoints(TPresentation &charts, double x)
{
    charts.AddPoint(TSeries::Tplate, x, TempPlate);
    charts.AddPoint(TSeries::U, x, Voltage);
    if (Model.HasFuelPump)
        charts.AddPoint(TSeries::TNperiodX10, x, FuelPumpFrequency * 10);
    charts.AddPoint(TSeries::Vust, x, BlowerSet);
    charts.AddPoint(TSeries::Vcalc, x, BlowerActual);
    charts.AddPoint(TSeries::DP, x, FlameIndicator);
    charts.AddPoint(TSeries::Tout, x, TempExternal);
}

QString TAirProduct::RunLogRow() const
{
    const QChar sep = QLatin1Char(';');
    return QString::number(Stage) + sep + FixedText(BlowerSet, 0) + sep + FixedText(BlowerActual, 0) + sep
           + FixedText(FuelPumpFrequency, 2) + sep + FixedText(FlameIndicator, 2) + sep + FixedText(TempExternal, 0)
           + sep + FixedText(TempPlate, 0) + sep + FixedText(Voltage, 2) + sep + QString::number(FaultCode) + sep;
}
