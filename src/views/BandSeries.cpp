#include "views/BandSeries.h"

TBandSeries::TBandSeries(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPAbstractPlottable(keyAxis, valueAxis)
{
    setSelectable(QCP::stNone);
}

void TBandSeries::AddBar(double start, double end, double y, const QColor &color)
{
    if (start > end)
        std::swap(start, end);
    if (!BarList.isEmpty()) {
        TBar &last = BarList.last();
        if (last.Start == start && last.Y == y && last.Color == color) {
            last.End = qMax(last.End, end);
            return;
        }
    }
    BarList.append({start, end, y, color});
}

QString TBandSeries::NameOf(const TBar &bar) const
{
    for (const auto &[color, name] : ColorNames)
        if (color == bar.Color)
            return name;
    return {};
}

void TBandSeries::Clear()
{
    BarList.clear();
}

QRectF TBandSeries::PixelRect(const TBar &bar) const
{
    const QPointF from = coordsToPixels(bar.Start, bar.Y);
    const QPointF to = coordsToPixels(bar.End, bar.Y);
    return QRectF(QPointF(qMin(from.x(), to.x()), from.y() - Thickness / 2),
                  QPointF(qMax(from.x(), to.x()), from.y() + Thickness / 2));
}

int TBandSeries::BarAt(const QPointF &pos) const
{
    if (!mKeyAxis || !mValueAxis)
        return -1;
    for (int i = BarList.size() - 1; i >= 0; --i)
        if (PixelRect(BarList[i]).adjusted(0, 0, 1, 0).contains(pos))
            return i;
    return -1;
}

double TBandSeries::selectTest(const QPointF &pos, bool onlySelectable, QVariant *) const
{
    if (onlySelectable && !mSelectable)
        return -1;
    return BarAt(pos) >= 0 ? 0 : -1;
}

QCPRange TBandSeries::getKeyRange(bool &foundRange, QCP::SignDomain) const
{
    foundRange = !BarList.isEmpty();
    if (!foundRange)
        return {};
    QCPRange range(BarList.first().Start, BarList.first().End);
    for (const TBar &bar : BarList) {
        range.lower = qMin(range.lower, bar.Start);
        range.upper = qMax(range.upper, bar.End);
    }
    return range;
}

QCPRange TBandSeries::getValueRange(bool &foundRange, QCP::SignDomain, const QCPRange &) const
{
    foundRange = !BarList.isEmpty();
    if (!foundRange)
        return {};
    QCPRange range(BarList.first().Y, BarList.first().Y);
    for (const TBar &bar : BarList)
        range.expand(bar.Y);
    return range;
}

void TBandSeries::draw(QCPPainter *painter)
{
    if (!mKeyAxis || !mValueAxis)
        return;
    const QCPRange visible = mKeyAxis->range();
    painter->setPen(Qt::NoPen);
    applyDefaultAntialiasingHint(painter);
    for (const TBar &bar : BarList) {
        if (bar.End < visible.lower || bar.Start > visible.upper)
            continue;
        QRectF rect = PixelRect(bar);
        // At least one pixel wide, so a bar of a single tick stays visible.
        if (rect.width() < 1)
            rect.setWidth(1);
        painter->setBrush(bar.Color);
        painter->drawRect(rect);
    }
}

void TBandSeries::drawLegendIcon(QCPPainter *painter, const QRectF &rect) const
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(mBrush);
    painter->drawRect(rect);
}
