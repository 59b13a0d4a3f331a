#include "views/fGraph.h"

namespace {
QStringList runLog;
}

TfrmGraph::TfrmGraph(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Graphs"));
    resize(1298, 432);
}

void TfrmGraph::ResetLegend() {}
void TfrmGraph::SetLiquidCaption(const QString &) {}
void TfrmGraph::SetOverheatCaption(const QString &) {}
void TfrmGraph::HideOverheatEntry() {}
void TfrmGraph::HideFpFrequencyEntry() {}
void TfrmGraph::HidePlugVoltageEntry() {}
void TfrmGraph::AddPoint(TSeries, double, double) {}
void TfrmGraph::AddBandBar(TBand, double, double, const QColor &) {}
void TfrmGraph::ClearCharts() {}
void TfrmGraph::SetSavePath(const QString &) {}
QString TfrmGraph::SavePath() const { return {}; }
void TfrmGraph::ClearRunLog() { runLog.clear(); }
void TfrmGraph::AppendRunLog(const QString &line) { runLog.append(line); }
const QStringList &TfrmGraph::RunLog() const { return runLog; }
