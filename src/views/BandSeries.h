#pragma once
#include <QColor>
#include <QVector>
#include <qcustomplot.h>

// The stage band: horizontal bars at one y value, each with its own colour. The handlers add one bar
// per tick from the stage's start to now; a bar that repeats the previous bar's start and colour only
// extends it (the picture is the same as drawing every bar), so a day's run keeps a handful of bars.
// Only the bars inside the visible key range are painted.
class TBandSeries : public QCPAbstractPlottable {
    Q_OBJECT
public:
    struct TBar {
        double Start;
        double End;
        double Y;
        QColor Color;
    };

    TBandSeries(QCPAxis *keyAxis, QCPAxis *valueAxis);

    // What the colours of the bars stand for, for the read-out.
    void SetColorNames(const QList<QPair<QColor, QString>> &names) { ColorNames = names; }
    // The name of the bar's colour, or an empty text for a colour without one.
    QString NameOf(const TBar &bar) const;

    void AddBar(double start, double end, double y, const QColor &color);
    void Clear();
    const QVector<TBar> &Bars() const { return BarList; }
    // Index of the bar under the pixel position, the latest drawn on top first, or -1.
    int BarAt(const QPointF &pos) const;
    // Bar thickness in pixels.
    static constexpr double Thickness = 10;

    double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter *painter) override;
    void drawLegendIcon(QCPPainter *painter, const QRectF &rect) const override;

private:
    QRectF PixelRect(const TBar &bar) const;

    QVector<TBar> BarList;
    QList<QPair<QColor, QString>> ColorNames;
};
