#pragma once
#include "serial/ByteChannel.h"
#include <QSerialPort>

// The byte channel over QSerialPort: real adapters and pseudo-terminals.
class TQtSerialChannel : public TByteChannel {
public:
    TQtSerialChannel();
    ~TQtSerialChannel() override;

    void Open(const QString &portName, qint32 baudRate) override;
    void Close() override;
    void SetBaudRate(qint32 baudRate) override;
    qint64 Write(const QByteArray &bytes, int timeoutMs) override;
    QByteArray Read(qint64 maxCount) override;
    qint64 BytesAvailable() const override;

    // "COMn" stays as it is (Windows); on Linux a bare device name gets "/dev/" in front.
    static QString DeviceName(const QString &portName);

private:
    void DiscardStale();
    void ErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort Device;
    bool Lost = false;
};
