#pragma once
#include "product/Presentation.h"
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One frame of the protocol trace, and its line in a trace file:
//   2026-12-10T18:22:35.123<TAB>TX<TAB>AA 03 01 00 07 01 1D 9E<TAB>ok
// local time to the millisecond, "TX" for a frame sent or "RX" for one received, the bytes in hex,
// "ok" for a frame taken or "dropped" for bytes the reader threw away.
struct TTraceEntry {
    QDateTime Time;
    TFrameDirection Direction = TFrameDirection::Sent;
    QByteArray Bytes;
    bool Valid = true;
};

QString TraceLineText(const TTraceEntry &entry);
// The entry of one line, or nothing when the line is not one the trace writes.
std::optional<TTraceEntry> ParseTraceLine(const QString &line);

// A trace file read back: its entries in order, and one log line per line that was skipped.
struct TTraceReading {
    QList<TTraceEntry> Entries;
    QStringList Problems;
};
// Throws Exception when the file cannot be read.
TTraceReading ReadTraceFile(const QString &path);
