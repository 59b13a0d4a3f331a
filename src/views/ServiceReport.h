#pragma once
#include "product/EdrSummary.h"
#include "product/ExportName.h"
#include "product/RunLogReader.h"
#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <functional>
#include <memory>

class QTextDocument;
class QWidget;
class TPresentation;

// A heater's service report for one day, on one or two pages: who the heater is, what its EDR read
// says and what changed since the read before, each of the day's runs with its graphs, and the faults
// seen, in words. The service history fills the input; this draws it.

struct TServiceReportInput {
    THeaterIdentity Heater;
    QDate Day;
    QDateTime EdrReadAt;     // the day's EDR read; invalid when there was none
    TEdrSummary Edr;         // its counters and fault records
    QString EdrChanges;      // what changed since the read before, in sentences; empty: no read before
    QStringList RunLogPaths; // the day's run logs, in the order they ran
    // Draws a run log's rows into a graphs window as a saved run is drawn again.
    std::function<void(const TRunLogContent &, TPresentation &)> DrawRun;
};

// The report laid out for A4 paper.
std::unique_ptr<QTextDocument> ServiceReportDocument(const TServiceReportInput &input);
// Writes the report as a PDF file; the message naming the fault, or empty when written.
QString WriteServiceReportPdf(const TServiceReportInput &input, const QString &path);
// "[serial] yyyy-mm-dd service report.pdf" in the run-log folder.
QString ProposedServiceReportPath(const TServiceReportInput &input);
// Asks whether to print the report (the print dialog) or save it as PDF (the file dialog, proposing
// the name above), and does it; a file that cannot be written is said in a message.
void OfferServiceReport(QWidget *parent, const TServiceReportInput &input);
