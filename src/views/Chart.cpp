#include "views/Chart.h"
#include "views/BandSeries.h"
#include "views/LineSeries.h"
#include "views/TimeTicker.h"
#include "product/NumberText.h"
#include <cmath>

QString ReadoutNumber(double value)
{
    QString text = QLocale().toString(value, 'f', 3);
    const QString point = QLocale().decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

// The read-out texts, drawn over the chart on the buffered overlay layer, so a mouse move redraws
// this layer alone and not the data.
class TReadoutLayer : public QCPLayerable {
public:
    explicit TReadoutLayer(TChart *chart) : QCPLayerable(chart, QStringLiteral("overlay")), Chart(chart) {}

protected:
    void applyDefaultAntialiasingHint(QCPPainter *painter) const override
    {
        painter->setAntialiasing(false);
    }

    void draw(QCPPainter *painter) override
    {
        const QPoint at = Chart->ReadoutPosition();
        const QFontMetrics metrics(Chart->font());
        painter->setFont(Chart->font());
        // The time of the point shown, one line above the values.
        if (!Chart->Readout().isEmpty() && !Chart->ReadoutTime().isEmpty()) {
            const QString text = QStringLiteral("  ") + Chart->ReadoutTime();
            const QRect box(at.x(), at.y() - 15 - metrics.height(), metrics.horizontalAdvance(text), metrics.height());
            painter->fillRect(box, Qt::white);
            painter->setPen(Qt::black);
            painter->drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
        }
        for (const TChart::TReadoutText &item : Chart->Readout()) {
            const QString text = QStringLiteral("  ") + item.Text;
            const QRect box(at.x(), at.y() - 15, metrics.horizontalAdvance(text), metrics.height());
            painter->fillRect(box, Qt::white);
            painter->setPen(item.Color);
            painter->drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
        }
    }

    QRect clipRect() const override { return mParentPlot->viewport(); }

private:
    TChart *Chart;
};

TChart::TChart(QWidget *parent) : QCustomPlot(parent)
{
    setBackground(Qt::white);
    legend->setVisible(false);
    xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TTimeTicker));
    // Dense lines without antialiasing: a day of points must redraw within a frame.
    setNotAntialiasedElements(QCP::aePlottables);
    setSelectionRectMode(QCP::srmZoom);
    ReadoutLayer = new TReadoutLayer(this);
    connect(this, &QCustomPlot::beforeReplot, this, &TChart::BeforeFullReplot);
}

TChart::~TChart() = default;

TLineSeries *TChart::AddLineSeries(const QString &name, const QColor &color, int width)
{
    auto *series = new TLineSeries(xAxis, yAxis);
    series->setName(name);
    series->setPen(QPen(color, width));
    series->setAntialiased(false);
    series->setSelectable(QCP::stNone);
    return series;
}

TBandSeries *TChart::AddBandSeries(const QString &name, const QColor &color)
{
    auto *band = new TBandSeries(xAxis, yAxis);
    band->setName(name);
    band->setPen(QPen(color));
    band->setBrush(color);
    band->setAntialiased(false);
    return band;
}

void TChart::Extend(double x, double y)
{
    if (std::isnan(x) || std::isnan(y))
        return;
    if (!HasData) {
        KeyMin = KeyMax = x;
        ValueMin = ValueMax = y;
        HasData = true;
        return;
    }
    KeyMin = qMin(KeyMin, x);
    KeyMax = qMax(KeyMax, x);
    ValueMin = qMin(ValueMin, y);
    ValueMax = qMax(ValueMax, y);
}

void TChart::AddPoint(TLineSeries *series, double x, double y)
{
    series->AddPoint(x, y);
    Extend(x, y);
    replot(rpQueuedReplot);
}

void TChart::AddBandBar(TBandSeries *band, double start, double end, double y, const QColor &color)
{
    band->AddBar(start, end, y, color);
    Extend(start, y);
    Extend(end, y);
    replot(rpQueuedReplot);
}

void TChart::ClearSeries()
{
    for (int i = 0; i < plottableCount(); ++i) {
        if (auto *series = qobject_cast<TLineSeries *>(plottable(i)))
            series->Clear();
        else if (auto *band = qobject_cast<TBandSeries *>(plottable(i)))
            band->Clear();
    }
    HasData = false;
    replot(rpQueuedReplot);
}

QList<QCPAbstractPlottable *> TChart::DrawingOrder() const
{
    QList<QCPAbstractPlottable *> order;
    for (QCPLayerable *item : layer(QStringLiteral("main"))->children())
        if (auto *series = qobject_cast<QCPAbstractPlottable *>(item))
            order.append(series);
    return order;
}

QStringList TChart::DrawingOrderNames() const
{
    QStringList names;
    for (QCPAbstractPlottable *series : DrawingOrder())
        names.append(series->name());
    return names;
}

bool TChart::MoveLater(QCPAbstractPlottable *series)
{
    QList<QCPAbstractPlottable *> order = DrawingOrder();
    const int at = order.indexOf(series);
    if (at < 0 || at + 1 >= order.size())
        return false;
    order.swapItemsAt(at, at + 1);
    // A layer draws its children in the order they joined it: all leave and rejoin in the new order.
    QCPLayer *main = layer(QStringLiteral("main"));
    QCPLayer *aside = layer(QStringLiteral("background"));
    for (QCPAbstractPlottable *item : order)
        item->setLayer(aside);
    for (QCPAbstractPlottable *item : order)
        item->setLayer(main);
    replot(rpQueuedReplot);
    return true;
}

