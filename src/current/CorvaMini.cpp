#include "current/CorvaMini.h"
#include "core/Dialogs.h"
#include "core/Timer.h"
#include "current/CurrentTables.h"
#include "current/EdrReport.h"
#include "product/NumberText.h"
#include "product/Presentation.h"
#include "serial/ComPort.h"
#include <map>

namespace {

const TCurrentModel CorvaMiniModel = [] {
    TCurrentModel model;
    model.BaudRate = TBaudRate::Br19200;
    model.TitleName = QStringLiteral("Corva-Mini");
    model.RefusalName = QStringLiteral("Product");
    model.Serial = TSerialLayout::OneByteHigh;
    model.Version = TVersionLayout::FourNumbers;
    model.StatusLength = 50;
    model.LegendCaptions = {{TLegendCaption::Liquid, QStringLiteral("T liq. (°C)")}};
    model.GridCaptions = {QStringLiteral("Workmode"), QStringLiteral("Worktime"),     QStringLiteral("SB"),
                          QStringLiteral("ASB"),      QStringLiteral("FP Frequency"), QStringLiteral("Plug voltage"),
                          QStringLiteral("Pump"),     QStringLiteral("Relay"),        QStringLiteral("FI"),
                          QStringLiteral("T out"),    QStringLiteral("T overheat"),   QStringLiteral("T plate"),
                          QStringLiteral("Voltage"),  QStringLiteral("Faultcode")};
    model.EdrRefusal = QStringLiteral("Can't read EDR: Product launched");
    model.EdrErrorPrefix = QStringLiteral("Ошибка чтения ЧЯ: ");
    return model;
}();

// Blower speeds above this are no reading and show as 0.
constexpr double BlowerLimit = 150;

} // namespace

TCorvaMini::TCorvaMini() : TCurrentProduct(CorvaMiniModel) {}

void TCorvaMini::LogSearchTick() const
{
    LogToProgram(TimeText() + QStringLiteral(" SearchTimerEvent"));
}

