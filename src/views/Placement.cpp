#include "views/Placement.h"
#include <algorithm>
#include <optional>

namespace {
// Space left between a window and what it keeps free.
constexpr int Gap = 10;

qint64 AreaOf(const QRect &rect)
{
    return rect.isValid() ? qint64(rect.width()) * rect.height() : 0;
}

// The parts of the room around the buttons, right of them first: that is where the work area's
// width is, as the buttons stand at its left edge.
QList<QRect> FreeStrips(const QRect &room, const QRect &keepFree)
{
    if (!keepFree.intersects(room))
        return {room};
    const QList<QRect> strips = {
        QRect(QPoint(keepFree.right() + 1 + Gap, room.top()), room.bottomRight()),
        QRect(QPoint(room.left(), keepFree.bottom() + 1 + Gap), room.bottomRight()),
        QRect(room.topLeft(), QPoint(keepFree.left() - 1 - Gap, room.bottom())),
        QRect(room.topLeft(), QPoint(room.right(), keepFree.top() - 1 - Gap)),
    };
    QList<QRect> free;
    for (const QRect &strip : strips)
        if (const QRect inside = strip.intersected(room); !inside.isEmpty())
            free << inside;
    return free;
}

// Top-left corners worth trying in a strip: its own, and just past each window to keep in sight.
QList<QPoint> Corners(const QRect &strip, const QList<QRect> &ratherFree)
{
    QList<QPoint> corners{strip.topLeft()};
    for (const QRect &other : ratherFree) {
        corners << QPoint(strip.left(), other.bottom() + 1 + Gap) << QPoint(other.right() + 1 + Gap, strip.top());
    }
    return corners;
}

struct TCandidate {
    QRect Geometry;
    bool FitsMinimum = false;
    qint64 Covered = 0; // of the windows to keep in sight
};

// A candidate is better when it can be as small as the window allows, then when it hides less of
// the windows kept in sight, then when it is larger; on a tie the earlier one stays.
bool Better(const TCandidate &a, const TCandidate &b)
{
    if (a.FitsMinimum != b.FitsMinimum)
        return a.FitsMinimum;
    if (a.Covered != b.Covered)
        return a.Covered < b.Covered;
    return AreaOf(a.Geometry) > AreaOf(b.Geometry);
}
} // namespace

QRect PlaceWindow(const TPlacement &where, QSize wanted, QSize minimum)
{
    QRect room = where.Screen.intersected(where.Area);
    if (room.isEmpty())
        room = where.Area;
    std::optional<TCandidate> best;
    for (const QRect &strip : FreeStrips(room, where.KeepFree)) {
        const QSize size = wanted.boundedTo(strip.size()).expandedTo(QSize(1, 1));
        const bool fits = minimum.width() <= strip.width() && minimum.height() <= strip.height();
        for (const QPoint &corner : Corners(strip, where.RatherFree)) {
            const int x = std::clamp(corner.x(), strip.left(), std::max(strip.left(), strip.right() + 1 - size.width()));
            const int y = std::clamp(corner.y(), strip.top(), std::max(strip.top(), strip.bottom() + 1 - size.height()));
            TCandidate candidate{QRect(QPoint(x, y), size), fits, 0};
            for (const QRect &other : where.RatherFree)
                candidate.Covered += AreaOf(candidate.Geometry.intersected(other));
            if (!best || Better(candidate, *best))
                best = candidate;
        }
    }
    if (!best)
        return QRect(room.topLeft(), wanted.boundedTo(room.size()));
    return best->Geometry;
}

QRect PlaceNear(const TPlacement &where, const QRect &wanted, QSize minimum)
{
    // The room from the wanted corner on: the window keeps its place where that room holds it.
    TPlacement fromCorner = where;
    fromCorner.Area = QRect(wanted.topLeft(), where.Area.bottomRight()).intersected(where.Area);
    const QRect room = fromCorner.Area.intersected(where.Screen.isEmpty() ? fromCorner.Area : where.Screen);
    if (room.width() >= minimum.width() && room.height() >= minimum.height())
        return PlaceWindow(fromCorner, wanted.size(), minimum);
    return PlaceWindow(where, wanted.size(), minimum);
}
