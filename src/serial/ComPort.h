#pragma once
#include "serial/ByteChannel.h"
#include <QObject>
#include <functional>
#include <memory>

enum class TBaudRate {
    BrCustom, Br110, Br300, Br600, Br1200, Br2400, Br4800, Br9600, Br14400, Br19200, Br38400,
    Br56000, Br57600, Br115200, Br128000, Br256000
};

// Bits per second of a member of the baud-rate set; BrCustom has none of its own.
qint32 BaudRateBits(TBaudRate rate);

// The one serial port of the program. Line settings are fixed (8N1, no flow control, DTR and RTS
// inactive, every byte passed through); only the name and the baud rate change.
class TComPort : public QObject {
    Q_OBJECT
public:
    using TRxCharEvent = std::function<void(QObject *sender, int count)>;

    // Without a channel the port uses the QSerialPort channel.
    explicit TComPort(QObject *owner = nullptr, std::unique_ptr<TByteChannel> channel = {});
    ~TComPort() override;

    // Replaces the device layer (tests: the in-memory line); closes the port first.
    void SetChannel(std::unique_ptr<TByteChannel> channel);
    TByteChannel *Channel() const { return Device.get(); }

    QString Port() const { return PortName; }
    void SetPort(const QString &name);
    TBaudRate BaudRate() const { return Rate; }
    void SetBaudRate(TBaudRate rate);
    qint32 CustomBaudRate() const { return CustomRate; }
    void SetCustomBaudRate(qint32 bitsPerSecond);
    qint32 BitsPerSecond() const;

    void Open();
    void Close();
    bool Connected() const { return IsOpen; }

    // True from the moment the device failed while open (an adapter pulled out) until the port is
    // open again; Close by the program ends it too.
    bool Lost() const { return IsLost; }
    // One attempt, at most once a second, to open a lost port again. Logs one line when it is back.
    // True when the port is open.
    bool Reopen();

    // Sends all bytes; the wait is bounded by 100 ms per byte plus 1000 ms. Returns the count sent.
    qint64 Write(const QByteArray &bytes);
    // Up to count bytes already received, at once.
    QByteArray Read(int count);

    // The receive event: on the user-interface thread, Count > 0, never after Close has returned.
    TRxCharEvent OnRxChar;
    // Called once the device has failed while open (Lost() is true by then); set by the handler.
    std::function<void()> OnLost;
    // Where the port reports a lost device (one line); set by the main window to its log.
    std::function<void(const QString &line)> OnLog;

private:
    void BytesArrived();
    void DeviceLost(const QString &reason);
    void AttachChannel();
    void FinishPendingClose();

    std::unique_ptr<TByteChannel> Device;
    QString PortName = QStringLiteral("COM1");
    TBaudRate Rate = TBaudRate::Br9600;
    qint32 CustomRate = 9600;
    bool IsOpen = false;
    bool IsLost = false;
    // The device's close after a failure runs from the event loop, not inside the device's signal.
    quint64 PendingClose = 0;
    qint64 LastReopenAt = 0;
};
