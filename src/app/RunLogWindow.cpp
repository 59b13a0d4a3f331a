#include "app/RunLogWindow.h"
#include "app/Globals.h"
#include "app/RunLogReplay.h"
#include "app/fMain.h"
#include "core/Dialogs.h"
#include "product/Presentation.h"
#include "product/RunLogFile.h"
#include "product/RunLogReader.h"
#include "views/GraphPresentation.h"
#include "views/fGraph.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>

namespace {
// The system's title bar and borders around a window of its own, before it is shown and measured.
constexpr int Decoration = 32;
constexpr int Gap = 4;
// A chart panel as short as its legend (five entries and the zoom button), and the window with both
// under the save-path line and the stage key.
constexpr int ShortestChartPanel = 160;
constexpr int ShortestReview = 2 * ShortestChartPanel + 25 + 24;

// The heater and the moment a run log's name tells ("[serial] yyyy-mm-dd hh-mm-ss.csv"), with the
// models that write its header; the file's own time when the name is not one the program gave.
TChartRun RunOfFile(const QString &path, const TRunLogContent &content)
{
    TChartRun run;
    run.Heater.Model = RunLogModels(content);
    static const QRegularExpression named(QStringLiteral("^\\[(.*)\\] (\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d)"));
    const QRegularExpressionMatch match = named.match(QFileInfo(path).fileName());
    if (match.hasMatch()) {
        if (match.captured(1) != UnidentifiedSerialNumber())
            run.Heater.SerialNumber = match.captured(1);
        run.Date = QDateTime::fromString(match.captured(2), QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    }
    if (!run.Date.isValid())
        run.Date = QFileInfo(path).lastModified();
    return run;
}

} // namespace

QRect ReviewGeometry(const QRect &live, const QRect &screen, int height)
{
    const int below = screen.bottom() - live.bottom() - Gap - Decoration;
    const int above = live.top() - screen.top() - Gap - Decoration;
    const bool under = below >= above;
    const int room = under ? below : above;
    const int fitted = qMax(ShortestReview, qMin(height, room));
    if (fitted > room)
        return {live.left(), screen.bottom() - fitted + 1, live.width(), fitted};
    const int top = under ? live.bottom() + Gap + Decoration : live.top() - Gap - fitted;
    return {live.left(), top, live.width(), fitted};
}

namespace {
void PlaceReview(TfrmMain &main, TfrmGraph &review)
{
    QWidget *live = frmGraph->parentWidget() ? frmGraph->parentWidget() : frmGraph;
    const QRect liveOnScreen(live->parentWidget() ? live->parentWidget()->mapToGlobal(live->pos()) : live->pos(),
                             live->size());
    QScreen *screen = main.screen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), liveOnScreen.bottomRight());
    review.setGeometry(ReviewGeometry(liveOnScreen, available, review.height()));
}
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
    // A window of its own with the system's frame (close box, minimise, maximise), over the main
    // window and closed with it; it may be made as short as both charts allow.
    auto *graph = new TfrmGraph(&main);
    graph->setWindowFlags(Qt::Window);
    graph->setAttribute(Qt::WA_DeleteOnClose);
    graph->setWindowTitle(name);
    graph->setMinimumHeight(ShortestReview);
    graph->setMaximumHeight(QWIDGETSIZE_MAX);
    graph->pnlT1->setMinimumHeight(ShortestChartPanel);
    graph->pnlT2->setMinimumHeight(ShortestChartPanel);
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)})
        QObject::connect(new QShortcut(keys, graph), &QShortcut::activated, graph, &QWidget::close);
    graph->SetRunSource([run = RunOfFile(path, content)] { return run; });
    TGraphPresentation view(*graph);
    ReplayRunLog(content, view);
    PlaceReview(main, *graph);
    graph->show();
    return graph;
}
