#pragma once
#include "product/Presentation.h"
#include <QList>
#include <QString>

// What one presentation tick of a recorded run adds: its chart points and stage bars, and its run-log
// row. A tick is kept back until a status answer shows that the heater still answered after it, and
// then goes to the graphs and the run log together; a tick after the heater's last answer goes
// nowhere. So the graphs and the saved file always hold the same rows.
class TRecordedTick : public TPresentation {
public:
    void AddPoint(TSeries series, double x, double y) override { Points.append({series, x, y}); }
    void AddBandBar(TBand band, double start, double end, const QColor &color) override
    {
        Bars.append({band, start, end, color});
    }
    // The points and bars, in the order they were added, to the real charts.
    void DrawOn(TPresentation &charts) const
    {
        for (const TBar &bar : Bars)
            charts.AddBandBar(bar.Band, bar.Start, bar.End, bar.Color);
        for (const TPoint &point : Points)
            charts.AddPoint(point.Series, point.X, point.Y);
    }

    QString Row;

private:
    struct TPoint {
        TSeries Series;
        double X;
        double Y;
    };
    struct TBar {
        TBand Band;
        double Start;
        double End;
        QColor Color;
    };
    QList<TPoint> Points;
    QList<TBar> Bars;
};
