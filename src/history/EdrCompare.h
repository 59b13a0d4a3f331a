#pragma once
#include "product/EdrSummary.h"
#include <QDateTime>
#include <QList>
#include <QString>

// Two EDR reads of one heater compared: what its counters did between them and which fault records
// are new, in words for the service report and as rows for a table.

struct TEdrRead {
    QDateTime At;
    TEdrSummary Summary;
};

// One line of the table: a counter, or a fault code with its number of records in each read.
struct TEdrChangeRow {
    QString What;
    QString Before;
    QString After;
    QString Change; // "+14", "-149 (went back)", "+2 records"
};

struct TEdrComparison {
    // "Since 2026-03-02: ignition attempts up by 14, ...; new fault records: fault 13 'Overheat'
    // twice." A second sentence names counters that went backwards (a replaced control unit or a
    // reset recorder); with nothing changed, one sentence that says so.
    QString Text;
    QList<TEdrChangeRow> Rows;
    bool Changed = false;
};

// Counters are matched by name; a fault record is new when the older read holds no record with the
// same code, operating time and count (a record keeps them while the heater's ring moves on).
TEdrComparison CompareEdrReads(const TEdrRead &older, const TEdrRead &newer);
