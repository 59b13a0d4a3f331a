#pragma once
#include "views/LinePoints.h"
#include <qcustomplot.h>

// A line series of the graphs window. Its points are its own lean store; a redraw reads only the
// points it shows: every visible point while there are few per pixel column, else per pixel column
// its first, lowest, highest and last point, the lowest and highest from the store's summary. So a
// redraw costs the same for an hour's run as for a week's. Wide solid lines on screen are filled
// rather than stroked (DrawWideLine); thin, antialiased or vector output is a plain polyline.
class TLineSeries : public QCPAbstractPlottable {
    Q_OBJECT
public:
    TLineSeries(QCPAxis *keyAxis, QCPAxis *valueAxis);

    void AddPoint(double key, double value) { PointList.Append(key, value); }
    // Removes every point.
    void Clear() { PointList.Clear(); }
    const TLinePoints &Points() const { return PointList; }

    // Index of the point nearest in time to key, or -1 without points.
    int NearestIndex(double key) const;
    // The lowest and highest value the line takes from one key to the other, the lines to the points
    // just outside included; found is false where the line does not reach.
    QCPRange ValueSpan(double fromKey, double toKey, bool &found) const;

    double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter *painter) override;
    void drawLegendIcon(QCPPainter *painter, const QRectF &rect) const override;

private:
    // The line as pixel points, as described above; NaN where it breaks.
    QVector<QPointF> PixelPath() const;

    TLinePoints PointList;
};
