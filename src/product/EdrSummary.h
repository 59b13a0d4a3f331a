#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

// What an EDR image says as values rather than report lines: the heater's running counters and the
// fault records it holds, so that two reads of one heater can be compared.

// A counter that only grows over the heater's life (ignition attempts, seconds at a power level).
struct TEdrCounter {
    QString Name; // as the report labels it, without the colon, e.g. "Ignition attempts"
    QString Unit; // "" for a count, "s" for seconds
    quint64 Value = 0;
};

// A fault record that holds a fault (the empty slots of the heater's record ring are left out).
struct TEdrFault {
    int Record = 0; // the record's place in the report's table, from 1
    int Code = 0;
    QString Name;        // the fault in words; empty for a code without a name
    qint64 Time = -1;    // the heater's operating time when it was written, in the record's own unit
                         // (seconds or hours); -1 where the record has none
    int Count = -1;      // the count the record keeps with it (attempts, repeats); -1 where it has none
};

struct TEdrSummary {
    QList<TEdrCounter> Counters;
    QList<TEdrFault> Faults;
};
