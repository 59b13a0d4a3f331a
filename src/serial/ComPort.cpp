#include "serial/ComPort.h"
#include "serial/QtSerialChannel.h"
#include "serial/ComErrors.h"
#include "core/Scheduler.h"

qint32 BaudRateBits(TBaudRate rate)
{
    static const qint32 bits[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400,
                                  56000, 57600, 115200, 128000, 256000};
    return bits[int(rate)];
}

TComPort::TComPort(QObject *owner, std::unique_ptr<TByteChannel> channel)
    : QObject(owner), Device(channel ? std::move(channel) : std::make_unique<TQtSerialChannel>())
{
    AttachChannel();
}

TComPort::~TComPort()
{
    Close();
    FinishPendingClose();
}

void TComPort::SetChannel(std::unique_ptr<TByteChannel> channel)
{
    Close();
    Device = std::move(channel);
    AttachChannel();
}

void TComPort::AttachChannel()
{
    Device->OnBytesArrived = [this] { BytesArrived(); };
    Device->OnDeviceLost = [this](const QString &reason) { DeviceLost(reason); };
}

void TComPort::SetPort(const QString &name)
{
    if (name == PortName)
        return;
    PortName = name;
    if (IsOpen) {
        Close();
        Open();
    }
}

void TComPort::SetBaudRate(TBaudRate rate)
{
    if (rate == Rate)
        return;
    Rate = rate;
    if (IsOpen)
        Device->SetBaudRate(BitsPerSecond());
}

void TComPort::SetCustomBaudRate(qint32 bitsPerSecond)
{
    if (bitsPerSecond == CustomRate)
        return;
    CustomRate = bitsPerSecond;
    if (IsOpen && Rate == TBaudRate::BrCustom)
        Device->SetBaudRate(CustomRate);
}

qint32 TComPort::BitsPerSecond() const
{
    return Rate == TBaudRate::BrCustom ? CustomRate : BaudRateBits(Rate);
}

void TComPort::Open()
{
    if (IsOpen)
        return;
    FinishPendingClose();
    Device->Open(PortName, BitsPerSecond());
    IsOpen = true;
    IsLost = false;
}

void TComPort::Close()
{
    IsLost = false;
    FinishPendingClose();
    if (!IsOpen)
        return;
    IsOpen = false;
    Device->Close();
}

void TComPort::FinishPendingClose()
{
    if (!PendingClose)
        return;
    TScheduler::Instance().Cancel(PendingClose);
    PendingClose = 0;
    Device->Close();
}

bool TComPort::Reopen()
{
    if (IsOpen)
        return true;
    if (!IsLost)
        return false;
    TScheduler &clock = TScheduler::Instance();
    if (LastReopenAt && clock.Now() - LastReopenAt < 1000)
        return false;
    LastReopenAt = clock.Now();
    try {
        Open();
    } catch (const std::exception &) {
        // Still away: the line that it went away has been written, nothing more until it is back.
        return false;
    }
    LastReopenAt = 0;
    if (OnLog)
        OnLog(QStringLiteral("Serial port %1: the adapter is back; port open again.").arg(PortName));
    return true;
}

qint64 TComPort::Write(const QByteArray &bytes)
{
    if (!IsOpen)
        throw EComPort(EComPort::NotOpen);
    if (bytes.isEmpty())
        return 0;
    return Device->Write(bytes, 100 * int(bytes.size()) + 1000);
}

QByteArray TComPort::Read(int count)
{
    if (!IsOpen)
        throw EComPort(EComPort::NotOpen);
    return Device->Read(qMax(0, count));
}

void TComPort::BytesArrived()
{
    if (!IsOpen || !OnRxChar)
        return;
    const qint64 waiting = Device->BytesAvailable();
    if (waiting > 0)
        OnRxChar(this, int(waiting));
}

void TComPort::DeviceLost(const QString &reason)
{
    if (!IsOpen)
        return;
    if (OnLog)
        OnLog(QStringLiteral("Serial port %1: %2; reading stopped.").arg(PortName, reason));
    // Writes and reads fail as on a closed port from now on; closing the device inside its own error
    // signal is not safe, so the event loop does that next. The handler's watchdog notices the
    // silence, and its search opens the port again once the adapter is back.
    IsOpen = false;
    IsLost = true;
    TScheduler &loop = TScheduler::Instance();
    PendingClose = loop.CallAt(loop.Now(), [this] {
        PendingClose = 0;
        Device->Close();
    });
    if (OnLost)
        OnLost();
}
