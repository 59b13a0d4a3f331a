#include "serial/ReplayChannel.h"
#include <algorithm>

TReplayChannel::TReplayChannel(QList<TReplayChunk> recording) : Recording(std::move(recording)) {}

TReplayChannel::~TReplayChannel()
{
    TScheduler &clock = TScheduler::Instance();
    for (TScheduler::TaskId id : std::as_const(Deliveries))
        clock.Cancel(id);
}

void TReplayChannel::Open(const QString &, qint32)
{
    Opened = true;
    Received.clear();
    const bool anySent = std::any_of(Recording.cbegin(), Recording.cend(), [](const TReplayChunk &c) { return c.Sent; });
    if (!Started && !anySent)
        Start(TScheduler::Instance().Now());
}

void TReplayChannel::Close()
{
    Opened = false;
    Received.clear();
}

qint64 TReplayChannel::Write(const QByteArray &bytes, int)
{
    if (!Started) {
        const auto first = std::find_if(Recording.cbegin(), Recording.cend(), [](const TReplayChunk &c) { return c.Sent; });
        if (first != Recording.cend())
            Start(TScheduler::Instance().Now() - first->AtMs);
    }
    return bytes.size();
}

QByteArray TReplayChannel::Read(qint64 maxCount)
{
    const QByteArray out = Received.left(maxCount);
    Received.remove(0, out.size());
    return out;
}

void TReplayChannel::Start(qint64 zeroMs)
{
    Started = true;
    TScheduler &clock = TScheduler::Instance();
    for (const TReplayChunk &chunk : std::as_const(Recording)) {
        if (chunk.Sent)
            continue;
        Deliveries << clock.CallAt(zeroMs + chunk.AtMs, [this, bytes = chunk.Bytes] {
            if (!Opened)
                return;
            Received += bytes;
            if (OnBytesArrived)
                OnBytesArrived();
        });
    }
}
