#include "sim/legacy_air/AirHeaterSim.h"
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
constexpr double AmbientC = 18.0;
constexpr quint16 VoltageTenths = 126;
// How long the heater stays in a stage after a start or a stop before it moves on by itself.
constexpr int IgnitionSeconds = 6;
constexpr int WarmUpSeconds = 5;
constexpr int SwitchOffSeconds = 8;

enum Stage : quint8 { Pause = 0, Ignition = 1, WarmUp = 2, Burning = 3, SwitchingOff = 5 };

const TAirVariant Variants[] = {
    {QStringLiteral("Zephal-3/-33/-6 [old rev.]"), true, true, false, 5, 1193046, 3, 12},
    {QStringLiteral("Corva"), false, false, true, 12, 345678, 2, 7},
};

void PutBE(QByteArray &image, int offset, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        image[offset + i] = char(quint8(value >> (8 * (width - 1 - i))));
}

// Counters and the last starts as a heater in service would have them.
QByteArray BuildImage()
{
    QByteArray image(256, '\0');
    image[0] = char(TAirHeaterSim::CalibrationValue);
    image[3] = char(4); // the coldest start so far, °C
    PutBE(image, 4, 57, 4);
    PutBE(image, 8, 55, 4);
    PutBE(image, 12, 2, 4);
    PutBE(image, 16, 3 * 86400 + 5 * 3600 + 17 * 60 + 9, 4);
    PutBE(image, 20, 1, 4);
    const struct {
        quint8 AirC, Attempts;
        quint32 Before15, Work;
        quint8 Fault, Faults;
    } records[] = {{12, 1, 420, 3600, 0, 0}, {8, 2, 610, 5400, 0, 0}, {4, 2, 900, 59, 5, 1}, {15, 1, 0, 7200, 0, 0}};
    for (int k = 0; k < 4; ++k) {
        const int at = 24 + 12 * k;
        image[at] = char(records[k].AirC);
        image[at + 1] = char(records[k].Attempts);
        PutBE(image, at + 2, records[k].Before15, 4);
        PutBE(image, at + 6, records[k].Work, 4);
        image[at + 10] = char(records[k].Fault);
        image[at + 11] = char(records[k].Faults);
    }
    return image;
}

// The heater's temperature sensors: volts over 1023 steps of 5 V, 10 mV per kelvin.
quint16 SensorWord(double celsius)
{
    return quint16(std::lround((celsius / 100 + 2.73) * 1023 / 5));
}

double Towards(double value, double target, double rate)
{
    return value + (target - value) * rate;
}
} // namespace

const TAirVariant *FindAirVariant(const QString &model)
{
    for (const TAirVariant &variant : Variants)
        if (variant.Model.compare(model, Qt::CaseInsensitive) == 0)
            return &variant;
    return nullptr;
}

QStringList AirVariantModels()
{
    QStringList models;
    for (const TAirVariant &variant : Variants)
        models << variant.Model;
    return models;
}

TAirHeaterSim::TAirHeaterSim(const TAirVariant &variant, quint32 seed)
    : Variant(variant), Line(0x00, seed, [this](const QByteArray &bytes) {
          if (Send && !Faults.Rebooting())
              Send(bytes);
      }),
      Faults([this] { PowerOn(); }), Image(BuildImage())
{
}

TAirHeaterSim::~TAirHeaterSim()
{
    TScheduler &clock = TScheduler::Instance();
    clock.Cancel(AnswerTask);
    clock.Cancel(StepTask);
}

void TAirHeaterSim::SetSpeed(double factor)
{
    Speed = factor > 0 ? factor : 1.0;
}

void TAirHeaterSim::LineBaudRateChanged(qint32 bitsPerSecond)
{
    WrongLineSpeed = bitsPerSecond != 2400;
}

bool TAirHeaterSim::SetFailureMode(const QString &name)
{
    static const QRegularExpression faultPattern(QStringLiteral("^fault-(\\d{1,3})$"));
    if (Line.Select(name) || Faults.Select(name))
        return true;
    if (name == QLatin1String("none")) {
        Line.Clear();
        Faults.Clear();
        FaultCode = 0;
        BadDumpSum = false;
        NoCalibration = false;
    } else if (name == QLatin1String("bad-dump-sum")) {
        BadDumpSum = true;
    } else if (name == QLatin1String("no-calibration")) {
        NoCalibration = true;
    } else if (const auto match = faultPattern.match(name); match.hasMatch() && match.captured(1).toInt() <= 255) {
        FaultCode = quint8(match.captured(1).toInt());
    } else {
        return false;
    }
    return true;
}

QStringList TAirHeaterSim::FailureModes() const
{
    return QStringList{QStringLiteral("none")} + TLineFaults::Names() + THeaterFaults::Names()
         + QStringList{QStringLiteral("fault-5"), QStringLiteral("bad-dump-sum"), QStringLiteral("no-calibration")};
}

void TAirHeaterSim::Receive(const QByteArray &bytes)
{
    if (WrongLineSpeed || Faults.Rebooting())
        return;
    StartClock();
    Reader.Append(bytes);
    while (const std::optional<quint8> code = Reader.Next()) {
        HeardCodes << *code;
        if (Faults.Takes(QByteArray(1, char(*code))))
            Waiting << *code;
    }
    if (AnswerTask == 0 && !Waiting.isEmpty()) {
        TScheduler &clock = TScheduler::Instance();
        AnswerTask = clock.CallAt(clock.Now() + ResponseMs, [this] { AnswerNext(); });
    }
}

