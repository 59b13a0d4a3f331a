// Writes the seed corpora of the handler targets from the simulators' own traffic: each simulated
// model, on a clean line and under each of its failure modes, is searched, polled and has its EDR
// read by its handler on the virtual clock; what the heater sent becomes a seed, prefixed with the
// control bytes that pick the same model and ask for the EDR read.
//   seed_traffic <fuzz/corpus folder>
#include "HandlerFuzz.h"
#include "current/CorvaMini.h"
#include "current/Orvel.h"
#include "current/Zephal1.h"
#include "current/Zephal33New.h"
#include "legacy_air/CorvaOld.h"
#include "legacy_air/ZephalOld.h"
#include "legacy_liquid/Hydrel7.h"
#include "sim/Simulators.h"
#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace {
// Passes the line through to the simulator and keeps what it sends.
class TTap : public TLinePeer {
public:
    explicit TTap(THeaterSimulator &simulator) : Simulator(simulator)
    {
        Simulator.Send = [this](const QByteArray &bytes) {
            Heard += bytes;
            if (Send)
                Send(bytes);
        };
    }
    void Receive(const QByteArray &bytes) override { Simulator.Receive(bytes); }
    void LineBaudRateChanged(qint32 bitsPerSecond) override { Simulator.LineBaudRateChanged(bitsPerSecond); }
    QByteArray Heard;

private:
    THeaterSimulator &Simulator;
};

struct TSeedModel {
    const char *Caption;
    const char *Target;
    quint8 Index; // the model's place in its target's list
    HandlerFuzz::TCreate Create;
};

QByteArray Traffic(const TSeedModel &model, const QString &mode)
{
    std::unique_ptr<THeaterSimulator> simulator = CreateSimulator(QLatin1String(model.Caption));
    if (!simulator || (mode != QLatin1String("none") && !simulator->SetFailureMode(mode)))
        return {};
    TTap tap(*simulator);
    TSerialPort port(nullptr, std::make_unique<TMemoryChannel>(&tap));
    ProductEnvironment() = TProductEnvironment{&port, nullptr, nullptr};
    TProduct *product = model.Create();
    HandlerFuzz::Setting().Clock.AdvanceBy(15000);
    if (product->Identified)
        product->ReadEDR();
    HandlerFuzz::Setting().Clock.AdvanceBy(5000);
    product->Destroy();
    delete product;
    ProductEnvironment() = TProductEnvironment{};
    HandlerFuzz::Setting().Clock.AdvanceBy(60000);
    return tap.Heard;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_traffic <corpus folder>\n");
        return 2;
    }
    HandlerFuzz::Initialise();
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    const TSeedModel models[] = {
        {"Hydrel-7S", "current_handlers", 0, [] { return new TOrvel; }},
        {"Zephal-33 [new rev.]", "current_handlers", 1, [] { return new TZephal33new; }},
        {"Zephal-1", "current_handlers", 2, [] { return new TZephal1; }},
        {"Corva-mini", "current_handlers", 3, [] { return new TCorvaMini; }},
        {"Zephal-3/-33/-6 [old rev.]", "legacy_air_handlers", 0, [] { return new TZephalOld; }},
        {"Corva", "legacy_air_handlers", 1, [] { return new TCorvaOld; }},
        {"Hydrel-7", "legacy_liquid_handler", 0, [] { return new THydrelOld; }},
    };
    int written = 0;
    for (const TSeedModel &model : models) {
        const std::unique_ptr<THeaterSimulator> probe = CreateSimulator(QLatin1String(model.Caption));
        if (!probe) {
            std::fprintf(stderr, "no simulator for %s\n", model.Caption);
            return 1;
        }
        for (const QString &mode : probe->FailureModes()) {
            const QByteArray heard = Traffic(model, mode).left(8190);
            if (heard.isEmpty())
                continue;
            QString name = QString::fromLatin1(model.Caption) + QLatin1Char('-') + mode;
            name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]+")), QStringLiteral("_"));
            QDir().mkpath(corpus + QLatin1Char('/') + QLatin1String(model.Target));
            QFile file(corpus + QLatin1Char('/') + QLatin1String(model.Target) + QLatin1Char('/') + name);
            // The EDR is read, pieces of 16 bytes, 10 ms apart.
            const QByteArray control{char(0x80 | model.Index), char(15)};
            if (!file.open(QIODevice::WriteOnly) || file.write(control + heard) < 0) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                return 1;
            }
            ++written;
        }
    }
    std::printf("%d seeds written\n", written);
    return 0;
}
