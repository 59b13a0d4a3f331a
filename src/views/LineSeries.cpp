#include "views/LineSeries.h"
#include "views/WideLine.h"
#include <cmath>

TLineSeries::TLineSeries(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPAbstractPlottable(keyAxis, valueAxis)
{
    setBrush(Qt::NoBrush);
}

QVector<QPointF> TLineSeries::PixelPath() const
{
    QVector<QPointF> path;
    const QCPRange keys = mKeyAxis->range();
    const int from = qMax(0, PointList.LowerBound(keys.lower) - 1);
    const int to = qMin(PointList.Count(), PointList.UpperBound(keys.upper, from) + 1);
    if (from >= to)
        return path;
    const auto pixelOf = [this](int i) { return coordsToPixels(PointList.KeyAt(i), PointList.ValueAt(i)); };
    const double pixelSpan = qAbs(mKeyAxis->coordToPixel(PointList.KeyAt(to - 1)) - mKeyAxis->coordToPixel(PointList.KeyAt(from)));
    // Fewer than two points per pixel column on average: every point is drawn.
    if (mKeyAxis->scaleType() != QCPAxis::stLinear || mKeyAxis->orientation() != Qt::Horizontal
        || mKeyAxis->pixelOrientation() != 1 || mValueAxis->scaleType() != QCPAxis::stLinear
        || to - from < 2 * pixelSpan + 2) {
        path.reserve(to - from);
        for (int i = from; i < to; ++i)
            path.append(pixelOf(i));
        return path;
    }
    // Both axes are linear: the pixel of a key or value is a product and a sum.
    const QCPRange values = mValueAxis->range();
    const double keyPixel = mKeyAxis->coordToPixel(keys.lower);
    const double keyScale = (mKeyAxis->coordToPixel(keys.upper) - keyPixel) / keys.size();
    const double valuePixel = mValueAxis->coordToPixel(values.lower);
    const double valueScale = (mValueAxis->coordToPixel(values.upper) - valuePixel) / values.size();
    const auto x = [&](double key) { return keyPixel + (key - keys.lower) * keyScale; };
    const auto y = [&](double value) { return valuePixel + (value - values.lower) * valueScale; };
    // Per pixel column: its first point, its lowest and highest value, its last point. The line from
    // one column's last point to the next column's first is the line between those real points, and
    // the column is covered from its lowest to its highest value, as every point drawn would cover it.
    // The column is walked in units: single points, or, with several blocks of points per column,
    // whole blocks, each in the column of its first point (so a column's edge may move by part of a
    // block, far less than a pixel's worth of points).
    path.reserve(4 * int(pixelSpan + 2));
    const auto walk = [&](int first, int end, int pace, const auto &keyAt, const auto &lowerBound, const auto &spanOf) {
        for (int i = first; i < end;) {
            const double column = std::floor(x(keyAt(i)));
            const double endKey = keys.lower + (column + 1 - keyPixel) / keyScale;
            // A run's points come at a steady pace: the search for the column's end starts a little
            // before where that pace puts it, and from the column's start only when it overshot.
            const int guess = qMin(end, i + pace);
            const int searchFrom = guess > i + 1 && keyAt(guess - 1) < endKey ? guess : i + 1;
            const int next = qMin(end, qMax(i + 1, lowerBound(endKey, searchFrom)));
            const TLinePoints::TBlocksSpan span = spanOf(i, next);
            const bool hasValue = span.Values.Low <= span.Values.High;
            path.append(QPointF(column + 0.2, y(span.First)));
            path.append(QPointF(column + 0.25, hasValue ? y(span.Values.Low) : NAN));
            path.append(QPointF(column + 0.75, hasValue ? y(span.Values.High) : NAN));
            path.append(QPointF(column + 0.8, y(span.Last)));
            i = next;
        }
    };
    const int pointsPerColumn = int((to - from) / (pixelSpan + 1));
    const int blockPoints = TLinePoints::BlockPoints;
    if (pointsPerColumn >= 4 * blockPoints) {
        walk(
            from / blockPoints, (to + blockPoints - 1) / blockPoints, pointsPerColumn / blockPoints - 1,
            [this](int b) { return PointList.BlockKey(b); },
            [this](double key, int b) { return PointList.LowerBlock(key, b); },
            [this](int a, int b) { return PointList.BlocksSpan(a, b); });
    } else {
        walk(
            from, to, pointsPerColumn - 1, [this](int i) { return PointList.KeyAt(i); },
            [this](double key, int i) { return PointList.LowerBound(key, i); },
            [this](int a, int b) {
                return TLinePoints::TBlocksSpan{PointList.Span(a, b), PointList.ValueAt(a), PointList.ValueAt(b - 1)};
            });
    }
    return path;
}

void TLineSeries::draw(QCPPainter *painter)
{
    if (!mKeyAxis || !mValueAxis || mPen.style() == Qt::NoPen || mPen.color().alpha() == 0)
        return;
    const QVector<QPointF> path = PixelPath();
    if (path.size() < 2)
        return;
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    if (qRound(mPen.widthF()) > 1 && mPen.style() == Qt::SolidLine && !painter->antialiasing()
        && !painter->modes().testFlag(QCPPainter::pmVectorized)) {
        DrawWideLine(painter, path, mPen, clipRect());
        return;
    }
    // A polyline for each stretch without a break.
    const auto valid = [](const QPointF &p) { return !std::isnan(p.x()) && !std::isnan(p.y()); };
    for (qsizetype start = 0; start < path.size();) {
        while (start < path.size() && !valid(path[start]))
            ++start;
        qsizetype end = start;
        while (end < path.size() && valid(path[end]))
            ++end;
        if (end - start >= 2)
            painter->drawPolyline(path.constData() + start, int(end - start));
        start = end;
    }
}

void TLineSeries::drawLegendIcon(QCPPainter *painter, const QRectF &rect) const
{
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

int TLineSeries::NearestIndex(double key) const
{
    const int count = PointList.Count();
    if (count == 0)
        return -1;
    const int after = PointList.LowerBound(key);
    if (after == count)
        return count - 1;
    if (after == 0 || PointList.KeyAt(after) - key <= key - PointList.KeyAt(after - 1))
        return after;
    return after - 1;
}

QCPRange TLineSeries::ValueSpan(double fromKey, double toKey, bool &found) const
{
    const int count = PointList.Count();
    const int from = PointList.LowerBound(fromKey);
    const int to = PointList.UpperBound(toKey, from);
    TLineSeriesSummary::TSpan span = PointList.Span(from, to);
    // Where the window lies between two points, the line joining them crosses it.
    const auto addLineAt = [&](double key, int after) {
        if (after == 0 || after == count || PointList.KeyAt(after) == PointList.KeyAt(after - 1))
            return;
        const double keyA = PointList.KeyAt(after - 1), keyB = PointList.KeyAt(after);
        const double a = PointList.ValueAt(after - 1), b = PointList.ValueAt(after);
        const double value = a + (b - a) * (key - keyA) / (keyB - keyA);
        span.Low = qMin(span.Low, value);
        span.High = qMax(span.High, value);
    };
    addLineAt(fromKey, from);
    addLineAt(toKey, to);
    found = span.Low <= span.High;
    return QCPRange(span.Low, span.High);
}

double TLineSeries::selectTest(const QPointF &pos, bool onlySelectable, QVariant *) const
{
    if ((onlySelectable && mSelectable == QCP::stNone) || !mKeyAxis || !mValueAxis)
        return -1;
    // The distance in pixels from the line's span in the pixel column under the position.
    bool found = false;
    const QCPRange values = ValueSpan(mKeyAxis->pixelToCoord(pos.x() - 0.5), mKeyAxis->pixelToCoord(pos.x() + 0.5), found);
    if (!found)
        return -1;
    const double top = qMin(mValueAxis->coordToPixel(values.upper), mValueAxis->coordToPixel(values.lower));
    const double bottom = qMax(mValueAxis->coordToPixel(values.upper), mValueAxis->coordToPixel(values.lower));
    return pos.y() < top ? top - pos.y() : pos.y() > bottom ? pos.y() - bottom : 0;
}

QCPRange TLineSeries::getKeyRange(bool &foundRange, QCP::SignDomain) const
{
    foundRange = PointList.Count() > 0;
    return foundRange ? QCPRange(PointList.KeyAt(0), PointList.KeyAt(PointList.Count() - 1)) : QCPRange();
}

QCPRange TLineSeries::getValueRange(bool &foundRange, QCP::SignDomain, const QCPRange &) const
{
    const TLineSeriesSummary::TSpan span = PointList.Span(0, PointList.Count());
    foundRange = span.Low <= span.High;
    return foundRange ? QCPRange(span.Low, span.High) : QCPRange();
}
