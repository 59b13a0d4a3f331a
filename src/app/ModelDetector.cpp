#include "app/ModelDetector.h"
#include "core/Scheduler.h"
#include "current/CurrentFrame.h"
#include "legacy_air/AirFrame.h"
#include "legacy_liquid/Hydrel7Frame.h"
#include "serial/ComPort.h"

namespace {
const QString Hydrel7S = QStringLiteral("Hydrel-7S");
const QString Zephal33New = QStringLiteral("Zephal-33 [new rev.]");
const QString Zephal1 = QStringLiteral("Zephal-1");
const QString CorvaMini = QStringLiteral("Corva-mini");
const QString ZephalOld = QStringLiteral("Zephal-3/-33/-6 [old rev.]");
const QString Corva = QStringLiteral("Corva");
const QString Hydrel7Caption = QStringLiteral("Hydrel-7");

// Old command-queue line: serial number halves, version, fuel-pump frequency.
constexpr quint8 AirSerialHigh = 56, AirSerialLow = 57, AirVersion = 4, AirFuelPump = 35;
// Framed line: serial number, version.
constexpr quint8 FramedSerial = 4, FramedVersion = 6;
// Ten-byte line: serial number, version.
constexpr quint8 TenByteSerial = 121, TenByteVersion = 104;

TBaudRate RateOf(qint32 bitsPerSecond)
{
    switch (bitsPerSecond) {
    case 1200: return TBaudRate::Br1200;
    case 9600: return TBaudRate::Br9600;
    case 19200: return TBaudRate::Br19200;
    default: return TBaudRate::Br2400;
    }
}

QString SerialText(quint32 high, quint32 low)
{
    return QString::number(high).rightJustified(2, QLatin1Char('0')) + QString::number(low).rightJustified(7, QLatin1Char('0'));
}

quint32 BigEndian(const QByteArray &bytes, int offset, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | (offset + i < bytes.size() ? quint8(bytes[offset + i]) : 0);
    return value;
}

void Pause(int ms)
{
    TScheduler::Instance().Delay(ms);
}
} // namespace

QString TDetection::Outcome() const
{
    if (Candidates.isEmpty()) {
        QStringList speeds;
        for (qint32 speed : SpeedsTried)
            speeds << QString::number(speed);
        const QString last = speeds.isEmpty() ? QString() : speeds.takeLast();
        const QString list = speeds.isEmpty() ? last : speeds.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
        return QStringLiteral("No heater answered at %1 bit/s").arg(list);
    }
    if (Candidates.size() == 1)
        return QStringLiteral("Detected: %1 #%2").arg(Candidates.first(), Serial);
    return QStringLiteral("Detected: one of ") + Candidates.join(QStringLiteral(", "));
}

TModelDetector::TModelDetector(TComPort &port) : Port(port)
{
    Port.OnRxChar = [this](QObject *, int count) { Received += Port.Read(count); };
}

TModelDetector::~TModelDetector()
{
    Port.OnRxChar = nullptr;
}

TDetection TModelDetector::Run()
{
    TDetection result;
    SetSpeed(2400, result);
    const bool framedStreams = FramedHeaterStreams();
    if ((!framedStreams && ProbeCommandQueue(result)) || ProbeFramed(2400, result) || ProbeTenByte(result) || ProbeFramed(9600, result))
        return result;
    // The pre-heater sleeps until it hears its wake-up pairs at 2400 bit/s, then answers at 19200.
    SetSpeed(2400, result);
    for (const char *pair : {"9696", "9797"}) {
        Port.Write(QByteArray::fromHex(pair));
        Pause(250);
    }
    ProbeFramed(19200, result);
    return result;
}

void TModelDetector::SetSpeed(qint32 bitsPerSecond, TDetection &result)
{
    Port.SetBaudRate(RateOf(bitsPerSecond));
    if (!result.SpeedsTried.contains(bitsPerSecond))
        result.SpeedsTried << bitsPerSecond;
    Received.clear();
}

QByteArray TModelDetector::Ask(const QByteArray &request, const std::function<QByteArray(QByteArray &)> &taken)
{
    // A heater that missed the first request, or answers only one asked again, gets it a second time.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Received.clear();
        Port.Write(request);
        TScheduler &clock = TScheduler::Instance();
        const qint64 until = clock.Now() + AnswerWaitMs;
        while (clock.Now() < until) {
            Pause(10);
            const QByteArray answer = taken(Received);
            if (!answer.isEmpty())
                return answer;
        }
    }
    return {};
}

