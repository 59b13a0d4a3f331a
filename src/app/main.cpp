#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/LogFile.h"
#include "app/Models.h"
#include "app/TraceReplay.h"
#include "app/Signals.h"
#include "app/Windows.h"
#include "app/dlgPortSelect.h"
#include "app/fMain.h"
#include "core/LogMemo.h"
#include "product/RunJournal.h"
#include "serial/ComPort.h"
#include "sim/PtyBridge.h"
#include "sim/Simulators.h"
#include "views/fTrace.h"
#include <QAction>
#include <QScreen>
#include <QSessionManager>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {
QAction *MenuItemOf(const QString &caption)
{
    if (caption.compare(QStringLiteral("detect"), Qt::CaseInsensitive) == 0)
        return frmMain->NDetect;
    const TModel *model = FindModel(caption);
    return model ? frmMain->findChild<QAction *>(model->MenuItem) : nullptr;
}
} // namespace

int main(int argc, char *argv[])
{
    // Options first, so that --help and --version work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TCommandLine options = TCommandLine::Parse(arguments);
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "thermoryx-diagnostic: %s\nTry --help.\n", qPrintable(options.Error));
        return 2;
    }
    if (options.Help) {
        std::fputs(qPrintable(TCommandLine::HelpText()), stdout);
        return 0;
    }
    if (options.Version) {
        std::printf("thermoryx-diagnostic %s\n", THERMORYX_VERSION);
        return 0;
    }

    TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Thermoryx Diagnostic"));
    app.setApplicationVersion(QStringLiteral(THERMORYX_VERSION));

    std::unique_ptr<THeaterSimulator> simulator;
    std::unique_ptr<TPtyBridge> bridge;
    QString port = options.Port;
    if (options.Demo) {
        simulator = CreateSimulator(options.Model);
        if (!simulator) {
            std::fprintf(stderr, "thermoryx-diagnostic: no simulated heater for %s yet\n", qPrintable(options.Model));
            return 2;
        }
        try {
            bridge = std::make_unique<TPtyBridge>(simulator.get());
        } catch (const std::exception &error) {
            std::fprintf(stderr, "thermoryx-diagnostic: %s\n", error.what());
            return 1;
        }
        port = bridge->SlavePath();
    }

    CreateWindows();

    TLogFile logFile(mLog);
    if (!options.LogFile.isEmpty()) {
        QString error;
        if (!logFile.Open(options.LogFile, error)) {
            std::fprintf(stderr, "thermoryx-diagnostic: cannot write the log file %s: %s\n",
                         qPrintable(options.LogFile), qPrintable(error));
            return 1;
        }
    }

    if (!options.TraceFile.isEmpty())
        frmTrace->Record(options.TraceFile);
    if (!options.Replay.isEmpty() && UseReplay(options.Replay))
        port = QStringLiteral("replay");
    StartHistory(options.HistoryDb.isEmpty() ? DefaultHistoryPath() : options.HistoryDb);
    // Runs that a crash, a kill or a power cut left unsaved are saved before anything else.
    for (const QString &line : TRunJournal::RecoverLeftBehind())
        mLog->Append(line);
    // A termination signal or the end of the desktop session closes the program as its close box
    // does, without asking: the recorded run is saved.
    EndOnTerminationSignals([] { frmMain->CloseWithoutAsking(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, frmMain,
                     [](QSessionManager &) { frmMain->CloseWithoutAsking(); });

    // Maximised; the geometry first, for desktops whose window manager does not maximise.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        frmMain->setGeometry(screen->availableGeometry());
    frmMain->showMaximized();
    QTimer::singleShot(0, frmMain, [port, model = options.Model] {
        if (port.isEmpty()) {
            // The adapter dialog runs once the main window is on screen; its end without a choice ends the program.
            if (frmPortSelect->exec() != QDialog::Accepted) {
                QApplication::quit();
                return;
            }
            ComPort->SetPort(frmPortSelect->ChosenPort());
        } else {
            ComPort->SetPort(port);
        }
        if (QAction *item = MenuItemOf(model))
            item->trigger();
    });
    const int result = app.exec();
    StopHistory();
    DestroyWindows();
    return result;
}
