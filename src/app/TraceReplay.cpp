#include "app/TraceReplay.h"
#include "app/Globals.h"
#include "core/Errors.h"
#include "core/LogMemo.h"
#include "serial/ComPort.h"

QList<TReplayChunk> ReplayChunks(const QList<TTraceEntry> &entries)
{
    QList<TReplayChunk> chunks;
    for (const TTraceEntry &entry : entries)
        chunks << TReplayChunk{entries.first().Time.msecsTo(entry.Time), entry.Direction == TFrameDirection::Sent,
                               entry.Bytes};
    return chunks;
}

bool UseReplay(const QString &path)
{
    try {
        const TTraceReading reading = ReadTraceFile(path);
        for (const QString &problem : reading.Problems)
            mLog->Append(problem);
        ComPort->SetChannel(std::make_unique<TReplayChannel>(ReplayChunks(reading.Entries)));
        mLog->Append(QStringLiteral("Replaying the trace ") + path);
        return true;
    } catch (const std::exception &error) {
        mLog->Append(ErrorMessage(error));
        return false;
    }
}
