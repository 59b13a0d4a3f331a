#pragma once
#include "product/ExportName.h"
#include "product/Presentation.h"
#include <QColor>
#include <QDateTime>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QPainter;
class QPushButton;
class TBandSeries;
class TChart;
class TLegendSquare;
class TLineSeries;

// The heater and the run a graphs window shows, for the title of an exported chart and its file name.
struct TChartRun {
    THeaterIdentity Heater;
    QDateTime Date; // invalid: now
};

// The graphs window. The handlers put every point and band bar here; the window owns
// how they are drawn. X values are days (ticks / 86400), labelled "nn:ss". Either chart saves
// itself as a PNG picture or a PDF document from its context menu.
class TfrmGraph : public QWidget {
    Q_OBJECT
public:
    explicit TfrmGraph(QWidget *parent = nullptr);

    // Legend entries back to their design-time state (all shown, captions as designed).
    void ResetLegend();
    void SetLiquidCaption(const QString &caption);   // lbl7
    void SetOverheatCaption(const QString &caption); // lbl8
    void HideOverheatEntry();                        // shp8, lbl8
    void HideFpFrequencyEntry();                     // shp3, lbl3
    void HidePlugVoltageEntry();                     // shp16, lbl17
    // The entries and captions a handler names.
    void HideLegendEntry(TLegendEntry entry);
    void SetLegendCaption(TLegendCaption caption, const QString &text);

    void AddPoint(TSeries series, double x, double y);
    void AddBandBar(TBand band, double start, double end, const QColor &color);
    // Clears every series of both charts.
    void ClearCharts();

    // lblSavePath.
    void SetSavePath(const QString &text);
    QString SavePath() const;

    // The chart and the plottable of a series or band.
    TChart *ChartOf(TSeries series) const;
    TLineSeries *Graph(TSeries series) const;
    TBandSeries *Band(TBand band) const;
    // Redraws both charts at once (the benchmarks; the window itself redraws on the next event).
    void ReplotNow();

    // Asks where to save a file: the dialog's caption, file filter and proposed path ("[serial]
    // yyyy-mm-dd hh-mm-ss chart.png" in the run-log folder); an empty answer cancels.
    using TSavePathAsker = std::function<QString(QWidget *parent, const QString &caption, const QString &filter,
                                                 const QString &proposed)>;
    // Replaces the file dialog (tests); nullptr restores it.
    void SetSavePathAsker(TSavePathAsker asker);
    // Where the heater and the date of the run shown come from (the live handler, a file's name).
    void SetRunSource(std::function<TChartRun()> source);
    // The title line of an exported chart: model, serial number, date of the run.
    QString ExportTitle() const;
    // Saves the chart as shown, with its legend, under the title line and the stage key, to a path
    // asked for (the extension added when none was typed, replacing a file only when the user agrees);
    // false when cancelled or not written (a message then says so).
    bool ExportPng(TChart *chart);
    bool ExportPdf(TChart *chart);

    QWidget *pnlParams, *pnlModesLegend, *pnlT1, *pnlT2, *pnlLegendT1, *pnlLegendT2;
    QLabel *lblSavePath;
    TChart *chtHiTemp, *chtLoTemp;
    TLineSeries *lnsrsDP, *lnsrsTout, *lnsrsToverheat, *lnsrsTplate;
    TLineSeries *lnsrsU, *lnsrsTNperiodX10, *lnsrsVust, *lnsrsVcalc, *lnsrsUplug;
    TBandSeries *gntsrs3, *gntsrs2;
    // Legend squares and their captions (lbl7, lbl8, lbl17 change per model).
    TLegendSquare *shp6, *shp7, *shp8, *shp1, *shp2, *shp16, *shp3, *shp4, *shp5;
    QLabel *lbl6, *lbl7, *lbl8, *lbl1, *lbl2, *lbl17, *lbl3, *lbl4, *lbl5;
    QPushButton *btn1, *btn2;

signals:
    // Its frame was shown, activated or resized: it wants its place beside the control panel, which
    // depends on the main window's width. The place is set before the emit returns.
    void PlaceWanted();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildModesLegend();
    QWidget *BuildChartPanel(TChart *chart, QWidget *&legendPanel);
    void AddLegendEntry(QWidget *panel, int row, TLineSeries *series, TLegendSquare *&square, QLabel *&caption,
                        const QString &text);
    void Place();
    void ShowChartMenu(TChart *chart, const QPoint &pos);
    QString AskSavePath(const QString &caption, const QString &filter, const QString &extension, const TChartRun &run);
    TChartRun Run() const;
    static QString TitleOf(const TChartRun &run);
    QSize ExportSize(TChart *chart) const;
    void PaintExport(QPainter &painter, TChart *chart, const QString &title);
    // Widens both legends to their longest caption.
    void FitLegend();

    TSavePathAsker SavePathAsker;
    std::function<TChartRun()> RunSource;
};
