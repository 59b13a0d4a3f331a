#include "views/EdrPrint.h"
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace {
constexpr double ReadingPointSize = 10;
constexpr double SmallestPointSize = 4;
constexpr double HeaderPointSize = 9;
// Header and footer: one line each with a gap of half a line to the report.
constexpr double HeaderLines = 1.5;

QFont AtSize(const QFont &font, double pointSize)
{
    QFont sized = font;
    sized.setPointSizeF(pointSize);
    return sized;
}

QFont HeaderFont()
{
    QFont font;
    font.setPointSizeF(HeaderPointSize);
    return font;
}

double WidestLine(const QStringList &lines, const QFont &font, QPrinter &printer)
{
    const QFontMetricsF metrics(font, &printer);
    double widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

double PageWidth(QPrinter &printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution()).width();
}

double PageHeight(QPrinter &printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution()).height();
}

// The height the header and the footer take off every page.
double FrameHeight(QPrinter &printer)
{
    return 2 * HeaderLines * QFontMetricsF(HeaderFont(), &printer).lineSpacing();
}
} // namespace

TEdrPrintLayout LayOutEdrReport(QPrinter &printer, const QStringList &lines, const QFont &reportFont)
{
    TEdrPrintLayout layout;
    printer.setPageOrientation(QPageLayout::Portrait);
    if (WidestLine(lines, AtSize(reportFont, ReadingPointSize), printer) > PageWidth(printer))
        printer.setPageOrientation(QPageLayout::Landscape);
    layout.Orientation = printer.pageLayout().orientation();

    double size = ReadingPointSize;
    const double widest = WidestLine(lines, AtSize(reportFont, size), printer);
    if (widest > PageWidth(printer))
        size = qMax(SmallestPointSize, size * PageWidth(printer) / widest);
    // The advance is not exactly proportional to the size (hinting): step down until it fits.
    while (size > SmallestPointSize && WidestLine(lines, AtSize(reportFont, size), printer) > PageWidth(printer))
        size -= 0.1;
    layout.Font = AtSize(reportFont, size);

    const double lineHeight = QFontMetricsF(layout.Font, &printer).lineSpacing();
    layout.LinesPerPage = qMax(1, int((PageHeight(printer) - FrameHeight(printer)) / lineHeight));
    layout.Pages = qMax(1, int((lines.size() + layout.LinesPerPage - 1) / layout.LinesPerPage));
    return layout;
}

QString EdrPageHeader(const THeaterIdentity &heater, const QDateTime &readAt)
{
    QStringList parts;
    parts << (heater.Model.isEmpty() ? QStringLiteral("EDR") : heater.Model + QStringLiteral(" EDR"));
    if (!heater.SerialNumber.isEmpty())
        parts << QStringLiteral("serial number ") + heater.SerialNumber;
    if (!heater.Firmware.isEmpty())
        parts << QStringLiteral("firmware ") + heater.Firmware;
    if (readAt.isValid())
        parts << QStringLiteral("read ") + readAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return parts.join(QStringLiteral("   "));
}

void PrintEdrReport(QPrinter &printer, const QStringList &lines, const QFont &reportFont, const QString &header)
{
    const TEdrPrintLayout layout = LayOutEdrReport(printer, lines, reportFont);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const double width = PageWidth(printer);
    const double height = PageHeight(printer);
    const QFont headerFont = HeaderFont();
    const double headerLine = QFontMetricsF(headerFont, &printer).lineSpacing();
    const QFontMetricsF reportMetrics(layout.Font, &printer);
    for (int page = 0; page < layout.Pages; ++page) {
        if (page > 0)
            printer.newPage();
        painter.setFont(headerFont);
        const QString elided = QFontMetricsF(headerFont, &printer).elidedText(header, Qt::ElideRight, width);
        painter.drawText(QRectF(0, 0, width, headerLine), Qt::AlignLeft | Qt::AlignVCenter, elided);
        painter.drawLine(QPointF(0, headerLine * 1.2), QPointF(width, headerLine * 1.2));
        painter.drawText(QRectF(0, height - headerLine, width, headerLine), Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(layout.Pages));
        painter.setFont(layout.Font);
        double y = HeaderLines * headerLine + reportMetrics.ascent();
        const qsizetype first = qsizetype(page) * layout.LinesPerPage;
        for (qsizetype i = first; i < qMin(lines.size(), first + layout.LinesPerPage); ++i) {
            painter.drawText(QPointF(0, y), lines[i]);
            y += reportMetrics.lineSpacing();
        }
    }
    painter.end();
}
