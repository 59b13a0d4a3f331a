#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The line of the older air heaters and pre-heaters:
//   request  C, C                      (one command code, sent twice)
//   answer   S, D1, D2, (S+D1+D2) mod 256
//   dump     256 EEPROM bytes, then their sum mod 256 (the answer to command 24)
// An answer names no command: it belongs to the command in flight.

constexpr int AirAnswerSize = 4;
constexpr int AirDumpSize = 257;
constexpr quint8 AirDumpCommand = 24;

// The two bytes that carry a command.
QByteArray AirRequest(quint8 code);
// What a request of the poll cycle asks, in words ("fuel-pump"); the code itself for any other.
QString AirRequestName(quint8 code);
// True when the first four bytes form an answer with a matching sum; fewer than four bytes never do.
bool isCRC4ok(const QByteArray &data);
bool isCRC4ok(const char *data, qsizetype size);
// True when the last byte is the sum of all the bytes before it; an empty block never passes.
bool isBlockCRCok(const QByteArray &block);

// What the reader handed on and what it dropped, so that every byte is accounted for.
struct TAirDrops {
    qint64 Answers = 0;      // four-byte answers handed on
    qint64 SkippedBytes = 0; // bytes dropped while looking for an answer
    qint64 Dumps = 0;        // dumps whose sum matched
    qint64 BadDumps = 0;     // dumps whose sum failed (their 257 bytes are dropped)
};

enum class TAirCut {
    Waiting, // not enough bytes yet
    Answer,  // Bytes holds a four-byte answer
    Dump,    // Bytes holds a 257-byte dump with a matching sum
    BadDump, // a 257-byte dump failed its sum and was dropped
};

struct TAirCutResult {
    TAirCut Kind = TAirCut::Waiting;
    QByteArray Bytes;
    QByteArray Skipped; // the bytes dropped before the answer (or before giving up for now)
};

// Rules that differ between the models: whether an answer with status byte 0 is one (a pre-heater
// never sends status 0, so there it is noise).
struct TAirFraming {
    bool AcceptZeroStatus = true;
};

// Cuts the next answer from the front of buffer. While a dump is expected the first 257 bytes are
// the dump, whole or not at all. Otherwise bytes that do not begin a valid answer are dropped one by
// one until one does or fewer than four bytes remain. Consumed bytes leave the buffer in one step.
TAirCutResult CutAirAnswer(QByteArray &buffer, bool dumpExpected, const TAirFraming &rules,
                           TAirDrops *drops = nullptr);