QByteArray TModelDetector::AskCommandQueue(quint8 code)
{
    return Ask(AirRequest(code), [](QByteArray &bytes) {
        const TAirCutResult cut = CutAirAnswer(bytes, false, {});
        return cut.Kind == TAirCut::Answer ? cut.Bytes : QByteArray();
    });
}

QByteArray TModelDetector::AskFramed(quint8 command)
{
    return Ask(BuildCurrentFrame(3, 0, command, {}), [command](QByteArray &bytes) {
        QByteArray answer;
        // A heater still streaming its status sends other frames meanwhile; they are passed over.
        ExtractCurrentFrames(bytes, [&answer, command](const QByteArray &frame) {
            if (answer.isEmpty() && quint8(frame[4]) == command)
                answer = frame;
        });
        return answer;
    });
}

QByteArray TModelDetector::AskTenByte(quint8 code)
{
    return Ask(Hydrel7::BuildRequest(code), [code](QByteArray &bytes) {
        QByteArray answer;
        Hydrel7::ExtractFrames(bytes, [&answer, code](const QByteArray &frame) {
            if (answer.isEmpty() && (quint8(frame[1]) & Hydrel7::ReplyFlag) && quint8(frame[4]) == code)
                answer = frame;
        });
        return answer;
    });
}

bool TModelDetector::FramedHeaterStreams()
{
    Received.clear();
    Pause(ListenMs);
    bool heard = false;
    ExtractCurrentFrames(Received, [&heard](const QByteArray &) { heard = true; });
    return heard;
}

bool TModelDetector::ProbeCommandQueue(TDetection &result)
{
    SetSpeed(2400, result);
    // A command-queue heater answers its serial number the same way every time; line noise or another
    // heater's bytes that happen to pass the sum do not, twice alike.
    const QByteArray high = AskCommandQueue(AirSerialHigh);
    if (high.isEmpty() || AskCommandQueue(AirSerialHigh) != high)
        return false;
    const QByteArray low = AskCommandQueue(AirSerialLow);
    AskCommandQueue(AirVersion);
    const quint32 rawHigh = BigEndian(high, 1, 2);
    const quint32 rawLow = BigEndian(low, 1, 2);
    result.Serial = SerialText(rawHigh / 256, (rawHigh % 256) * 65536 + rawLow);
    // Only the air heater measures a fuel-pump frequency. A pre-heater leaves it unanswered, and so
    // may an air heater that missed it: then both are offered.
    result.Candidates = AskCommandQueue(AirFuelPump).isEmpty() ? QStringList{Corva, ZephalOld} : QStringList{ZephalOld};
    return true;
}

bool TModelDetector::ProbeFramed(qint32 bitsPerSecond, TDetection &result)
{
    SetSpeed(bitsPerSecond, result);
    const QByteArray serial = AskFramed(FramedSerial);
    if (serial.isEmpty())
        return false;
    const QByteArray version = AskFramed(FramedVersion);
    const int serialBytes = quint8(serial[2]);
    const int highBytes = serialBytes == 5 ? 2 : 1;
    result.Serial = SerialText(BigEndian(serial, 5, highBytes), BigEndian(serial, 5 + highBytes, 3));
    if (bitsPerSecond == 9600) {
        result.Candidates = {Zephal1};
    } else if (bitsPerSecond == 19200) {
        result.Candidates = {CorvaMini};
    } else {
        // The liquid heater states a two-byte serial prefix and a five-number version, the air heater
        // a one-byte prefix and four numbers.
        const int versionBytes = version.isEmpty() ? 0 : quint8(version[2]);
        if (serialBytes == 5 && versionBytes == 5)
            result.Candidates = {Hydrel7S};
        else if (serialBytes == 4 && versionBytes == 4)
            result.Candidates = {Zephal33New};
        else
            result.Candidates = {Hydrel7S, Zephal33New};
    }
    return true;
}

bool TModelDetector::ProbeTenByte(TDetection &result)
{
    SetSpeed(1200, result);
    const QByteArray serial = AskTenByte(TenByteSerial);
    if (serial.isEmpty())
        return false;
    AskTenByte(TenByteVersion);
    result.Serial = SerialText(quint8(serial[5]), BigEndian(serial, 6, 3));
    result.Candidates = {Hydrel7Caption};
    return true;
}
