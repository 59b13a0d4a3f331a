#pragma once
#include <QColor>
#include <QWidget>

// A 17 x 17 square filled with a series' colour; pressing it reports Pressed (the legend uses it to
// bring its series forward).
class TLegendSquare : public QWidget {
    Q_OBJECT
public:
    TLegendSquare(const QColor &color, QWidget *parent);
    QColor Color() const { return Fill; }

signals:
    void Pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor Fill;
};
