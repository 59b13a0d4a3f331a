// thermoryx-heater-sim: a simulated heater on a pseudo-terminal, for the program, scripts and tests.
#include "core/Errors.h"
#include "sim/PtyBridge.h"
#include "sim/Simulators.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {
int SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
}

int Fail(const QString &message)
{
    std::fprintf(stderr, "thermoryx-heater-sim: %s\n", qPrintable(message));
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("thermoryx-heater-sim"));
    app.setApplicationVersion(QStringLiteral(THERMORYX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves a simulated heater on a pseudo-terminal and prints its path."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption modelOption(QStringLiteral("model"),
                                         QStringLiteral("Heater model: %1.").arg(SimulatedModels().join(QStringLiteral(", "))),
                                         QStringLiteral("NAME"));
    const QCommandLineOption linkOption(QStringLiteral("link"), QStringLiteral("Also make PATH a symbolic link to the pseudo-terminal."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption speedOption(QStringLiteral("speed"), QStringLiteral("Run the heater's stages X times faster (default 1)."),
                                         QStringLiteral("X"), QStringLiteral("1"));
    const QCommandLineOption faultOption(QStringLiteral("fault"), QStringLiteral("Start with this failure mode (may be repeated)."),
                                         QStringLiteral("MODE"));
    parser.addOptions({modelOption, linkOption, speedOption, faultOption});
    parser.process(app);

    if (!parser.isSet(modelOption))
        return Fail(QStringLiteral("--model is required (%1)").arg(SimulatedModels().join(QStringLiteral(", "))));
    const std::unique_ptr<THeaterSimulator> simulator = CreateSimulator(parser.value(modelOption));
    if (!simulator)
        return Fail(QStringLiteral("no simulated heater for model %1 (known: %2)")
                        .arg(parser.value(modelOption), SimulatedModels().join(QStringLiteral(", "))));
    bool speedOk = false;
    const double speed = parser.value(speedOption).toDouble(&speedOk);
    if (!speedOk || speed <= 0)
        return Fail(QStringLiteral("--speed wants a positive number, not %1").arg(parser.value(speedOption)));

    simulator->SetSpeed(speed);
    for (const QString &mode : parser.values(faultOption))
        if (!simulator->SetFailureMode(mode))
            return Fail(QStringLiteral("unknown failure mode %1 (known: %2, fault-N)")
                            .arg(mode, simulator->FailureModes().join(QStringLiteral(", "))));

    std::unique_ptr<TPtyBridge> bridge;
    try {
        bridge = std::make_unique<TPtyBridge>(simulator.get());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "thermoryx-heater-sim: %s\n", error.what());
        return 1;
    }

    const QString link = parser.value(linkOption);
    if (!link.isEmpty()) {
        // Only a stale link of ours is replaced; a real file at that path is left alone.
        if (QFileInfo(link).isSymLink())
            QFile::remove(link);
        if (!QFile::link(bridge->SlavePath(), link))
            return Fail(QStringLiteral("cannot create the link %1").arg(link));
    }

    // SIGTERM and SIGINT only write a byte to a pipe; the event loop reads it and quits cleanly.
    if (::pipe(SignalPipe) != 0)
        return Fail(QStringLiteral("cannot create the signal pipe"));
    QSocketNotifier signalNotifier(SignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    std::printf("%s\n", qPrintable(bridge->SlavePath()));
    std::fflush(stdout);

    const int result = app.exec();
    if (!link.isEmpty() && QFileInfo(link).isSymLink())
        QFile::remove(link);
    return result;
}
