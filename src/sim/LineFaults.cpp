#include "sim/LineFaults.h"
#include <algorithm>
#include <memory>
#include <utility>

TLineFaults::TLineFaults(quint8 startByte, quint32 seed, TOut out)
    : StartByte(startByte), NoiseRng(seed ^ 0x5EED), Out(std::move(out))
{
}

TLineFaults::~TLineFaults()
{
    TScheduler &clock = TScheduler::Instance();
    for (TScheduler::TaskId id : std::as_const(PieceTasks))
        clock.Cancel(id);
}

bool TLineFaults::Select(const QString &name)
{
    for (const TNamedFault &named : Named)
        if (name == QLatin1String(named.Name)) {
            Fault = named.Fault;
            return true;
        }
    return false;
}

void TLineFaults::Clear()
{
    Fault = TFault::None;
}

QStringList TLineFaults::Names()
{
    QStringList names;
    for (const TNamedFault &named : Named)
        names << QLatin1String(named.Name);
    return names;
}

void TLineFaults::Send(const QByteArray &frame)
{
    const qint64 now = TScheduler::Instance().Now();
    switch (Fault) {
    case TFault::Silence:
        return;
    case TFault::BadChecksum: {
        QByteArray damaged = frame;
        damaged[damaged.size() - 1] = char(damaged.back() ^ 0xFF);
        SendAt(now, damaged);
        return;
    }
    case TFault::Noise: {
        QByteArray noisy;
        const int count = 1 + int(NoiseRng() % 4);
        for (int i = 0; i < count; ++i) {
            const char byte = char(NoiseRng() & 0xFF);
            noisy.append(byte == char(StartByte) ? char(StartByte ^ 0xFF) : byte);
        }
        SendAt(now, noisy + frame);
        return;
    }
    case TFault::SplitFrames: {
        const qsizetype third = std::max<qsizetype>(1, frame.size() / 3);
        const QByteArray pieces[] = {frame.left(third), frame.mid(third, third), frame.mid(2 * third)};
        for (int i = 0; i < 3; ++i)
            if (!pieces[i].isEmpty())
                SendAt(now + i * SplitGapMs, pieces[i]);
        return;
    }
    case TFault::None:
        SendAt(now, frame);
        return;
    }
}

void TLineFaults::SendAt(qint64 atMs, const QByteArray &bytes)
{
    TScheduler &clock = TScheduler::Instance();
    atMs = std::max(atMs, LastPieceAt);
    LastPieceAt = atMs;
    if (atMs <= clock.Now() && PieceTasks.isEmpty()) {
        Out(bytes);
        return;
    }
    auto id = std::make_shared<TScheduler::TaskId>();
    *id = clock.CallAt(atMs, [this, bytes, id] {
        PieceTasks.remove(*id);
        Out(bytes);
    });
    PieceTasks.insert(*id);
}
