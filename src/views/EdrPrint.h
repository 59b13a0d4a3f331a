#pragma once
#include "product/ExportName.h"
#include <QDateTime>
#include <QFont>
#include <QPageLayout>
#include <QStringList>

class QPrinter;

// The EDR report on paper: every line whole on the page width (the fault-record tables are wider
// than a portrait page), a header naming the heater and the time of the reading on every page, and
// the page number under it.

struct TEdrPrintLayout {
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QFont Font;           // the report's fixed-pitch font at the size that fits the widest line
    int LinesPerPage = 0; // report lines below the header
    int Pages = 0;
};

// Portrait when the widest line fits at the reading size, else landscape; the font shrinks below the
// reading size only as far as the widest line needs. Sets the printer's orientation.
TEdrPrintLayout LayOutEdrReport(QPrinter &printer, const QStringList &lines, const QFont &reportFont);
// "Corva-mini   serial number 934200004   firmware 3.1.1.2   read 2026-12-11 08:00:37".
QString EdrPageHeader(const THeaterIdentity &heater, const QDateTime &readAt);
// Lays the report out and prints it, page by page.
void PrintEdrReport(QPrinter &printer, const QStringList &lines, const QFont &reportFont, const QString &header);