void TChart::CancelZoom()
{
    IsZoomed = false;
    replot(rpQueuedReplot);
}

void TChart::processRectZoom(QRect rect, QMouseEvent *event)
{
    // Set before the zoom's own replot, so that the automatic ranges leave the new ranges alone.
    IsZoomed = true;
    QCustomPlot::processRectZoom(rect, event);
}

void TChart::BeforeFullReplot()
{
    // A redraw of the chart wipes the read-out, as drawing over the canvas would.
    if (!ReadoutOnly) {
        ReadoutTexts.clear();
        ReadoutTimeText.clear();
    }
    if (IsZoomed || !HasData)
        return;
    const double minKeySpan = 1.0 / 86400.0;
    double keyLow = KeyMin, keyHigh = KeyMax;
    if (keyHigh - keyLow < minKeySpan) {
        keyLow -= minKeySpan;
        keyHigh += minKeySpan;
    }
    double valueLow = ValueMin, valueHigh = ValueMax;
    if (valueHigh - valueLow <= 0) {
        valueLow -= 1;
        valueHigh += 1;
    }
    const double margin = (valueHigh - valueLow) * ValueMargin / (1 - 2 * ValueMargin);
    xAxis->setRange(keyLow, keyHigh);
    yAxis->setRange(valueLow - margin, valueHigh + margin);
}

int TChart::HitTest(QCPAbstractPlottable *series, const QPointF &pos) const
{
    if (auto *band = qobject_cast<TBandSeries *>(series))
        return band->BarAt(pos);
    auto *line = qobject_cast<TLineSeries *>(series);
    if (!line || line->Points().Count() == 0 || !line->realVisibility())
        return -1;
    const double tolerance = qMax(3.0, line->pen().widthF() / 2 + 2);
    double lowKey = xAxis->pixelToCoord(pos.x() - tolerance);
    double highKey = xAxis->pixelToCoord(pos.x() + tolerance);
    if (lowKey > highKey)
        std::swap(lowKey, highKey);
    bool found = false;
    const QCPRange values = line->ValueSpan(lowKey, highKey, found);
    if (!found)
        return -1;
    double top = yAxis->coordToPixel(values.upper), bottom = yAxis->coordToPixel(values.lower);
    if (top > bottom)
        std::swap(top, bottom);
    if (pos.y() < top - tolerance || pos.y() > bottom + tolerance)
        return -1;
    return line->NearestIndex(xAxis->pixelToCoord(pos.x()));
}

QString TChart::ValueText(QCPAbstractPlottable *series, double value) const
{
    if (series == TenthsSeries)
        return ShortestText(value / 10);
    return ReadoutNumber(value);
}

QList<TChart::TReadoutText> TChart::ReadoutAt(const QPointF &pos) const
{
    QList<TReadoutText> texts;
    for (QCPAbstractPlottable *series : DrawingOrder()) {
        const int index = HitTest(series, pos);
        if (index < 0)
            continue;
        QString text;
        if (auto *line = qobject_cast<TLineSeries *>(series)) {
            text = ValueText(series, line->Points().ValueAt(index));
        } else if (auto *band = qobject_cast<TBandSeries *>(series)) {
            const TBandSeries::TBar &bar = band->Bars().at(index);
            text = band->NameOf(bar);
            if (text.isEmpty())
                text = ValueText(series, bar.Y);
        }
        texts.append({text, series->pen().color()});
    }
    return texts;
}

QString TChart::ReadoutTimeAt(const QPointF &pos) const
{
    // The first line under the position in drawing order gives the time.
    for (QCPAbstractPlottable *series : DrawingOrder()) {
        auto *line = qobject_cast<TLineSeries *>(series);
        const int index = line ? HitTest(series, pos) : -1;
        if (index >= 0)
            return TTimeTicker::FullLabel(line->Points().KeyAt(index));
    }
    return {};
}

void TChart::ShowReadout(const QPoint &pos)
{
    ReadoutTexts = ReadoutAt(pos);
    ReadoutTimeText = ReadoutTimeAt(pos);
    ReadoutPos = pos;
    // The mouse is over the chart: a buffer of its own lets each move redraw the read-out alone.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmBuffered);
    ReadoutOnly = true;
    layer(QStringLiteral("overlay"))->replot();
    ReadoutOnly = false;
}

void TChart::mouseMoveEvent(QMouseEvent *event)
{
    QCustomPlot::mouseMoveEvent(event);
    ShowReadout(event->pos());
}

bool TChart::ReadoutBuffered() const
{
    return layer(QStringLiteral("overlay"))->mode() == QCPLayer::lmBuffered;
}

void TChart::leaveEvent(QEvent *event)
{
    QCustomPlot::leaveEvent(event);
    // Off the chart the read-out goes, and its buffer with it: the chart then keeps one buffer.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    replot(rpQueuedReplot);
}
