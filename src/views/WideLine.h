#pragma once
#include <QPen>
#include <QRect>
#include <QVector>

class QPainter;

// Draws a line of a wide solid pen without antialiasing through the pixel points, without stroking
// it: mostly vertical segments and steps of one pixel (the whole picture of a dense run, where each
// pixel column shows the span between its lowest and highest point) become one filled span per pixel
// column, widened to the pen's width, and longer mostly horizontal segments are drawn as 1-pixel lines
// stacked to the pen's width. The pixels form the same band as the wide pen, several times faster.
// A point with a NaN coordinate breaks the line. clip is the plot's area.
void DrawWideLine(QPainter *painter, const QVector<QPointF> &points, const QPen &pen, const QRect &clip);
