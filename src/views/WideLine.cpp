#include "views/WideLine.h"
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
bool IsValid(const QPointF &point)
{
    return !std::isnan(point.x()) && !std::isnan(point.y());
}

// Cuts the segment to the part inside the rectangle, keeping its direction (a neighbour point far
// outside the zoomed ranges keeps the slope it has on screen); false when nothing is inside.
bool ClipTo(const QRectF &rect, QPointF &a, QPointF &b)
{
    double enter = 0, leave = 1;
    const QPointF delta = b - a;
    auto cut = [&](double towards, double room) {
        if (towards == 0)
            return room >= 0;
        const double t = room / towards;
        if (towards < 0)
            enter = qMax(enter, t);
        else
            leave = qMin(leave, t);
        return enter <= leave;
    };
    if (!cut(-delta.x(), a.x() - rect.left()) || !cut(delta.x(), rect.right() - a.x())
        || !cut(-delta.y(), a.y() - rect.top()) || !cut(delta.y(), rect.bottom() - a.y()))
        return false;
    const QPointF from = a;
    a = from + enter * delta;
    b = from + leave * delta;
    return true;
}

// The rows covered in each pixel column of the plot by the mostly vertical segments.
class TColumnSpans {
public:
    TColumnSpans(int left, int right) : Left(left), Low(right - left + 1, INT_MAX), High(right - left + 1, INT_MIN) {}

    // The segment's rows per column, as a 1-pixel line from a to b fills them.
    void AddSteep(QPoint a, QPoint b)
    {
        if (a.x() > b.x())
            std::swap(a, b);
        const int top = qMin(a.y(), b.y()), bottom = qMax(a.y(), b.y());
        if (a.x() == b.x()) {
            Add(a.x(), top, bottom);
            return;
        }
        const double slope = double(b.y() - a.y()) / (b.x() - a.x());
        for (int x = qMax(a.x(), Left); x <= qMin(b.x(), Right()); ++x) {
            const double from = a.y() + (x - 0.5 - a.x()) * slope;
            const double to = a.y() + (x + 0.5 - a.x()) * slope;
            Add(x, qMax(top, int(std::lround(qMin(from, to)))), qMin(bottom, int(std::lround(qMax(from, to)))));
        }
    }

    // A step of at most one pixel either way, widened to the pen's rows; the widening across the
    // columns in Fill stands for the square caps of such a short piece.
    void AddRows(QPoint a, QPoint b, int first, int width)
    {
        Add(a.x(), a.y() + first, a.y() + first + width - 1);
        Add(b.x(), b.y() + first, b.y() + first + width - 1);
    }

    // Fills each column with the union of the spans of the columns up to the pen's reach to either
    // side, as the same lines drawn side by side at 1-pixel steps would; neighbouring columns with
    // the same span become one rectangle, and all rectangles go to the painter in one call.
    void Fill(QPainter *painter, const QColor &color, int first, int width) const
    {
        QVector<QRect> rects;
        int runStart = 0, runLow = INT_MAX, runHigh = INT_MIN;
        for (int i = 0; i <= int(Low.size()); ++i) {
            int low = INT_MAX, high = INT_MIN;
            if (i < int(Low.size()))
                for (int k = i - first - width + 1; k <= i - first; ++k)
                    if (k >= 0 && k < int(Low.size())) {
                        low = qMin(low, Low[k]);
                        high = qMax(high, High[k]);
                    }
            if (low == runLow && high == runHigh)
                continue;
            if (runLow <= runHigh)
                rects.append(QRect(Left + runStart, runLow, i - runStart, runHigh - runLow + 1));
            runStart = i;
            runLow = low;
            runHigh = high;
        }
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(color);
        painter->drawRects(rects.constData(), int(rects.size()));
        painter->restore();
    }

private:
    int Right() const { return Left + int(Low.size()) - 1; }

    void Add(int x, int low, int high)
    {
        if (x < Left || x > Right() || low > high)
            return;
        Low[x - Left] = qMin(Low[x - Left], low);
        High[x - Left] = qMax(High[x - Left], high);
    }

    int Left;
    std::vector<int> Low, High;
};
} // namespace

void DrawWideLine(QPainter *painter, const QVector<QPointF> &lines, const QPen &pen, const QRect &clip)
{
    const int width = qRound(pen.widthF());
    // A segment is widened across its main direction: stacked rows for a mostly horizontal one,
    // side-by-side columns for a mostly vertical one. Its ends reach half the width further, as
    // the square caps of the wide pen do, so the joints stay closed. Segments are cut to a margin
    // around the plot first, which keeps the pixel arithmetic in range; the clip hides the margin.
    const int first = -(width / 2);
    const int reach = width / 2;
    const QRectF limits = clip.adjusted(-clip.width(), -clip.height(), clip.width(), clip.height());
    TColumnSpans spans(clip.left() - width, clip.right() + width);
    QVector<QLine> rows;
    rows.reserve(width * 16);
    for (int i = 1; i < lines.size(); ++i) {
        if (!IsValid(lines[i - 1]) || !IsValid(lines[i]))
            continue;
        QPointF from = lines[i - 1], to = lines[i];
        if (!ClipTo(limits, from, to))
            continue;
        QPoint a = from.toPoint(), b = to.toPoint();
        const int dx = b.x() - a.x(), dy = b.y() - a.y();
        if (std::abs(dx) <= 1 && std::abs(dy) <= 1) {
            spans.AddRows(a, b, first, width);
        } else if (std::abs(dx) >= std::abs(dy)) {
            const int sign = dx >= 0 ? 1 : -1;
            a.rx() -= sign * reach;
            b.rx() += sign * reach;
            for (int k = first; k < first + width; ++k)
                rows.append(QLine(a + QPoint(0, k), b + QPoint(0, k)));
        } else {
            const int sign = dy >= 0 ? 1 : -1;
            a.ry() -= sign * reach;
            b.ry() += sign * reach;
            spans.AddSteep(a, b);
        }
    }
    spans.Fill(painter, pen.color(), first, width);
    QPen thin = pen;
    thin.setWidth(0);
    painter->setPen(thin);
    painter->drawLines(rows.constData(), int(rows.size()));
    painter->setPen(pen);
}
