#pragma once
#include <qcustomplot.h>

// A line series of the graphs window. Wide solid lines without antialiasing are not stroked segment
// by segment: mostly vertical segments and steps of one pixel (the whole picture of a dense run,
// where each pixel column shows the span between its lowest and highest point) become one filled
// span per pixel column, widened to the pen's width, and longer mostly horizontal segments are
// drawn as 1-pixel lines stacked to the pen's width. The pixels form the same band as the wide pen,
// and a day of points redraws several times faster.
class TLineSeries : public QCPGraph {
    Q_OBJECT
public:
    TLineSeries(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis) {}

protected:
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;
};
