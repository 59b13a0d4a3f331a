#include "core/Dialogs.h"
#include "views/Chart.h"
#include "views/fGraph.h"
#include <QFileDialog>
#include <QMenu>

void TfrmGraph::SetSavePathAsker(TSavePathAsker asker)
{
    SavePathAsker = std::move(asker);
}

QString TfrmGraph::AskSavePath(const QString &caption, const QString &filter)
{
    if (SavePathAsker)
        return SavePathAsker(this, caption, filter);
    return QFileDialog::getSaveFileName(this, caption, QString(), filter);
}

void TfrmGraph::ShowChartMenu(TChart *chart, const QPoint &pos)
{
    QMenu menu(chart);
    menu.addAction(QStringLiteral("Save chart as PNG..."), this, [this, chart] { ExportPng(chart); });
    menu.addAction(QStringLiteral("Save chart as PDF..."), this, [this, chart] { ExportPdf(chart); });
    menu.exec(chart->mapToGlobal(pos));
}

bool TfrmGraph::ExportPng(TChart *chart)
{
    const QString path = AskSavePath(QStringLiteral("Save chart as PNG"), QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty())
        return false;
    if (chart->savePng(path, chart->width(), chart->height()))
        return true;
    ShowMessage(QStringLiteral("The chart could not be saved to ") + path);
    return false;
}

bool TfrmGraph::ExportPdf(TChart *chart)
{
    const QString path = AskSavePath(QStringLiteral("Save chart as PDF"), QStringLiteral("PDF documents (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (chart->savePdf(path, chart->width(), chart->height()))
        return true;
    ShowMessage(QStringLiteral("The chart could not be saved to ") + path);
    return false;
}
