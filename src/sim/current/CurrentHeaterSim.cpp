#include "sim/current/CurrentHeaterSim.h"
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
constexpr int MaxEepromAnswerBytes = 249; // the length byte must cover address and data

THeaterSettings SettingsFrom(const QByteArray &payload)
{
    THeaterSettings settings;
    settings.WorkMinutes = quint16(quint8(payload[0]) << 8 | quint8(payload[1]));
    settings.WorkMode = quint8(payload[2]);
    settings.Setpoint = quint8(payload[3]);
    settings.Ventilation = quint8(payload[4]);
    settings.Power = std::min<quint8>(quint8(payload[5]), 9);
    return settings;
}
} // namespace

TCurrentHeaterSim::TCurrentHeaterSim(const TCurrentVariant &variant, quint32 seed)
    : Model(variant), Physics(variant.Programme, seed), EepromImage(variant.BuildEeprom(variant)),
      Line(SimFraming::StartByte, seed, [this](const QByteArray &bytes) {
          if (Send && !Faults.Rebooting())
              Send(bytes);
      }),
      Faults([this] { PowerOn(); }), WokenUp(variant.WakeUp.isEmpty())
{
}

TCurrentHeaterSim::~TCurrentHeaterSim()
{
    TScheduler &clock = TScheduler::Instance();
    clock.Cancel(StepTask);
    clock.Cancel(StatusTask);
}

void TCurrentHeaterSim::SetSpeed(double factor)
{
    Speed = factor > 0 ? factor : 1.0;
}

void TCurrentHeaterSim::StartByItself()
{
    StartClock();
    Physics.Start(Physics.Settings());
}

void TCurrentHeaterSim::StopByItself()
{
    Physics.Stop();
}

void TCurrentHeaterSim::CutPower(int ms)
{
    Faults.CutPower(ms);
}

void TCurrentHeaterSim::SetIdentity(quint16 serialPrefix, quint32 serialNumber, const QByteArray &versionAnswer)
{
    Model.SerialPrefix = serialPrefix;
    Model.SerialNumber = serialNumber;
    Model.VersionAnswer = versionAnswer;
    EepromImage = Model.BuildEeprom(Model); // the EEPROM keeps the serial number too
}

void TCurrentHeaterSim::LineBaudRateChanged(qint32 bitsPerSecond)
{
    LineSpeed = bitsPerSecond;
}

void TCurrentHeaterSim::Receive(const QByteArray &bytes)
{
    if (Faults.Rebooting())
        return;
    QByteArray heard = bytes;
    if (!WokenUp) {
        if (!Hears(Model.WakeUpBaudRate))
            return;
        heard.remove(0, ListenForWakeUp(heard));
        if (!WokenUp)
            return;
    }
    if (heard.isEmpty() || !Hears(Model.BaudRate))
        return;
    StartClock();
    Reader.Append(heard);
    while (auto request = Reader.Next()) {
        HeardCommands << request->Command;
        if (Faults.Takes(char(request->Command) + request->Payload))
            Handle(*request);
    }
}

qsizetype TCurrentHeaterSim::ListenForWakeUp(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        WakeUpHeard = (WakeUpHeard + bytes[i]).right(Model.WakeUp.size());
        if (WakeUpHeard == Model.WakeUp) {
            WokenUp = true;
            return i + 1;
        }
    }
    return bytes.size();
}

bool TCurrentHeaterSim::SetFailureMode(const QString &name)
{
    static const QRegularExpression faultPattern(QStringLiteral("^fault-(\\d{1,3})$"));
    if (Line.Select(name) || Faults.Select(name))
        return true;
    if (name == QLatin1String("none")) {
        Line.Clear();
        Faults.Clear();
        IgnoreNextEepromRequest = false;
        Physics.SetFaultCode(0);
    } else if (name == QLatin1String("edr-first-request-unanswered")) {
        IgnoreNextEepromRequest = true;
    } else if (const auto match = faultPattern.match(name); match.hasMatch() && match.captured(1).toInt() <= 255) {
        Physics.SetFaultCode(quint8(match.captured(1).toInt()));
    } else {
        return false;
    }
    return true;
}

QStringList TCurrentHeaterSim::FailureModes() const
{
    return QStringList{QStringLiteral("none")} + TLineFaults::Names() + THeaterFaults::Names()
         + QStringList{QStringLiteral("fault-27"), QStringLiteral("edr-first-request-unanswered")};
}

