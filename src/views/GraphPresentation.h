#pragma once
#include "product/Presentation.h"
#include "views/fGraph.h"

// The charts and the legend of one graphs window, as a handler would feed them: what draws a saved
// run again (a review window, a service report) reaches its window through this.
class TGraphPresentation : public TPresentation {
public:
    explicit TGraphPresentation(TfrmGraph &graph) : Graph(graph) {}
    void ClearCharts() override { Graph.ClearCharts(); }
    void AddPoint(TSeries series, double x, double y) override { Graph.AddPoint(series, x, y); }
    void AddBandBar(TBand band, double start, double end, const QColor &color) override
    {
        Graph.AddBandBar(band, start, end, color);
    }
    void ResetLegend() override { Graph.ResetLegend(); }
    void HideLegendEntry(TLegendEntry entry) override { Graph.HideLegendEntry(entry); }
    void SetLegendCaption(TLegendCaption caption, const QString &text) override { Graph.SetLegendCaption(caption, text); }

private:
    TfrmGraph &Graph;
};
