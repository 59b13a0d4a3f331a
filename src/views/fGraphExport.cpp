// A chart leaving the program as a PNG picture or a PDF document: a title line naming the heater and
// the run, the stage key, and the chart with its legend, as the window shows them.
#include "core/Dialogs.h"
#include "product/RunLogFile.h"
#include "views/Chart.h"
#include "views/SavePath.h"
#include "views/fGraph.h"
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>

namespace {
constexpr int TitleHeight = 24;
} // namespace

void TfrmGraph::SetSavePathAsker(TSavePathAsker asker)
{
    SavePathAsker = std::move(asker);
}

void TfrmGraph::SetRunSource(std::function<TChartRun()> source)
{
    RunSource = std::move(source);
}

TChartRun TfrmGraph::Run() const
{
    TChartRun run = RunSource ? RunSource() : TChartRun{};
    if (!run.Date.isValid())
        run.Date = QDateTime::currentDateTime();
    return run;
}

QString TfrmGraph::ExportTitle() const
{
    return TitleOf(Run());
}

QString TfrmGraph::TitleOf(const TChartRun &run)
{
    QStringList parts;
    if (!run.Heater.Model.isEmpty())
        parts << run.Heater.Model;
    if (!run.Heater.SerialNumber.isEmpty())
        parts << QStringLiteral("serial number ") + run.Heater.SerialNumber;
    parts << QStringLiteral("run of ") + run.Date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return parts.join(QStringLiteral("   "));
}

QString TfrmGraph::AskSavePath(const QString &caption, const QString &filter, const QString &extension,
                               const TChartRun &run)
{
    const QString proposed = RunLogFolder()
                             + ExportFileName(run.Heater.SerialNumber, run.Date, QStringLiteral("chart"), extension);
    const QString chosen = SavePathAsker ? SavePathAsker(this, caption, filter, proposed)
                                         : FileDialogSavePath(this, caption, proposed, filter);
    return FinishSavePath(chosen, extension);
}

void TfrmGraph::ShowChartMenu(TChart *chart, const QPoint &pos)
{
    QMenu menu(chart);
    menu.addAction(QStringLiteral("Save chart as PNG..."), this, [this, chart] { ExportPng(chart); });
    menu.addAction(QStringLiteral("Save chart as PDF..."), this, [this, chart] { ExportPdf(chart); });
    menu.exec(chart->mapToGlobal(pos));
}

QSize TfrmGraph::ExportSize(TChart *chart) const
{
    const QWidget *panel = chart->parentWidget();
    return {panel->width(), TitleHeight + pnlModesLegend->height() + panel->height()};
}

void TfrmGraph::PaintExport(QPainter &painter, TChart *chart, const QString &title)
{
    QWidget *panel = chart->parentWidget();
    painter.fillRect(QRect(QPoint(0, 0), ExportSize(chart)), Qt::white);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, 0, panel->width() - 8, TitleHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
    pnlModesLegend->render(&painter, QPoint(0, TitleHeight));
    // The zoom buttons are for the screen, not the page.
    QPushButton *zoom = chart == chtHiTemp ? btn1 : btn2;
    zoom->hide();
    panel->render(&painter, QPoint(0, TitleHeight + pnlModesLegend->height()));
    zoom->show();
}

bool TfrmGraph::ExportPng(TChart *chart)
{
    // One moment for the proposed name and the title.
    const TChartRun run = Run();
    const QString path = AskSavePath(QStringLiteral("Save chart as PNG"), QStringLiteral("PNG pictures (*.png)"),
                                     QStringLiteral("png"), run);
    if (path.isEmpty())
        return false;
    QImage image(ExportSize(chart), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintExport(painter, chart, TitleOf(run));
    painter.end();
    if (image.save(path, "PNG"))
        return true;
    ShowMessage(QStringLiteral("The chart could not be saved to ") + path);
    return false;
}

bool TfrmGraph::ExportPdf(TChart *chart)
{
    // One moment for the proposed name and the title.
    const TChartRun run = Run();
    const QString path = AskSavePath(QStringLiteral("Save chart as PDF"), QStringLiteral("PDF documents (*.pdf)"),
                                     QStringLiteral("pdf"), run);
    if (path.isEmpty())
        return false;
    {
        // One page the size of the window's picture, at the screen's scale.
        QPdfWriter pdf(path);
        const QSize size = ExportSize(chart);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size.width() * 72.0 / 96, size.height() * 72.0 / 96), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (painter.begin(&pdf)) {
            PaintExport(painter, chart, TitleOf(run));
            if (painter.end())
                return true;
        }
    }
    QFile::remove(path);
    ShowMessage(QStringLiteral("The chart could not be saved to ") + path);
    return false;
}
