#include "views/LegendSquare.h"
#include <QMouseEvent>
#include <QPainter>

TLegendSquare::TLegendSquare(const QColor &color, QWidget *parent) : QWidget(parent), Fill(color)
{
    setFixedSize(17, 17);
}

void TLegendSquare::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(Fill);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TLegendSquare::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit Pressed();
}
