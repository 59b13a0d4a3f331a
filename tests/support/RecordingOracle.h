#pragma once
// What a recorded run must come to, checked against what the program showed and wrote: the ticks and
// chart points a TRecordingSpy kept, and the run-log files (and journals) it left.
//
// A tick "must yield a row" when a run was being recorded, the adapter was there and a status answer
// came since the handler's previous tick. A tick "may yield a row" when a run was being recorded, the
// adapter was there, no status answer came since the previous tick, but one came later from the same
// handler before the next connection loss (the row repeats values that the heater then confirmed). No
// other tick may yield a row. Every row shows as one group of chart points with the tick's x, and the
// chart points and the rows are the same: each file holds, in order, a stretch of the points of one
// run (one handler, one chart, no connection loss within), and every point is in exactly one file.
#include "support/RecordingSpy.h"
#include <QByteArray>
#include <QList>
#include <QString>

struct TRunFile {
    QString Name;     // the file's name (for a journal, the journal's)
    QByteArray Bytes; // the run log's bytes: header line, then rows, each ended by CR LF
    QString Where;    // how it came to be, for the report ("saved at 41.2 s", "journal")
};

struct TRecordingFault {
    QString Kind;   // a short fixed text; one kind is one fault
    QString Detail; // what, where, when
};

// The faults found; serialNumber is the heater's as the handler identified it (the file names').
QList<TRecordingFault> CheckRecording(const TRecordingSpy &spy, const QList<TRunFile> &files,
                                      const QString &serialNumber);
