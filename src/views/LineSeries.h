#pragma once
#include "views/LineSeriesSummary.h"
#include <qcustomplot.h>

// A line series of the graphs window. Wide solid lines without antialiasing are not stroked segment
// by segment: mostly vertical segments and steps of one pixel (the whole picture of a dense run,
// where each pixel column shows the span between its lowest and highest point) become one filled
// span per pixel column, widened to the pen's width, and longer mostly horizontal segments are
// drawn as 1-pixel lines stacked to the pen's width. The pixels form the same band as the wide pen,
// and a day of points redraws several times faster.
// Where a pixel column holds many points, the column's lowest and highest value come from a summary
// of the points in blocks, so a redraw costs the same for an hour's run as for a week's.
class TLineSeries : public QCPGraph {
    Q_OBJECT
public:
    TLineSeries(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis) {}

    // Removes every point.
    void Clear();
    // Index of the point nearest in time to key, or -1 without points.
    int NearestIndex(double key) const;
    // The lowest and highest value the line takes from one key to the other, the lines to the points
    // just outside included; found is false where the line does not reach.
    QCPRange ValueSpan(double fromKey, double toKey, bool &found) const;

protected:
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;
    void getOptimizedLineData(QVector<QCPGraphData> *lineData, const QCPGraphDataContainer::const_iterator &begin,
                              const QCPGraphDataContainer::const_iterator &end) const override;

private:
    // Brings the summary up to the data: the points appended since, or all points again when the
    // data was cleared or replaced behind its back (seen as fewer points, or another value where
    // the last summarised point was).
    void UpdateSummary() const;

    mutable TLineSeriesSummary Summary;
    mutable double LastSummarized = 0;
};