void TAirHeaterSim::AnswerNext()
{
    AnswerTask = 0;
    if (Waiting.isEmpty())
        return;
    if (const std::optional<QByteArray> answer = AnswerTo(Waiting.takeFirst()))
        Line.Send(*answer);
    if (!Waiting.isEmpty()) {
        TScheduler &clock = TScheduler::Instance();
        AnswerTask = clock.CallAt(clock.Now() + ResponseMs, [this] { AnswerNext(); });
    }
}

quint8 TAirHeaterSim::StatusByte() const
{
    // Bit 0: the controller is powered; bit 1: a fault is reported in the status answer.
    return quint8(0x01 | (FaultCode != 0 ? 0x02 : 0));
}

std::optional<QByteArray> TAirHeaterSim::AnswerTo(quint8 code)
{
    const quint8 s = StatusByte();
    const bool running = HeaterStage != Pause;
    const double blower = HeaterStage == Burning ? 55 : running || Blowing ? 35 : 0;
    switch (code) {
    case 1:
    case 3:
        return AirWire::Answer(s, HeaterStage, FaultCode);
    case 4:
        return AirWire::Answer(s, Variant.VersionMajor, Variant.VersionMinor);
    case 7:
        return AirWire::Word(s, VoltageTenths);
    case 15:
        // The overheat sensor sits on the heat exchanger, a little cooler than the plate.
        return AirWire::Word(s, SensorWord(Variant.OverheatSensor ? std::max(AmbientC, PlateC - 5) : AmbientC));
    case 16:
        return AirWire::Word(s, SensorWord(PlateC));
    case 18:
        if (!Variant.Calibration || NoCalibration)
            return std::nullopt;
        return AirWire::Answer(s, 0, CalibrationValue);
    case 23:
        Ignite();
        return AirWire::Answer(s, HeaterStage, 0);
    case 24: {
        QByteArray dump = AirWire::Dump(Image);
        if (BadDumpSum)
            dump[256] = char(quint8(dump[256]) ^ 0x5A);
        return dump;
    }
    case 25:
        if (!Variant.Calibration || NoCalibration)
            return std::nullopt;
        return AirWire::Answer(s, CalibrationValue, 0);
    case 26:
        return AirWire::Word(s, quint16(std::lround(FlameC + 273)));
    case 29:
        return AirWire::Answer(s, quint8(blower), quint8(std::max(0.0, blower - 2)));
    case 35: {
        if (!Variant.FuelPump)
            return std::nullopt;
        const int tenths = HeaterStage == Burning ? 40 : HeaterStage == Ignition || HeaterStage == WarmUp ? 25 : 0;
        return AirWire::Answer(s, quint8(tenths), 0);
    }
    case 51:
        if (!running)
            Blowing = true;
        return AirWire::Answer(s, 0, 0);
    case 52:
        SwitchOff();
        return AirWire::Answer(s, 0, 0);
    case 56:
        return AirWire::Answer(s, Variant.Batch, quint8(Variant.Number >> 16));
    case 57:
        return AirWire::Word(s, quint16(Variant.Number & 0xFFFF));
    default:
        // Settings and probes: acknowledged; codes the heater does not know go unanswered.
        if (code == 27 || code == 37 || code == 30 || (code >= 34 && code <= 110))
            return AirWire::Answer(s, 0, 0);
        return std::nullopt;
    }
}

void TAirHeaterSim::StartByItself()
{
    StartClock();
    Ignite();
}

void TAirHeaterSim::StopByItself()
{
    SwitchOff();
}

void TAirHeaterSim::CutPower(int ms)
{
    Faults.CutPower(ms);
}

void TAirHeaterSim::Ignite()
{
    if (HeaterStage == Pause || HeaterStage == SwitchingOff)
        Enter(Ignition);
}

void TAirHeaterSim::SwitchOff()
{
    Blowing = false;
    if (HeaterStage != Pause && HeaterStage != SwitchingOff)
        Enter(SwitchingOff);
}

void TAirHeaterSim::Enter(quint8 stage)
{
    HeaterStage = stage;
    SecondsInStage = 0;
}

void TAirHeaterSim::StartClock()
{
    if (StepTask != 0)
        return;
    TScheduler &clock = TScheduler::Instance();
    StepTask = clock.CallAt(clock.Now() + std::max<qint64>(1, std::llround(1000 / Speed)), [this] { Step(); });
}

void TAirHeaterSim::Step()
{
    StepTask = 0;
    ++SecondsInStage;
    switch (HeaterStage) {
    case Ignition:
        if (SecondsInStage >= IgnitionSeconds)
            Enter(WarmUp);
        break;
    case WarmUp:
        if (SecondsInStage >= WarmUpSeconds)
            Enter(Burning);
        break;
    case SwitchingOff:
        if (SecondsInStage >= SwitchOffSeconds)
            Enter(Pause);
        break;
    default:
        break;
    }
    const bool flame = HeaterStage == WarmUp || HeaterStage == Burning;
    FlameC = Towards(FlameC, flame ? 180 : AmbientC, 0.3);
    PlateC = Towards(PlateC, HeaterStage == Burning ? 80 : flame ? 45 : AmbientC, 0.15);
    StartClock();
}

void TAirHeaterSim::PowerOn()
{
    TScheduler &clock = TScheduler::Instance();
    clock.Cancel(AnswerTask);
    clock.Cancel(StepTask);
    AnswerTask = StepTask = 0;
    Waiting.clear();
    Reader = AirWire::TRequestReader();
    Blowing = false;
    Enter(Pause);
}