void TCurrentHeaterSim::Handle(const SimFraming::TRequest &request)
{
    const QByteArray &payload = request.Payload;
    switch (request.Command) {
    case 0: // keep-alive: answered, so that the program knows the heater is still there
        Line.Send(SimFraming::Answer(0));
        break;
    case 1:
        if (Physics.Start(payload.size() >= 6 ? SettingsFrom(payload) : Physics.Settings()))
            Line.Send(SimFraming::Answer(1)); // the short acknowledgement; the stream shows the rest
        break;
    case 2:
        if (payload.size() >= 6)
            Physics.ApplySettings(SettingsFrom(payload));
        break;
    case 3:
        Physics.Stop();
        break;
    case 4: {
        QByteArray answer(Model.SerialPrefixBytes + 3, 0);
        PutField(answer, {5, Model.SerialPrefixBytes, Encode::Whole}, Model.SerialPrefix);
        PutField(answer, {5 + Model.SerialPrefixBytes, 3, Encode::Whole}, Model.SerialNumber);
        Line.Send(SimFraming::Answer(4, answer));
        break;
    }
    case 6:
        Line.Send(SimFraming::Answer(6, Model.VersionAnswer));
        break;
    case 7:
        if (!payload.isEmpty()) {
            if (payload[0] != 0)
                StartStream();
            else
                StopStream();
        }
        break;
    case 8:
        if (!payload.isEmpty())
            Physics.SetBlower(quint8(payload[0]));
        break;
    case 11:
        AnswerEeprom(payload);
        break;
    case 18:
        Physics.PrepareFuelPumping();
        break;
    case 19:
        if (!payload.isEmpty())
            Physics.PumpFuel(quint8(payload[0]));
        break;
    case 33:
        if (payload.size() >= 2)
            Physics.RunCirculationPump(quint16(quint8(payload[0]) << 8 | quint8(payload[1])));
        break;
    case 34:
        Physics.PrepareCirculationPump();
        break;
    default:
        break; // a command this heater does not have goes unanswered
    }
}

void TCurrentHeaterSim::AnswerEeprom(const QByteArray &payload)
{
    if (payload.size() < 3)
        return;
    if (IgnoreNextEepromRequest) {
        IgnoreNextEepromRequest = false;
        ++EepromIgnored;
        return;
    }
    const int address = quint8(payload[0]) << 8 | quint8(payload[1]);
    const int count = std::min<int>(quint8(payload[2]), MaxEepromAnswerBytes);
    QByteArray answer = payload.left(2);
    if (address < EepromImage.size())
        answer += EepromImage.mid(address, count);
    Line.Send(SimFraming::Answer(11, answer));
}

QByteArray TCurrentHeaterSim::StatusPayload() const
{
    const TStatusLayout &at = Model.Status;
    const THeaterValues &v = Physics.Values();
    QByteArray payload(at.PayloadLength, 0);
    PutField(payload, at.Stage, v.Stage);
    PutField(payload, at.Mode, v.Mode);
    PutField(payload, at.WorkTime, v.WorkTime);
    PutField(payload, at.StageTime, v.StageTime);
    PutField(payload, at.ModeTime, v.ModeTime);
    PutField(payload, at.BlowerSet, v.BlowerSet);
    PutField(payload, at.BlowerActual, v.BlowerActual);
    PutField(payload, at.PlugPwm, v.PlugPwm);
    PutField(payload, at.FuelPump, v.FuelPumpHz);
    PutField(payload, at.FlameIndicator, v.FlameC);
    PutField(payload, at.TempLiquid, v.LiquidC);
    PutField(payload, at.TempOverheat, v.OverheatC);
    PutField(payload, at.TempPlate, v.PlateC);
    PutField(payload, at.Voltage, v.Voltage);
    PutField(payload, at.TempExternal, Model.ExternalSensor ? v.CabinC : qQNaN());
    PutField(payload, at.CirculationPump, v.CirculationPump ? 1 : 0);
    PutField(payload, at.FanRelay, v.FanRelay ? 1 : 0);
    PutField(payload, at.FaultCode, v.FaultCode);
    return payload;
}

void TCurrentHeaterSim::StartClock()
{
    if (StepTask == 0)
        StepHeater();
}

void TCurrentHeaterSim::StepHeater()
{
    TScheduler &clock = TScheduler::Instance();
    StepTask = clock.CallAt(clock.Now() + std::max<qint64>(1, std::llround(1000 / Speed)), [this] {
        Physics.Step();
        StepHeater();
    });
}

void TCurrentHeaterSim::StartStream()
{
    if (StatusTask != 0)
        return;
    TScheduler &clock = TScheduler::Instance();
    StatusTask = clock.CallAt(clock.Now() + StatusPeriodMs / 10, [this] { SendStatus(); });
}

void TCurrentHeaterSim::StopStream()
{
    TScheduler::Instance().Cancel(StatusTask);
    StatusTask = 0;
}

void TCurrentHeaterSim::SendStatus()
{
    TScheduler &clock = TScheduler::Instance();
    StatusTask = clock.CallAt(clock.Now() + StatusPeriodMs, [this] { SendStatus(); });
    Line.Send(SimFraming::Answer(1, StatusPayload()));
}

void TCurrentHeaterSim::PowerOn()
{
    StopStream();
    TScheduler::Instance().Cancel(StepTask);
    StepTask = 0;
    Physics.PowerOn();
    Reader = SimFraming::TRequestReader();
    WokenUp = Model.WakeUp.isEmpty();
    WakeUpHeard.clear();
}
