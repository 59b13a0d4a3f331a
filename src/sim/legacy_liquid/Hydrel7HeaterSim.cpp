#include "sim/legacy_liquid/Hydrel7HeaterSim.h"
#include "sim/legacy_liquid/Hydrel7Eeprom.h"
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
namespace Stage {
constexpr quint8 Pause = 0, Test = 1, Ignition = 5, WarmingUp = 21, Burning = 24, Prepurging = 25, Purging = 26;
}

// How long the heater stays in each stage of its run before it moves on by itself (0: until told).
struct TStageStep {
    quint8 Stage;
    int Seconds;
    quint8 Next;
};
constexpr TStageStep Programme[] = {
    {Stage::Test, 3, Stage::Ignition},     {Stage::Ignition, 8, Stage::WarmingUp}, {Stage::WarmingUp, 10, Stage::Burning},
    {Stage::Burning, 0, Stage::Burning},   {Stage::Prepurging, 5, Stage::Purging}, {Stage::Purging, 5, Stage::Pause},
};

// Blower speed the heater sets in a stage, revolutions per second.
quint8 BlowerFor(quint8 stage)
{
    switch (stage) {
    case Stage::Test: return 20;
    case Stage::Ignition: return 40;
    case Stage::WarmingUp: return 50;
    case Stage::Burning: return 60;
    case Stage::Prepurging:
    case Stage::Purging: return 70;
    default: return 0;
    }
}

// Fuel pump frequency in tenths of a hertz.
quint8 FuelPumpFor(quint8 stage)
{
    switch (stage) {
    case Stage::Ignition: return 15;
    case Stage::WarmingUp: return 20;
    case Stage::Burning: return 25;
    default: return 0;
    }
}

bool Burns(quint8 stage)
{
    return stage == Stage::Ignition || stage == Stage::WarmingUp || stage == Stage::Burning;
}

// Request codes.
constexpr quint8 StartCode = 1, StopCode = 3, FiTrainCode = 18, StreamOnCode = 19, StreamOffCode = 20,
                 VersionCode = 104, FiStoredCode = 118, EepromCode = 119, SerialCode = 121, PumpTypeCode = 123;
// What a training of the flame indicator yields.
constexpr quint8 FiTrained = 75;
} // namespace

THydrel7HeaterSim::THydrel7HeaterSim(quint32 seed)
    : Line(SimHydrel7::StartByte, seed,
           [this](const QByteArray &bytes) {
               if (Send && !Faults.Rebooting())
                   Send(bytes);
           }),
      Faults([this] { PowerOn(); })
{
    EepromImage = Hydrel7EepromImage(SerialLow);
}

THydrel7HeaterSim::~THydrel7HeaterSim()
{
    TScheduler &clock = TScheduler::Instance();
    clock.Cancel(StepTask);
    clock.Cancel(StatusTask);
}

void THydrel7HeaterSim::SetSpeed(double factor)
{
    Speed = factor > 0 ? factor : 1.0;
}

void THydrel7HeaterSim::SetIdentity(quint8 serialHigh, quint32 serialLow)
{
    SerialHigh = serialHigh;
    SerialLow = serialLow & 0xFFFFFF;
    EepromImage = Hydrel7EepromImage(SerialLow);
}

void THydrel7HeaterSim::LineBaudRateChanged(qint32 bitsPerSecond)
{
    // At another speed the heater hears only garbage, so it answers nothing.
    WrongLineSpeed = bitsPerSecond != BaudRate;
}

bool THydrel7HeaterSim::SetFailureMode(const QString &name)
{
    static const QRegularExpression faultPattern(QStringLiteral("^fault-(\\d{1,3})$"));
    if (Line.Select(name) || Faults.Select(name))
        return true;
    if (name == QLatin1String("none")) {
        Line.Clear();
        Faults.Clear();
        FaultCode = 0;
        FiUnanswered = EdrUnanswered = SkipNextConfirmation = false;
    } else if (name == QLatin1String("fi-unanswered")) {
        FiUnanswered = true;
    } else if (name == QLatin1String("edr-unanswered")) {
        EdrUnanswered = true;
    } else if (name == QLatin1String("unconfirmed-once")) {
        SkipNextConfirmation = true;
    } else if (const auto match = faultPattern.match(name); match.hasMatch() && match.captured(1).toInt() <= 255) {
        FaultCode = quint8(match.captured(1).toInt());
    } else {
        return false;
    }
    return true;
}

QStringList THydrel7HeaterSim::FailureModes() const
{
    return QStringList{QStringLiteral("none")} + TLineFaults::Names() + THeaterFaults::Names()
         + QStringList{QStringLiteral("fault-9"), QStringLiteral("fi-unanswered"), QStringLiteral("unconfirmed-once"),
                       QStringLiteral("edr-unanswered")};
}

void THydrel7HeaterSim::Receive(const QByteArray &bytes)
{
    if (WrongLineSpeed || Faults.Rebooting())
        return;
    StartClock();
    Reader.Append(bytes);
    while (auto request = Reader.Next()) {
        HeardCodes << request->Code;
        if (Faults.Takes(QByteArray{char(request->Code), char(request->Data)}))
            Handle(*request);
    }
}

void THydrel7HeaterSim::Reply(quint8 code, quint8 b5, quint8 b6, quint8 b7, quint8 b8)
{
    Line.Send(SimHydrel7::Frame(SimHydrel7::ReplyFlags, code, b5, b6, b7, b8));
}

bool THydrel7HeaterSim::Confirm()
{
    return !std::exchange(SkipNextConfirmation, false);
}

