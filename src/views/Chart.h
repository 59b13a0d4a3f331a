#pragma once
#include <QColor>
#include <QList>
#include <QStringList>
#include <qcustomplot.h>

class TBandSeries;
class TLineSeries;
class TReadoutLayer;

// The value text of a read-out: "#,##0.###" with the locale's separators.
QString ReadoutNumber(double value);

// One chart of the graphs window over QCustomPlot: line and band series in a drawing order that
// can change, a date-time bottom axis labelled "nn:ss", automatic ranges until the user zooms with a
// dragged rectangle, and the hover read-out drawn on its own layer, buffered while the mouse is over
// the chart.
class TChart : public QCustomPlot {
    Q_OBJECT
public:
    struct TReadoutText {
        QString Text;
        QColor Color;
    };

    explicit TChart(QWidget *parent = nullptr);
    ~TChart() override;

    TLineSeries *AddLineSeries(const QString &name, const QColor &color, int width);
    TBandSeries *AddBandSeries(const QString &name, const QColor &color);
    // A series whose values are tenths: its read-out shows the value / 10 in general format.
    void SetTenthsSeries(QCPAbstractPlottable *series) { TenthsSeries = series; }
    // Keeps this fraction of the plot height empty above and below the data (automatic ranges).
    void SetValueMargin(double fraction) { ValueMargin = fraction; }

    void AddPoint(TLineSeries *series, double x, double y);
    void AddBandBar(TBandSeries *band, double start, double end, double y, const QColor &color);
    void ClearSeries();

    // The series from first drawn to last drawn (the last is in front).
    QList<QCPAbstractPlottable *> DrawingOrder() const;
    QStringList DrawingOrderNames() const;
    // Swaps the series with the next one in the drawing order and redraws; false when it is last.
    bool MoveLater(QCPAbstractPlottable *series);

    bool Zoomed() const { return IsZoomed; }
    // Back to automatic ranges.
    void CancelZoom();

    // Index of the point of a series under the pixel position, or -1. A line is under the position
    // when it passes within a few pixels of it; its point is then the one nearest in time.
    int HitTest(QCPAbstractPlottable *series, const QPointF &pos) const;
    // The read-out texts for a mouse position: one per series under it, in drawing order; a line
    // gives its point's value, the stage band the name of the stage.
    QList<TReadoutText> ReadoutAt(const QPointF &pos) const;
    // The time of the point the read-out shows ("hh:mm:ss"), empty when it shows none.
    QString ReadoutTimeAt(const QPointF &pos) const;
    // Replaces the read-out by the one at pos and redraws the read-out layer alone.
    void ShowReadout(const QPoint &pos);
    const QList<TReadoutText> &Readout() const { return ReadoutTexts; }
    const QString &ReadoutTime() const { return ReadoutTimeText; }
    QPoint ReadoutPosition() const { return ReadoutPos; }
    // Whether the read-out has a buffer of its own (only while the mouse is over the chart).
    bool ReadoutBuffered() const;

protected:
    void processRectZoom(QRect rect, QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void BeforeFullReplot();
    void Extend(double x, double y);
    QString ValueText(QCPAbstractPlottable *series, double value) const;

    QCPAbstractPlottable *TenthsSeries = nullptr;
    double ValueMargin = 0;
    bool IsZoomed = false;
    // Extents of everything added since the last clear, for the automatic ranges.
    bool HasData = false;
    double KeyMin = 0, KeyMax = 0, ValueMin = 0, ValueMax = 0;

    TReadoutLayer *ReadoutLayer = nullptr;
    QList<TReadoutText> ReadoutTexts;
    QString ReadoutTimeText;
    QPoint ReadoutPos;
    bool ReadoutOnly = false;
};
