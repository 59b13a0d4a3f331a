#include "app/RunLogWindow.h"
#include "app/RunLogReplay.h"
#include "app/fMain.h"
#include "core/Dialogs.h"
#include "product/Presentation.h"
#include "product/RunLogReader.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>

namespace {
// The charts of one graphs window, as a handler would feed them.
class TGraphPresentation : public TPresentation {
public:
    explicit TGraphPresentation(TfrmGraph &graph) : Graph(graph) {}
    void ClearCharts() override { Graph.ClearCharts(); }
    void AddPoint(TSeries series, double x, double y) override { Graph.AddPoint(series, x, y); }
    void AddBandBar(TBand band, double start, double end, const QColor &color) override
    {
        Graph.AddBandBar(band, start, end, color);
    }

private:
    TfrmGraph &Graph;
};
} // namespace

TfrmGraph *OpenRunLogWindow(TfrmMain &main, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return nullptr;
    }
    TRunLogContent content = ReadRunLogBytes(file.readAll());
    if (content.Error.isEmpty())
        content.Error = RunLogHeaderProblem(content);
    if (!content.Error.isEmpty()) {
        ShowMessage(QStringLiteral("\"%1\" is not a run log. %2").arg(name, content.Error));
        return nullptr;
    }
    auto *graph = new TfrmGraph;
    graph->setWindowTitle(name);
    TGraphPresentation view(*graph);
    ReplayRunLog(content, view);
    QObject::connect(graph, &TfrmGraph::PlaceWanted, &main, [&main, graph] { main.PlaceReview(graph); }, Qt::DirectConnection);
    QMdiSubWindow *frame = main.AddChild(graph);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
    return graph;
}
