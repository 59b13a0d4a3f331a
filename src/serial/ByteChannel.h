#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

// The operating-system side of the serial port: a device that can be opened at a baud rate with
// 8N1 and no flow control, written, read without waiting, and that announces received bytes.
// TComPort holds one; the program's is the QSerialPort channel, tests use the in-memory one.
class TByteChannel {
public:
    virtual ~TByteChannel() = default;

    // Each raises EComPort with the serial port's numbers and messages on failure.
    virtual void Open(const QString &portName, qint32 baudRate) = 0;
    virtual void Close() = 0;
    virtual void SetBaudRate(qint32 baudRate) = 0;
    // Sends all bytes, waiting at most timeoutMs for them to leave; returns the count sent.
    virtual qint64 Write(const QByteArray &bytes, int timeoutMs) = 0;
    // Returns at once with up to maxCount bytes already received.
    virtual QByteArray Read(qint64 maxCount) = 0;
    virtual qint64 BytesAvailable() const = 0;

    // Set by TComPort: called on the user-interface thread when bytes have arrived.
    std::function<void()> OnBytesArrived;
    // Set by TComPort: called once when the device fails while open (unplugged adapter).
    std::function<void(const QString &reason)> OnDeviceLost;
};
