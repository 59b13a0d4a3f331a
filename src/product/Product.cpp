#include "product/Product.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/LogMemo.h"
#include "core/Scheduler.h"
#include "core/Timer.h"
#include "product/Presentation.h"
#include "product/ProductEnvironment.h"
#include "serial/ComPort.h"
#include <QTime>

namespace {
// What a handler talks to when the program has no windows.
TPresentation NoWindows;
} // namespace

TProductEnvironment &ProductEnvironment()
{
    static TProductEnvironment environment;
    return environment;
}

TProduct::TProduct()
    : Presentation(ProductEnvironment().View ? ProductEnvironment().View : &NoWindows),
      ProgramLog(ProductEnvironment().Log)
{
    // Windows first: the family constructor shows its model's own sections afterwards.
    View().SetWaitPanelVisible(false);
    View().ResetModelSections();
    View().ResetLegend();
    View().SetGridSize(1, 2);

    Port = ProductEnvironment().Port;
    if (Port) {
        Port->OnRxChar = [this](QObject *sender, int count) { ComPortRxChar(sender, count); };
        Port->OnLost = [this] { AdapterLost(); };
    }

    // Each tick reaches the family's operation unless tear-down has begun.
    auto bind = [this](TTimer *timer, void (TProduct::*operation)(QObject *)) {
        timer->SetOnTimer([this, operation](QObject *sender) {
            if (!TearingDown)
                (this->*operation)(sender);
        });
    };
    Timer = new TTimer(5000);
    bind(Timer, &TProduct::TimerEvent);
    ErTimer = new TTimer(2000);
    bind(ErTimer, &TProduct::ErTimerEvent);
    TransmitTimer = new TTimer(1000);
    bind(TransmitTimer, &TProduct::TransmitTimerEvent);
    SearchTimer = new TTimer(1000);
    bind(SearchTimer, &TProduct::OnSearchTimer);
}

TProduct::~TProduct()
{
    // Normally Destroy has done all this; a constructor that failed (the port would not open) has not.
    if (!TornDown) {
        if (Port && ProductEnvironment().Port == Port) {
            Port->OnRxChar = nullptr;
            Port->OnLost = nullptr;
        }
        ReleaseTimers();
    }
    CancelSaveRetry();
}

void TProduct::ReleaseTimers()
{
    for (TTimer **timer : {&SearchTimer, &Timer, &TransmitTimer, &ErTimer}) {
        delete *timer;
        *timer = nullptr;
    }
}

void TProduct::Destroy()
{
    if (TornDown)
        return;
    BeforeDestroy();
    TearingDown = true;
    // Received bytes must not reach a handler whose timers are going away: the receive routine is
    // detached first; the bytes stay in the port until it closes.
    if (Port) {
        Port->OnRxChar = nullptr;
        Port->OnLost = nullptr;
    }

    TScheduler &loop = TScheduler::Instance();
    TLogMemo *mLog = ProgramLog;
    auto releaseTimer = [mLog](TTimer *&timer, const char *name) {
        try {
            timer->SetEnabled(false);
            timer->SetOnTimer(nullptr);
            delete timer;
            timer = nullptr;
        } catch (const std::exception &error) {
            if (mLog)
                mLog->Append(QString::fromLatin1(name) + QStringLiteral(".Destroy ex: ") + ErrorMessage(error));
        }
    };
    loop.PumpOnce();
    releaseTimer(SearchTimer, "SearchTimer");
    loop.PumpOnce();
    releaseTimer(Timer, "Timer");
    loop.PumpOnce();
    releaseTimer(TransmitTimer, "TransmitTimer");
    loop.PumpOnce();
    try {
        ErTimer->SetEnabled(false);
        loop.PumpOnce();
        if (mLog)
            mLog->Append(ErTimer->Enabled() ? QStringLiteral("ErTimer is Enabled :(")
                                            : QStringLiteral("ErTimer DISABLED! :)"));
        ErTimer->SetOnTimer(nullptr);
        delete ErTimer;
        ErTimer = nullptr;
    } catch (const std::exception &error) {
        if (mLog)
            mLog->Append(QStringLiteral("ErTimer.Destroy ex: ") + ErrorMessage(error));
    }
    TornDown = true;

    if (Port) {
        Port->Close();
        Port->OnRxChar = nullptr;
        Port->OnLost = nullptr;
        Port = nullptr;
    }
    SetTitle(QStringLiteral("Thermoryx Diagnostic "));
    RxData.clear();
}

