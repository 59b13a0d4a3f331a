#pragma once
#include "serial/ByteChannel.h"
#include "core/Scheduler.h"
#include <QList>

// A piece of a recorded line: when it went (milliseconds from the start of the recording), which
// way, and its bytes.
struct TReplayChunk {
    qint64 AtMs = 0;
    bool Sent = false;
    QByteArray Bytes;
};

// A line that plays back a recording: the received pieces arrive at their recorded times on the
// scheduler's clock, and what the program writes goes nowhere. The recording's first sent piece is
// matched to the program's first write, so its answers keep their distance from the request; a
// recording without any sent piece starts when the port is first opened. Bytes due while the port
// is closed are lost, as on a real line.
class TReplayChannel : public TByteChannel {
public:
    explicit TReplayChannel(QList<TReplayChunk> recording);
    ~TReplayChannel() override;

    void Open(const QString &portName, qint32 baudRate) override;
    void Close() override;
    void SetBaudRate(qint32) override {}
    qint64 Write(const QByteArray &bytes, int timeoutMs) override;
    QByteArray Read(qint64 maxCount) override;
    qint64 BytesAvailable() const override { return Received.size(); }

private:
    void Start(qint64 zeroMs);

    QList<TReplayChunk> Recording;
    QList<TScheduler::TaskId> Deliveries;
    QByteArray Received;
    bool Opened = false;
    bool Started = false;
};
