#include "serial/QtSerialChannel.h"
#include "serial/ComErrors.h"
#include <QDeadlineTimer>
#include <QFileInfo>
#include <cerrno>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
// The system error code that goes with a failed open, as the operating system names it.
int SystemCodeOf(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError: return EACCES;
    case QSerialPort::OpenError: return EBUSY;
    case QSerialPort::UnsupportedOperationError: return EINVAL;
    default: return EIO;
    }
}

// Why a device would not open, as the system would say it: the path itself is looked at first,
// since the serial port's own error kinds lump several causes together.
int OpenFailureCode(const QString &device, QSerialPort::SerialPortError error)
{
    const QFileInfo path(device);
    if (!path.exists())
        return ENOENT;
    if (path.isDir())
        return EISDIR;
    if (!path.isReadable() || !path.isWritable())
        return EACCES;
    if (path.isFile())
        return ENOTTY;
#ifdef Q_OS_UNIX
    // A character device that is no terminal (/dev/null and the like) is no serial port either.
    const int probe = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NONBLOCK | O_NOCTTY);
    if (probe >= 0) {
        const bool terminal = ::isatty(probe);
        ::close(probe);
        if (!terminal)
            return ENOTTY;
    }
#endif
    switch (error) {
    case QSerialPort::PermissionError: return EBUSY; // readable and writable, so held by another program
    case QSerialPort::UnsupportedOperationError: return ENOTTY;
    default: return SystemCodeOf(error);
    }
}
} // namespace

TQtSerialChannel::TQtSerialChannel()
{
    QObject::connect(&Device, &QSerialPort::readyRead, [this] {
        if (OnBytesArrived && !Lost)
            OnBytesArrived();
    });
    QObject::connect(&Device, &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) { ErrorOccurred(error); });
}

TQtSerialChannel::~TQtSerialChannel()
{
    Device.disconnect();
    if (Device.isOpen())
        Device.close();
}

QString TQtSerialChannel::DeviceName(const QString &portName)
{
#ifdef Q_OS_WIN
    return portName;
#else
    return portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
#endif
}

void TQtSerialChannel::Open(const QString &portName, qint32 baudRate)
{
    Lost = false;
    Device.setPortName(DeviceName(portName));
    if (!Device.open(QIODevice::ReadWrite))
        throw EComPort(EComPort::OpenFailed, OpenFailureCode(DeviceName(portName), Device.error()));
    const bool settled = Device.setBaudRate(baudRate) && Device.setDataBits(QSerialPort::Data8)
                         && Device.setParity(QSerialPort::NoParity)
                         && Device.setStopBits(QSerialPort::OneStop)
                         && Device.setFlowControl(QSerialPort::NoFlowControl);
    if (!settled) {
        const int code = SystemCodeOf(Device.error());
        Device.close();
        throw EComPort(EComPort::SetStateFailed, code);
    }
    // DTR and RTS held inactive; a pseudo-terminal has no such lines, so failures here are harmless.
    Device.setDataTerminalReady(false);
    Device.setRequestToSend(false);
    Device.setReadBufferSize(0);
    DiscardStale();
}

void TQtSerialChannel::Close()
{
    if (Device.isOpen()) {
        Device.clear();
        Device.close();
    }
}

void TQtSerialChannel::SetBaudRate(qint32 baudRate)
{
    if (!Device.setBaudRate(baudRate))
        throw EComPort(EComPort::SetStateFailed, SystemCodeOf(Device.error()));
    // What has arrived stays: a heater answering right after a speed switch must not be cut off.
}

qint64 TQtSerialChannel::Write(const QByteArray &bytes, int timeoutMs)
{
    const qint64 queued = Device.write(bytes);
    if (queued < 0)
        throw EComPort(EComPort::WriteFailed, SystemCodeOf(Device.error()));
    // A write that does not finish in time sends what it can and reports no error.
    const QDeadlineTimer deadline(timeoutMs);
    while (Device.bytesToWrite() > 0 && !deadline.hasExpired()
           && Device.waitForBytesWritten(int(deadline.remainingTime()))) {
    }
    return queued - Device.bytesToWrite();
}

QByteArray TQtSerialChannel::Read(qint64 maxCount)
{
    return Device.read(maxCount);
}

qint64 TQtSerialChannel::BytesAvailable() const
{
    return Device.bytesAvailable();
}

void TQtSerialChannel::DiscardStale()
{
    // Leftovers of an earlier session would look like a reply.
    Device.clear(QSerialPort::Input);
    Device.readAll();
}

void TQtSerialChannel::ErrorOccurred(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (Lost || !Device.isOpen())
        return;
    Lost = true;
    if (OnDeviceLost)
        OnDeviceLost(Device.errorString());
}