void THydrel7HeaterSim::Handle(const SimHydrel7::TRequest &request)
{
    switch (request.Code) {
    case StartCode:
        Ignite();
        if (Confirm())
            Reply(StartCode);
        break;
    case StopCode:
        SwitchOff();
        if (Confirm())
            Reply(StopCode);
        break;
    case FiTrainCode:
        if (FiUnanswered)
            break;
        FiStored = FiTrained;
        Reply(FiTrainCode, FiStored);
        break;
    case FiStoredCode:
        if (!FiUnanswered)
            Reply(FiStoredCode, FiStored, FiStored, FiStored);
        break;
    case StreamOnCode:
        if (!StatusTask)
            SendCycle();
        break;
    case StreamOffCode:
        TScheduler::Instance().Cancel(StatusTask);
        StatusTask = 0;
        break;
    case VersionCode:
        Reply(VersionCode, 2, 0, 13);
        break;
    case EepromCode: {
        if (EdrUnanswered)
            break;
        auto at = [this](int offset) { return offset < EepromImage.size() ? quint8(EepromImage[offset]) : quint8(0); };
        Reply(EepromCode, request.Data, at(request.Data), at(request.Data + 1), at(request.Data + 2));
        break;
    }
    case SerialCode:
        Reply(SerialCode, SerialHigh, quint8(SerialLow >> 16), quint8(SerialLow >> 8), quint8(SerialLow));
        break;
    case PumpTypeCode:
        PumpTypeValue = request.Data;
        Reply(PumpTypeCode, PumpTypeValue);
        break;
    default:
        break; // a command this heater does not have goes unanswered
    }
}

void THydrel7HeaterSim::StartClock()
{
    if (StepTask)
        return;
    TScheduler &clock = TScheduler::Instance();
    StepTask = clock.CallAt(clock.Now() + qint64(StepMs / Speed), [this] { Step(); });
}

void THydrel7HeaterSim::StartByItself()
{
    StartClock();
    Ignite();
}

void THydrel7HeaterSim::StopByItself()
{
    SwitchOff();
}

void THydrel7HeaterSim::CutPower(int ms)
{
    Faults.CutPower(ms);
}

void THydrel7HeaterSim::Ignite()
{
    if (CurrentStage == Stage::Pause)
        EnterStage(Stage::Test);
}

void THydrel7HeaterSim::SwitchOff()
{
    if (CurrentStage != Stage::Pause && CurrentStage != Stage::Prepurging && CurrentStage != Stage::Purging)
        EnterStage(Stage::Prepurging);
}

void THydrel7HeaterSim::EnterStage(quint8 stage)
{
    CurrentStage = stage;
    SecondsInStage = 0;
}

void THydrel7HeaterSim::Step()
{
    ++SecondsInStage;
    if (CurrentStage != Stage::Pause)
        ++WorkSeconds;
    for (const TStageStep &step : Programme)
        if (step.Stage == CurrentStage && step.Seconds > 0 && SecondsInStage >= step.Seconds) {
            EnterStage(step.Next);
            break;
        }
    // The liquid warms while the heater burns and cools slowly towards the air around it.
    Liquid = Burns(CurrentStage) ? std::min(82.0, Liquid + 0.6) : std::max(18.0, Liquid - 0.1);
    const double flameTarget = Burns(CurrentStage) ? 720 : 291;
    FlameKelvin += (flameTarget - FlameKelvin) * 0.3;
    TScheduler &clock = TScheduler::Instance();
    StepTask = clock.CallAt(clock.Now() + qint64(StepMs / Speed), [this] { Step(); });
}

void THydrel7HeaterSim::SendCycle()
{
    using SimHydrel7::Frame;
    using SimHydrel7::StatusFlags;
    // The heater numbers its messages 1 to 5 and 101 to 105 in turn.
    const quint8 base = Alternate ? 100 : 0;
    Alternate = !Alternate;
    const bool running = CurrentStage != Stage::Pause;
    const quint8 blower = BlowerFor(CurrentStage);
    const quint8 plugTenths = CurrentStage == Stage::Test || CurrentStage == Stage::Ignition ? 85 : 0;
    const quint16 flame = quint16(std::lround(FlameKelvin));
    const qint8 liquid = qint8(std::lround(Liquid));
    const qint8 liquidOut = qint8(std::lround(running ? Liquid + 3 : Liquid));
    const quint8 fault = CurrentStage > 2 ? FaultCode : 0;
    Line.Send(Frame(StatusFlags, base + 1, quint8(WorkSeconds >> 8), quint8(WorkSeconds), 0, fault));
    Line.Send(Frame(StatusFlags, base + 2, FuelPumpFor(CurrentStage), blower, blower ? blower - 2 : 0, running ? 10 : 0));
    Line.Send(Frame(StatusFlags, base + 3, running ? 1 : 0, plugTenths, running ? 13 : 12, CurrentStage));
    Line.Send(Frame(StatusFlags, base + 5, 0, 0, quint8(qint8(liquid + 5)), 0));
    Line.Send(Frame(StatusFlags, 104, quint8(liquid), quint8(liquidOut), quint8(flame >> 8), quint8(flame)));
    Line.Send(Frame(StatusFlags, 107));
    TScheduler &clock = TScheduler::Instance();
    StatusTask = clock.CallAt(clock.Now() + CyclePeriodMs, [this] { SendCycle(); });
}

void THydrel7HeaterSim::PowerOn()
{
    TScheduler &clock = TScheduler::Instance();
    clock.Cancel(StatusTask);
    clock.Cancel(StepTask);
    StatusTask = StepTask = 0;
    Reader = SimHydrel7::TRequestReader();
    EnterStage(Stage::Pause);
    WorkSeconds = 0;
    Alternate = false;
}
