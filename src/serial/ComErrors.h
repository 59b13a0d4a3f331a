#pragma once
#include "core/Errors.h"

// Errors of the serial port, numbered as the port's messages are; the system's error code, when
// there is one, follows the message as " (Error: %d)".
class EComPort : public Exception {
public:
    enum Number {
        OpenFailed = 1,
        WriteFailed = 2,
        ReadFailed = 3,
        PurgeFailed = 5,
        SetStateFailed = 7,
        SetTimeoutsFailed = 8,
        SetupFailed = 9,
        ClearErrorFailed = 10,
        NotOpen = 24,
    };

    EComPort(Number number, int systemCode);
    explicit EComPort(Number number);

    QString ClassName() const override { return QStringLiteral("EComPort"); }
    static QString Text(Number number);

    Number ErrorNumber;
    int SystemCode;
};

// The cause of a system error code in words, with the fix where one is known, e.g. "Permission
// denied: add your user to the dialout group". Empty for code 0.
QString PortFailureCause(int systemCode);
// The line that goes under a port error's message: the port's name and the cause; empty when the
// error carries no system code.
QString PortErrorDetail(const EComPort &error, const QString &portName);