bool TCorvaMini::SearchBurst()
{
    // The heater listens for its wake-up pairs at 2400 baud, then answers at 19200.
    StopPolling();
    if (!Delay(200))
        return false;
    Port->SetBaudRate(TBaudRate::Br2400);
    WriteWakeUp(QByteArray::fromHex("9696"));
    if (!Delay(250))
        return false;
    WriteWakeUp(QByteArray::fromHex("9797"));
    if (!Delay(250))
        return false;
    Port->SetBaudRate(TBaudRate::Br19200);
    if (!Delay(250))
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

void TCorvaMini::WriteWakeUp(const QByteArray &pair)
{
    Port->Write(pair);
    View().NoteFrame(TFrameDirection::Sent, pair, true);
}

void TCorvaMini::TraceTimerEvent(const QString &event) const
{
    LogToProgram(TimeText() + event);
}

void TCorvaMini::WriteFrame(const QByteArray &frame)
{
    if (!Port || !Port->Connected()) {
        LogToProgram(QStringLiteral("Couldn't write: ComPort is not connected!"));
        return;
    }
    Port->Write(frame);
    View().NoteFrame(TFrameDirection::Sent, frame, true);
}

void TCorvaMini::ArmWatchdogOnSend()
{
    if (!ErTimer) {
        LogToProgram(QStringLiteral("ErTimer is NULL!"));
        return;
    }
    ErTimer->SetEnabled(true);
}

bool TCorvaMini::IsStartAcknowledgement(const QByteArray &frame) const
{
    return quint8(frame[2]) == 0;
}

void TCorvaMini::ApplyRecordingTests()
{
    if (Running && Stage == 0 && (Mode == 0 || Mode == 1) && ModeTime > 5)
        SaveRecording();
}

void TCorvaMini::DecodeStatusFields(const QByteArray &frame)
{
    WorkTime = qint32(FrameBE(frame, 7, 2));
    StageTime = qint32(FrameBE(frame, 9, 2));
    ModeTime = FrameByte(frame, 11);
    BlowerSet = FrameByte(frame, 12);
    if (BlowerSet > BlowerLimit)
        BlowerSet = 0;
    BlowerActual = FrameByte(frame, 13);
    if (BlowerActual > BlowerLimit)
        BlowerActual = 0;
    FuelPumpFrequency = FuelPumpFromPeriod(FrameBE(frame, 14, 2));
    PlugPwm = FrameByte(frame, 20) * 200.0;
    RawValue[0] = FrameByte(frame, 21);
    RawValue[1] = FrameByte(frame, 22);
    FlameIndicator = double(FrameBE(frame, 23, 2)) - 273;
    TempOut = FrameByte(frame, 27);
    TempOverheat = FrameByte(frame, 28);
    TempPlate = FrameByte(frame, 29);
    Voltage = FrameBE(frame, 30, 2) / 10.0;
    FaultCode = FrameByte(frame, 54);
}

void TCorvaMini::UpdateStateText()
{
    static const std::map<std::pair<int, int>, QString> texts = {
        {{0, 0}, QStringLiteral("Transferring paragraphs")},
        {{0, 1}, QStringLiteral("command Waiting")},
        {{1, 1}, QStringLiteral("Checking T FI")},
        {{2, 0}, QStringLiteral("Waiting")},
        {{2, 1}, QStringLiteral("Plug warming")},
        {{2, 2}, QStringLiteral("Preparing to ignition")},
        {{2, 3}, QStringLiteral("Ignition1")},
        {{2, 4}, QStringLiteral("Ignition2")},
        {{2, 5}, QStringLiteral("combustion chamber preheating")},
        {{3, 0}, QStringLiteral("Low")},
        {{3, 1}, QStringLiteral("Switching \"Low-Middle\"")},
        {{3, 2}, QStringLiteral("Switching \"Middle-Low\"")},
        {{3, 3}, QStringLiteral("Middle")},
        {{3, 4}, QStringLiteral("Switching \"Middle-High\"")},
        {{3, 5}, QStringLiteral("Switching \"High-Middle\"")},
        {{3, 6}, QStringLiteral("High")},
        {{3, 7}, QStringLiteral("Checking T FI")},
        {{3, 8}, QStringLiteral("Waiting")},
        {{3, 9}, QStringLiteral("Plug warming")},
        {{3, 10}, QStringLiteral("Preparing to ignition")},
        {{3, 11}, QStringLiteral("Ignition1")},
        {{3, 12}, QStringLiteral("combustion chamber preheating")},
        {{3, 13}, QStringLiteral("Ignition2")},
        {{3, 14}, QStringLiteral("Purging before ignition after flame-out")},
        {{3, 15}, QStringLiteral("FI cooling")},
        {{4, 0}, QStringLiteral("Switching off")},
        {{4, 1}, QStringLiteral("FI cooling")},
        {{4, 2}, QStringLiteral("Purging at flame-out or FP/Blower fault")},
        {{4, 3}, QStringLiteral("Purging at overheating or pump fault")},
    };
    // A pair the table does not know leaves the last text in place.
    const auto known = texts.find({Stage, Mode});
    if (known != texts.end())
        StateText = known->second;
}

QString TCorvaMini::FaultName(quint8 code) const
{
    return CorvaMiniFaultName(code);
}

QString CorvaMiniFaultName(quint8 code)
{
    static const std::map<int, QString> names = {
        {1, QStringLiteral("Overheat")},
        {2, QStringLiteral("Possible overheat")},
        {3, QStringLiteral("Overheat sensor failure")},
        {4, QStringLiteral("T sensor failure")},
        {5, QStringLiteral("FI failure")},
        {6, QStringLiteral("Tplate sensor failure")},
        {9, QStringLiteral("Plug failure")},
        {10, QStringLiteral("Blower speed too low")},
        {12, QStringLiteral("Voltage boost")},
        {13, QStringLiteral("No further activation attempt is possible")},
        {14, QStringLiteral("Pump failure")},
        {15, QStringLiteral("Low voltage")},
        {16, QStringLiteral("Too long ventilation period")},
        {17, QStringLiteral("FP failure")},
        {20, QStringLiteral("No connection between Control panel and the heater")},
        {27, QStringLiteral("Air pump’ motor won’t rotate")},
        {28, QStringLiteral("Air pump’ motor won’t switch off")},
        {29, QStringLiteral("Flameout count exceeded")},
        {30, QStringLiteral("No connection between Control panel or modem and the heater")},
        {37, QStringLiteral("Locked by Code 13")},
        {78, QStringLiteral("Flameout")},
    };
    const auto known = names.find(code);
    return known != names.end() ? known->second : QString();
}

void TCorvaMini::FillStringGrid()
{
    const double plugVoltage = PlugVoltage();
    const QString degrees = QStringLiteral(" °C");
    const QStringList values = {
        StateText,
        QString::number(WorkTime) + QStringLiteral(" с"),
        ShortestText(BlowerSet),
        ShortestText(BlowerActual),
        FixedText(FuelPumpFrequency, 2) + QStringLiteral(" Гц"),
        plugVoltage > 0 ? FixedText(plugVoltage, 2) + QStringLiteral(" В") : QStringLiteral("0 В"),
        QString::number(Pump()),
        QString::number(Relay()),
        ShortestText(FlameIndicator) + degrees,
        ShortestText(TempOut) + degrees,
        ShortestText(TempOverheat) + degrees,
        ShortestText(TempPlate) + degrees,
        ShortestText(Voltage) + QStringLiteral(" В"),
        FaultText,
    };
    for (int row = 0; row < values.size(); ++row)
        View().SetGridCell(1, row, values[row]);
}

void TCorvaMini::AddChartPoints(TPresentation &charts, double x)
{
    AddCurrentChartPoints(charts, *this, PlugVoltage(), x, TempOut);
    charts.AddPoint(TSeries::Toverheat, x, TempOverheat);
}

QString TCorvaMini::RunLogHeader() const
{
    return QStringLiteral("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;Pump;Relay;"
                          "FI;T liq.;T overheat;T plate;Voltage;FaultCode;");
}

QString TCorvaMini::RunLogRow() const
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
        QString::number(Pump()),
        QString::number(Relay()),
        FixedText(FlameIndicator, 0),
        FixedText(TempOut, 0),
        FixedText(TempOverheat, 0),
        FixedText(TempPlate, 0),
        FixedText(Voltage, 2),
        QString::number(FaultCode),
    };
    return fields.join(QLatin1Char(';')) + QLatin1Char(';');
}

void TCorvaMini::Start()
{
    SendCommand(3, 0, 1);
    StartRequested = true;
}

void TCorvaMini::StartWithSettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power)
{
    TProduct::StartWithSettings(workTime, workMode, setpoint, waitMode, power);
}

void TCorvaMini::ApplySettings(qint16 workTime, qint8 workMode, int setpoint, quint8 waitMode, quint8 power)
{
    TProduct::ApplySettings(workTime, workMode, setpoint, waitMode, power);
}

void TCorvaMini::PumpFuel(quint8 count)
{
    TProduct::PumpFuel(count);
}

void TCorvaMini::SetBlower(quint8 rps)
{
    if (Running) {
        ShowMessage(QStringLiteral("Unable to perform: Product launched"));
        return;
    }
    SendCommand(3, 0, 8, QByteArray(1, char(rps)));
}

QStringList TCorvaMini::EdrReport() const
{
    return CorvaMiniEdrReport(EepromImage);
}
