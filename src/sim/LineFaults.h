#pragma once
#include "core/Scheduler.h"
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <random>

// What stands between a simulated heater and the line: every frame the heater wants to send passes
// through here and reaches Out as the chosen line fault has it. The faults are the same for every
// protocol family:
//   "silence"       nothing reaches the line
//   "bad-crc"       the frame's last byte (where every family keeps its checksum) is inverted
//   "split-frames"  the frame goes in three pieces, SplitGapMs apart
//   "noise"         one to four garbage bytes, never the family's start byte, go before the frame
// Pieces go out in order on the scheduler's clock: a frame never overtakes the tail of the one
// before it. The noise comes from the seed, so a seed always gives the same bytes.
class TLineFaults {
public:
    using TOut = std::function<void(const QByteArray &bytes)>;

    TLineFaults(quint8 startByte, quint32 seed, TOut out);
    // Pieces still waiting are dropped with the heater.
    ~TLineFaults();
    TLineFaults(const TLineFaults &) = delete;
    TLineFaults &operator=(const TLineFaults &) = delete;

    // Chooses a line fault by name (one replaces another); false for a name that is not one.
    bool Select(const QString &name);
    // Back to a clean line.
    void Clear();
    static QStringList Names();

    void Send(const QByteArray &frame);

    static constexpr int SplitGapMs = 40;

private:
    enum class TFault { None, Silence, BadChecksum, SplitFrames, Noise };
    struct TNamedFault {
        const char *Name;
        TFault Fault;
    };
    static constexpr TNamedFault Named[] = {{"silence", TFault::Silence},
                                            {"bad-crc", TFault::BadChecksum},
                                            {"split-frames", TFault::SplitFrames},
                                            {"noise", TFault::Noise}};

    void SendAt(qint64 atMs, const QByteArray &bytes);

    const quint8 StartByte;
    std::mt19937 NoiseRng;
    TOut Out;
    TFault Fault = TFault::None;
    QSet<TScheduler::TaskId> PieceTasks;
    qint64 LastPieceAt = 0;
};
