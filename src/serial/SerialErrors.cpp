#include "serial/SerialErrors.h"

QString ESerialPort::Text(Number number)
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

ESerialPort::ESerialPort(Number number, int systemCode)
    : Exception(Text(number) + QStringLiteral(" (Error: %1)").arg(systemCode)), ErrorNumber(number),
      SystemCode(systemCode)
{
}

ESerialPort::ESerialPort(Number number) : Exception(Text(number)), ErrorNumber(number), SystemCode(0) {}
