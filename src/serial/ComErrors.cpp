#include "serial/ComErrors.h"
#include <cerrno>
#include <cstring>

QString EComPort::Text(Number number)
{
    switch (number) {
    case OpenFailed: return QStringLiteral("Unable to open com port");
    case WriteFailed: return QStringLiteral("WriteFile function failed");
    case ReadFailed: return QStringLiteral("ReadFile function failed");
    case PurgeFailed: return QStringLiteral("PurgeComm function failed");
    case SetStateFailed: return QStringLiteral("SetCommState function failed");
    case SetTimeoutsFailed: return QStringLiteral("SetCommTimeouts failed");
    case SetupFailed: return QStringLiteral("SetupComm function failed");
    case ClearErrorFailed: return QStringLiteral("ClearCommError function failed");
    case NotOpen: return QStringLiteral("Port Not Open");
    }
    return QString();
}

EComPort::EComPort(Number number, int systemCode)
    : Exception(Text(number) + QStringLiteral(" (Error: %1)").arg(systemCode)), ErrorNumber(number),
      SystemCode(systemCode)
{
}

EComPort::EComPort(Number number) : Exception(Text(number)), ErrorNumber(number), SystemCode(0) {}

QString PortFailureCause(int systemCode)
{
    switch (systemCode) {
    case 0: return QString();
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("No such device: the adapter is not plugged in, or the port's name is wrong");
    case EACCES:
    case EPERM:
        return QStringLiteral("Permission denied: add your user to the dialout group");
    case EBUSY: return QStringLiteral("Device or resource busy: another program uses the port");
    case EISDIR: return QStringLiteral("Is a directory: not a serial port");
    case ENOTTY: return QStringLiteral("Not a terminal: not a serial port");
    case EIO: return QStringLiteral("Input/output error: plug the adapter in again");
    default: return QString::fromLocal8Bit(std::strerror(systemCode));
    }
}

QString PortErrorDetail(const EComPort &error, const QString &portName)
{
    const QString cause = PortFailureCause(error.SystemCode);
    return cause.isEmpty() ? QString() : portName + QStringLiteral(": ") + cause;
}
