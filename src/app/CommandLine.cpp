#include "app/CommandLine.h"
#include "app/Models.h"

namespace {
QString KnownModels()
{
    QStringList captions;
    for (const TModel &model : Models())
        captions << QLatin1Char('"') + model.Caption + QLatin1Char('"');
    return captions.join(QStringLiteral(", "));
}
} // namespace

TCommandLine TCommandLine::Parse(const QStringList &arguments)
{
    TCommandLine line;
    auto fail = [&line](const QString &message) {
        line.Error = message;
        return line;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        const bool hasNext = i + 1 < arguments.size();
        const bool nextIsValue = hasNext && !arguments[i + 1].startsWith(QStringLiteral("--"));
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            line.Help = true;
        } else if (arg == QStringLiteral("--version")) {
            line.Version = true;
        } else if (arg == QStringLiteral("--port")) {
            if (!nextIsValue)
                return fail(QStringLiteral("--port needs a port name"));
            line.Port = arguments[++i];
        } else if (arg == QStringLiteral("--model")) {
            if (!nextIsValue)
                return fail(QStringLiteral("--model needs a model name"));
            line.Model = arguments[++i];
        } else if (arg == QStringLiteral("--log-file")) {
            if (!nextIsValue)
                return fail(QStringLiteral("--log-file needs a path"));
            line.LogFile = arguments[++i];
        } else if (arg == QStringLiteral("--trace-file")) {
            if (!nextIsValue)
                return fail(QStringLiteral("--trace-file needs a path"));
            line.TraceFile = arguments[++i];
        } else if (arg == QStringLiteral("--replay")) {
            if (!nextIsValue)
                return fail(QStringLiteral("--replay needs a path"));
            line.Replay = arguments[++i];
        } else if (arg == QStringLiteral("--history-db")) {
            if (!nextIsValue)
                return fail(QStringLiteral("--history-db needs a path"));
            line.HistoryDb = arguments[++i];
        } else if (arg == QStringLiteral("--demo")) {
            line.Demo = true;
            if (nextIsValue)
                line.Model = arguments[++i];
        } else {
            return fail(QStringLiteral("unknown option: %1").arg(arg));
        }
    }
    if (line.Demo && line.Model.isEmpty())
        line.Model = QStringLiteral("Hydrel-7S");
    if (line.Detect() && (line.Demo || !line.Replay.isEmpty()))
        return fail(QStringLiteral("--model detect needs a port: --demo and --replay take a model name"));
    if (!line.Model.isEmpty() && !line.Detect() && !FindModel(line.Model))
        return fail(QStringLiteral("unknown model: %1 (models: %2)").arg(line.Model, KnownModels()));
    if (line.Demo && !line.Port.isEmpty())
        return fail(QStringLiteral("--demo and --port cannot be used together"));
    if (!line.Replay.isEmpty() && (line.Demo || !line.Port.isEmpty()))
        return fail(QStringLiteral("--replay cannot be used with --demo or --port"));
    if (!line.Replay.isEmpty() && line.Model.isEmpty())
        return fail(QStringLiteral("--replay needs --model"));
    return line;
}

QString TCommandLine::HelpText()
{
    return QStringLiteral(
               "Usage: thermoryx-diagnostic [options]\n"
               "Service and diagnostic tool for fuel-fired vehicle heaters.\n"
               "Without options the adapter dialog asks for the port and the model is chosen in the menu.\n\n"
               "Options:\n"
               "  --port NAME       use this serial port and skip the adapter dialog\n"
               "                    (COMn on Windows; ttyUSB0, /dev/ttyUSB0 or a pty path on Linux)\n"
               "  --model NAME      choose this model at start, as its menu item does;\n"
               "                    --model detect finds the model on the line (\"Detect model...\")\n"
               "  --demo [MODEL]    run against a simulated heater on a pseudo-terminal\n"
               "                    (default Hydrel-7S)\n"
               "  --log-file PATH   append every log line to this file as well\n"
               "  --trace-file PATH write every frame sent and received to this file as well\n"
               "  --replay PATH     replay a recorded trace instead of using a port (needs --model)\n"
               "  --history-db PATH keep the service history in this file\n"
               "                    (default: history.sqlite in the program's data folder)\n"
               "  --help            show this text\n"
               "  --version         show the version\n\n"
               "Models: %1\n")
        .arg(KnownModels());
}
