// The Hydrel-7's status cycle: decoding each message, the end of a cycle (pending requests, the run
// ending or found running), and the once-a-second presentation in the grid, the charts and the run log.
#include "legacy_liquid/Hydrel7.h"
#include "legacy_liquid/Hydrel7Tables.h"
#include "core/Timer.h"
#include "product/NumberText.h"
#include "product/Presentation.h"

namespace {
// A run is over when the heater rests at stage 0 after this many presentation ticks since the start.
constexpr int RunEndsAfterTicks = 4;
// Below this stage a confirmed start begins a new recording.
constexpr quint8 FirstRunningStage = 2;

QString Degrees(const QString &value)
{
    return value + QStringLiteral(" °C");
}
} // namespace

void THydrelOld::UpdateStateText()
{
    StateText = Hydrel7::StageText(Stage);
}

void THydrelOld::DecodeStatus(const QByteArray &frame)
{
    const auto byte = [&frame](int offset) { return quint8(frame[offset]); };
    switch (byte(4)) {
    case 1:
    case 101:
        WorkTime = byte(5) * 256 + byte(6);
        // While it tests or cools down the heater reports no faults of its run.
        if (Stage > FirstRunningStage)
            FaultCode = byte(8);
        if (FaultCode != 0)
            FaultText = Hydrel7::FaultText(FaultCode);
        break;
    case 2:
    case 102:
        FuelPumpFrequency = byte(5) / 10.0;
        BlowerSet = byte(6);
        BlowerActual = byte(7);
        Pump = byte(8) / 10;
        break;
    case 3:
    case 103:
        Relay = byte(5);
        PlugPwm = byte(6) / 10.0;
        Voltage = byte(7);
        Stage = byte(8);
        UpdateStateText();
        if (Stage != PrevStage) {
            PrevStage = Stage;
            StageStartTick = Tick - 1;
        }
        break;
    case 5:
    case 105:
        TempPlate = qint8(byte(7));
        break;
    case 104:
        TempLiquid1 = qint8(byte(5));
        TempLiquid2 = qint8(byte(6));
        FlameIndicator = byte(7) * 256 + byte(8) - 273;
        break;
    case 107:
        EndOfCycle();
        break;
    default:
        break;
    }
}

void THydrelOld::EndOfCycle()
{
    if (StartPending == Waiting)
        Request(1);
    if (StopPending == Waiting)
        Request(3);
    if (PumpTypePending == Waiting)
        Request(123, PumpType);
    StatusActive = true;
    if (!TransmitTimer->Enabled())
        TransmitTimer->SetEnabled(true);
    if (Running && Stage == 0 && ModeTime > RunEndsAfterTicks)
        SaveRecording();
    // A heater found working, or started from its own control, is presented and logged as well.
    if (!Running && Stage != 0)
        ResumeRecording(RunLogHeader());
}

void THydrelOld::FillStringGrid()
{
    const QStringList values = {
        StateText,
        QString::number(WorkTime) + QStringLiteral(" s"),
        ShortestText(BlowerSet),
        ShortestText(BlowerActual),
        FixedText(FuelPumpFrequency, 2) + QStringLiteral(" Hz"),
        FixedText(PlugPwm, 2) + QStringLiteral(" V"),
        Degrees(ShortestText(FlameIndicator)),
        Degrees(QString::number(qint32(TempLiquid1))),
        Degrees(QString::number(qint32(TempLiquid2))),
        QString::number(Relay),
        QString::number(Pump),
        Degrees(ShortestText(TempPlate)),
        ShortestText(Voltage) + QStringLiteral(" V"),
        FaultText,
    };
    for (int row = 0; row < values.size(); ++row)
        View().SetGridCell(1, row, values[row]);
}

std::optional<QColor> THydrelOld::StageBandColor() const
{
    return Hydrel7::StageBand(Stage);
}

void THydrelOld::AddChartPoints(TPresentation &charts, double x)
{
    charts.AddPoint(TSeries::Tplate, x, TempPlate);
    charts.AddPoint(TSeries::U, x, Voltage);
    charts.AddPoint(TSeries::TNperiodX10, x, FuelPumpFrequency * 10);
    charts.AddPoint(TSeries::Vust, x, BlowerSet);
    charts.AddPoint(TSeries::Vcalc, x, BlowerActual);
    charts.AddPoint(TSeries::Uplug, x, PlugPwm);
    charts.AddPoint(TSeries::DP, x, FlameIndicator);
    charts.AddPoint(TSeries::Tout, x, TempLiquid1);
    charts.AddPoint(TSeries::Toverheat, x, TempLiquid2);
    // For this heater the mode time counts the presentation ticks since the start.
    ++ModeTime;
}

QString THydrelOld::RunLogHeader()
{
    return QStringLiteral("WorkMode;WorkTime;SB;ASB;FP Freq.;Plug voltage;FI;T liq.1;T liq.2;T plate;U;Relay;Pump;Faultcode;");
}

QString THydrelOld::RunLogRow() const
{
    const QStringList cells = {
        QString::number(Stage),
        QString::number(WorkTime),
        FixedText(BlowerSet, 0),
        FixedText(BlowerActual, 0),
        FixedText(FuelPumpFrequency, 2),
        FixedText(PlugPwm, 1),
        FixedText(FlameIndicator, 2),
        QString::number(qint32(TempLiquid1)),
        QString::number(qint32(TempLiquid2)),
        FixedText(TempPlate, 0),
        FixedText(Voltage, 2),
        QString::number(Relay),
        QString::number(Pump),
        QString::number(FaultCode),
    };
    return cells.join(QLatin1Char(';')) + QLatin1Char(';');
}
