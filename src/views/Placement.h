#pragma once
#include <QList>
#include <QRect>
#include <QSize>

// Where a secondary window opens: whole inside the part of the main window's work area that is on
// the screen, never over the Start and Stop buttons, and over the windows to be kept in sight only
// when there is no room beside them. A window larger than the room left is made smaller, down to its
// minimum. All rectangles are in one coordinate system (the screen's).
struct TPlacement {
    QRect Screen;            // the screen's available geometry
    QRect Area;              // the main window's work area, where the windows live
    QRect KeepFree;          // the Start and Stop buttons: never covered
    QList<QRect> RatherFree; // windows to keep in sight where the room allows
};

// The frame geometry for a window of this size (and this minimum size).
QRect PlaceWindow(const TPlacement &where, QSize wanted, QSize minimum);

// A window with a place of its own (wanted): there when it lies whole in the room and leaves the
// buttons free; otherwise made smaller and moved up or right as little as the room asks.
QRect PlaceNear(const TPlacement &where, const QRect &wanted, QSize minimum);
