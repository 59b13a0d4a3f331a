#include "serial/SerialPort.h"
#include "serial/QtSerialChannel.h"
#include "serial/SerialErrors.h"
#include <QTimer>

qint32 BaudRateBits(TBaudRate rate)
{
    static const qint32 bits[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400,
                                  56000, 57600, 115200, 128000, 256000};
    return bits[int(rate)];
}

TSerialPort::TSerialPort(QObject *owner, std::unique_ptr<TByteChannel> channel)
    : QObject(owner), Device(channel ? std::move(channel) : std::make_unique<TQtSerialChannel>())
{
    AttachChannel();
}

TSerialPort::~TSerialPort()
{
    Close();
}

void TSerialPort::SetChannel(std::unique_ptr<TByteChannel> channel)
{
    Close();
    Device = std::move(channel);
    AttachChannel();
}

void TSerialPort::AttachChannel()
{
    Device->OnBytesArrived = [this] { BytesArrived(); };
    Device->OnDeviceLost = [this](const QString &reason) { DeviceLost(reason); };
}

void TSerialPort::SetPort(const QString &name)
{
    if (name == PortName)
        return;
    PortName = name;
    if (IsOpen) {
        Close();
        Open();
    }
}

void TSerialPort::SetBaudRate(TBaudRate rate)
{
    if (rate == Rate)
        return;
    Rate = rate;
    if (IsOpen)
        Device->SetBaudRate(BitsPerSecond());
}

void TSerialPort::SetCustomBaudRate(qint32 bitsPerSecond)
{
    if (bitsPerSecond == CustomRate)
        return;
    CustomRate = bitsPerSecond;
    if (IsOpen && Rate == TBaudRate::BrCustom)
        Device->SetBaudRate(CustomRate);
}

qint32 TSerialPort::BitsPerSecond() const
{
    return Rate == TBaudRate::BrCustom ? CustomRate : BaudRateBits(Rate);
}

void TSerialPort::Open()
{
    if (IsOpen)
        return;
    Device->Open(PortName, BitsPerSecond());
    IsOpen = true;
}

void TSerialPort::Close()
{
    if (!IsOpen)
        return;
    IsOpen = false;
    Device->Close();
}

qint64 TSerialPort::Write(const QByteArray &bytes)
{
    if (!IsOpen)
        throw ESerialPort(ESerialPort::NotOpen);
    if (bytes.isEmpty())
        return 0;
    return Device->Write(bytes, 100 * int(bytes.size()) + 1000);
}

QByteArray TSerialPort::Read(int count)
{
    if (!IsOpen)
        throw ESerialPort(ESerialPort::NotOpen);
    return Device->Read(qMax(0, count));
}

void TSerialPort::BytesArrived()
{
    if (!IsOpen || !OnRxChar)
        return;
    const qint64 waiting = Device->BytesAvailable();
    if (waiting > 0)
        OnRxChar(this, int(waiting));
}

void TSerialPort::DeviceLost(const QString &reason)
{
    if (!IsOpen)
        return;
    if (OnLog)
        OnLog(QStringLiteral("Serial port %1: %2; reading stopped.").arg(PortName, reason));
    // Closing inside the device's own error signal is not safe; the event loop does it next. The
    // handler's watchdog then notices the silence and goes back to searching.
    QTimer::singleShot(0, this, [this] { Close(); });
}
