#pragma once
#include "product/TraceLine.h"
#include "serial/ReplayChannel.h"
#include <QList>
#include <QString>

// The recorded frames as pieces of a line, timed from the first frame of the recording.
QList<TReplayChunk> ReplayChunks(const QList<TTraceEntry> &entries);

// Puts the program's port on a line that plays back the trace file at path: the lines it cannot use
// are named in the log and skipped. An unreadable file is reported in the log and leaves the port
// as it was; returns whether the replay line is in place.
bool UseReplay(const QString &path);