void TProduct::RequestTearDown(std::function<void()> whenReleased)
{
    TearDownWanted = true;
    WhenReleased = std::move(whenReleased);
    if (!Busy() && WhenReleased) {
        auto done = std::move(WhenReleased);
        TScheduler &loop = TScheduler::Instance();
        loop.CallAt(loop.Now(), done);
    }
}

bool TProduct::Delay(int ms)
{
    if (TearDownWanted)
        return false;
    ++DelayDepth;
    TScheduler::Instance().Delay(ms);
    --DelayDepth;
    if (TearDownWanted) {
        // The last waiting operation hands over to the tear-down once it has unwound to the event loop.
        if (DelayDepth == 0 && WhenReleased) {
            auto done = std::move(WhenReleased);
            TScheduler &loop = TScheduler::Instance();
            loop.CallAt(loop.Now(), done);
        }
        return false;
    }
    return true;
}

int TProduct::FindByte(quint8 value, const QByteArray &bytes)
{
    return int(bytes.indexOf(char(value)));
}

void TProduct::ComPortRxChar(QObject *sender, int count)
{
    try {
        const QByteArray bytes = Port->Read(count);
        if (bytes.size() != count)
            throw Exception(TimeText() + QStringLiteral("Кол-во предложенных(") + QString::number(count)
                            + QStringLiteral(") и считанных(") + QString::number(bytes.size())
                            + QStringLiteral(") байт не совпадают."));
        RxData.append(bytes);
        ParseData();
    } catch (const std::exception &error) {
        LogOperationError(QStringLiteral("ComPortRxChar"), SenderName(sender) + QLatin1Char(',') + QString::number(count),
                          error);
    }
}

void TProduct::Log(const QString &line) const
{
    if (LogMemo)
        LogMemo->Append(line);
}

void TProduct::LogToProgram(const QString &line) const
{
    if (ProgramLog)
        ProgramLog->Append(line);
}

QString TProduct::TimeText()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

void TProduct::LogOperationError(const QString &operation, const QString &arguments,
                                 const std::exception &error) const
{
    if (PortAwayError(error))
        return;
    Log(TimeText() + QLatin1Char(' ') + ClassName() + QLatin1Char('.') + operation + QLatin1Char('(')
        + arguments + QStringLiteral(") Exception: ") + ErrorClassName(error) + QStringLiteral(": ")
        + ErrorMessage(error));
}

void TProduct::LogOperationError(const QString &operation, const std::exception &error) const
{
    if (PortAwayError(error))
        return;
    Log(TimeText() + QLatin1Char(' ') + ClassName() + QLatin1Char('.') + operation
        + QStringLiteral(" Exception: ") + ErrorMessage(error));
}

void TProduct::SetTitle(const QString &title) const
{
    View().SetTitle(title);
}

QString TProduct::SenderName(QObject *sender)
{
    return sender ? QString::fromLatin1(sender->metaObject()->className()) : QString();
}

void TProduct::RefuseUnsupported(const QString &operation) const
{
    ShowMessage(QStringLiteral("Unable to perform: %1 is not available for %2.").arg(operation, ModelName()));
}

void TProduct::StartWithSettings(qint16, qint8, int, quint8, quint8)
{
    RefuseUnsupported(QStringLiteral("start with settings"));
}

void TProduct::ApplySettings(qint16, qint8, int, quint8, quint8)
{
    RefuseUnsupported(QStringLiteral("applying settings"));
}

void TProduct::PumpFuel(quint8)
{
    RefuseUnsupported(QStringLiteral("fuel pumping"));
}

void TProduct::CalibrateFI()
{
    RefuseUnsupported(QStringLiteral("FI calibration"));
}

void TProduct::ApplySettingsOld(quint8, quint8, quint8, quint8)
{
    RefuseUnsupported(QStringLiteral("applying old-revision settings"));
}

void TProduct::SetPumpType(bool)
{
    RefuseUnsupported(QStringLiteral("changing the pump type"));
}

void TProduct::RunPump(quint16)
{
    RefuseUnsupported(QStringLiteral("running the pump"));
}
