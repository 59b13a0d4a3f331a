#include "views/fGraph.h"
#include "views/BandSeries.h"
#include "views/Chart.h"
#include "views/LegendSquare.h"
#include "views/LineSeries.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString DesignLiquidCaption = QStringLiteral("T Liq.(°C)");
const QString DesignOverheatCaption = QStringLiteral("T overheat (°C)");
const QString DesignPlugCaption = QStringLiteral("Plug voltage (V)");
// The narrowest legend; it widens to its longest caption.
constexpr int LegendWidth = 153;
constexpr int CaptionLeft = 6 + 17 + 7;
constexpr int CaptionMargin = 6;
constexpr int EntryPitch = 24;
constexpr int LegendTop = 6;
// The stages' colours and names: the key above the charts and the band's read-out.
const QList<QPair<QColor, QString>> StageNames = {
    {StageColor::Pause, QStringLiteral("Pause")},
    {StageColor::Preparing, QStringLiteral("Preparing to launch")},
    {StageColor::Ignition, QStringLiteral("Ignition")},
    {StageColor::Burning, QStringLiteral("Burning")},
    {StageColor::SwitchingOff, QStringLiteral("Switching off")},
};
} // namespace

TfrmGraph::TfrmGraph(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Graphs"));
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedHeight(432);
    resize(1298, 432);

    pnlParams = new QWidget(this);
    pnlParams->setFixedHeight(25);
    lblSavePath = new QLabel(pnlParams);
    auto *paramsLayout = new QHBoxLayout(pnlParams);
    paramsLayout->setContentsMargins(4, 0, 4, 0);
    paramsLayout->addWidget(lblSavePath);
    paramsLayout->addStretch();

    pnlModesLegend = new QWidget(this);
    pnlModesLegend->setFixedHeight(24);
    BuildModesLegend();

    chtHiTemp = new TChart;
    lnsrsDP = chtHiTemp->AddLineSeries(QStringLiteral("lnsrsDP"), QColor(0xFF0000), 3);
    gntsrs3 = chtHiTemp->AddBandSeries(QStringLiteral("gntsrs3"), QColor(0x008000));
    lnsrsTout = chtHiTemp->AddLineSeries(QStringLiteral("lnsrsTout"), QColor(0x800080), 3);
    lnsrsToverheat = chtHiTemp->AddLineSeries(QStringLiteral("lnsrsToverheat"), QColor(0x0000FF), 3);
    lnsrsTplate = chtHiTemp->AddLineSeries(QStringLiteral("lnsrsTplate"), QColor(0x00FF00), 2);

    chtLoTemp = new TChart;
    chtLoTemp->SetValueMargin(0.03);
    lnsrsU = chtLoTemp->AddLineSeries(QStringLiteral("lnsrsU"), QColor(0x008000), 3);
    gntsrs2 = chtLoTemp->AddBandSeries(QStringLiteral("gntsrs2"), QColor(0xFFFF00));
    lnsrsTNperiodX10 = chtLoTemp->AddLineSeries(QStringLiteral("lnsrsTNperiodX10"), QColor(0xFF00FF), 2);
    lnsrsVust = chtLoTemp->AddLineSeries(QStringLiteral("lnsrsVust"), QColor(0x00FF00), 2);
    lnsrsVcalc = chtLoTemp->AddLineSeries(QStringLiteral("lnsrsVcalc"), QColor(0x808080), 2);
    lnsrsUplug = chtLoTemp->AddLineSeries(QStringLiteral("lnsrsUplug"), QColor(0xFF0000), 2);
    // The fuel pump series holds Hz x 10; its read-out shows Hz.
    chtLoTemp->SetTenthsSeries(lnsrsTNperiodX10);
    for (TBandSeries *band : {gntsrs3, gntsrs2})
        band->SetColorNames(StageNames);
    for (TChart *chart : {chtHiTemp, chtLoTemp}) {
        chart->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chart, &QWidget::customContextMenuRequested, this, [this, chart](const QPoint &pos) { ShowChartMenu(chart, pos); });
    }

    pnlT1 = BuildChartPanel(chtHiTemp, pnlLegendT1);
    AddLegendEntry(pnlLegendT1, 0, lnsrsDP, shp6, lbl6, QStringLiteral("T FI (°C)"));
    AddLegendEntry(pnlLegendT1, 1, lnsrsTout, shp7, lbl7, DesignLiquidCaption);
    AddLegendEntry(pnlLegendT1, 2, lnsrsToverheat, shp8, lbl8, DesignOverheatCaption);
    AddLegendEntry(pnlLegendT1, 3, lnsrsTplate, shp1, lbl1, QStringLiteral("T plate (°C)"));
    btn1 = new QPushButton(QStringLiteral("Cancel zoom"), pnlLegendT1);
    btn1->setGeometry(6, LegendTop + 4 * EntryPitch + 4, 100, 25);
    connect(btn1, &QPushButton::clicked, chtHiTemp, &TChart::CancelZoom);

    pnlT2 = BuildChartPanel(chtLoTemp, pnlLegendT2);
    AddLegendEntry(pnlLegendT2, 0, lnsrsU, shp2, lbl2, QStringLiteral("Voltage (V)"));
    AddLegendEntry(pnlLegendT2, 1, lnsrsUplug, shp16, lbl17, DesignPlugCaption);
    AddLegendEntry(pnlLegendT2, 2, lnsrsTNperiodX10, shp3, lbl3, QStringLiteral("FP frequency (Hz x10)"));
    AddLegendEntry(pnlLegendT2, 3, lnsrsVust, shp4, lbl4, QStringLiteral("SB"));
    AddLegendEntry(pnlLegendT2, 4, lnsrsVcalc, shp5, lbl5, QStringLiteral("ASB"));
    btn2 = new QPushButton(QStringLiteral("Cancel zoom"), pnlLegendT2);
    btn2->setGeometry(6, LegendTop + 5 * EntryPitch + 4, 100, 25);
    connect(btn2, &QPushButton::clicked, chtLoTemp, &TChart::CancelZoom);
    FitLegend();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlParams);
    layout->addWidget(pnlModesLegend);
    layout->addWidget(pnlT1, 1);
    layout->addWidget(pnlT2, 1);
}

void TfrmGraph::BuildModesLegend()
{
    auto *layout = new QHBoxLayout(pnlModesLegend);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    auto *title = new QLabel(QStringLiteral("Workmodes:"), pnlModesLegend);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    for (const auto &[color, name] : StageNames) {
        layout->addSpacing(8);
        layout->addWidget(new TLegendSquare(color, pnlModesLegend));
        layout->addWidget(new QLabel(QStringLiteral("- ") + name, pnlModesLegend));
    }
    layout->addStretch();
}

QWidget *TfrmGraph::BuildChartPanel(TChart *chart, QWidget *&legendPanel)
{
    auto *panel = new QWidget(this);
    panel->setMinimumHeight(190);
    legendPanel = new QWidget(panel);
    legendPanel->setFixedWidth(LegendWidth);
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    chart->setParent(panel);
    layout->addWidget(chart, 1);
    layout->addWidget(legendPanel);
    return panel;
}

void TfrmGraph::AddLegendEntry(QWidget *panel, int row, TLineSeries *series, TLegendSquare *&square, QLabel *&caption,
                               const QString &text)
{
    const int top = LegendTop + row * EntryPitch;
    square = new TLegendSquare(series->pen().color(), panel);
    square->move(6, top);
    caption = new QLabel(text, panel);
    caption->move(CaptionLeft, top);
    auto *chart = static_cast<TChart *>(series->parentPlot());
    connect(square, &TLegendSquare::Pressed, chart, [chart, series] { chart->MoveLater(series); });
}

void TfrmGraph::FitLegend()
{
    // Every caption is shown whole: a cut "FP frequency (Hz x10)" would tell the wrong scale.
    const QList<QLabel *> captions = {lbl6, lbl7, lbl8, lbl1, lbl2, lbl17, lbl3, lbl4, lbl5};
    int width = LegendWidth;
    for (QLabel *caption : captions) {
        caption->resize(caption->fontMetrics().horizontalAdvance(caption->text()) + 2, 17);
        width = qMax(width, CaptionLeft + caption->width() + CaptionMargin);
    }
    pnlLegendT1->setFixedWidth(width);
    pnlLegendT2->setFixedWidth(width);
}

void TfrmGraph::ResetLegend()
{
    for (QWidget *entry : {static_cast<QWidget *>(shp8), static_cast<QWidget *>(lbl8), static_cast<QWidget *>(shp3),
                           static_cast<QWidget *>(lbl3), static_cast<QWidget *>(shp16), static_cast<QWidget *>(lbl17)})
        entry->show();
    lbl7->setText(DesignLiquidCaption);
    lbl8->setText(DesignOverheatCaption);
    lbl17->setText(DesignPlugCaption);
    FitLegend();
}

void TfrmGraph::HideLegendEntry(TLegendEntry entry)
{
    switch (entry) {
    case TLegendEntry::Overheat:
        return HideOverheatEntry();
    case TLegendEntry::FpFrequency:
        return HideFpFrequencyEntry();
    case TLegendEntry::PlugVoltage:
        return HidePlugVoltageEntry();
    }
}

void TfrmGraph::SetLegendCaption(TLegendCaption caption, const QString &text)
{
    switch (caption) {
    case TLegendCaption::Liquid:
        return SetLiquidCaption(text);
    case TLegendCaption::Overheat:
        return SetOverheatCaption(text);
    }
}

void TfrmGraph::SetLiquidCaption(const QString &caption)
{
    lbl7->setText(caption);
    FitLegend();
}

void TfrmGraph::SetOverheatCaption(const QString &caption)
{
    lbl8->setText(caption);
    FitLegend();
}

void TfrmGraph::HideOverheatEntry()
{
    shp8->hide();
    lbl8->hide();
}

void TfrmGraph::HideFpFrequencyEntry()
{
    shp3->hide();
    lbl3->hide();
}

void TfrmGraph::HidePlugVoltageEntry()
{
    shp16->hide();
    lbl17->hide();
}

TLineSeries *TfrmGraph::Graph(TSeries series) const
{
    switch (series) {
    case TSeries::DP: return lnsrsDP;
    case TSeries::Tout: return lnsrsTout;
    case TSeries::Toverheat: return lnsrsToverheat;
    case TSeries::Tplate: return lnsrsTplate;
    case TSeries::U: return lnsrsU;
    case TSeries::TNperiodX10: return lnsrsTNperiodX10;
    case TSeries::Vust: return lnsrsVust;
    case TSeries::Vcalc: return lnsrsVcalc;
    case TSeries::Uplug: return lnsrsUplug;
    }
    return nullptr;
}

TChart *TfrmGraph::ChartOf(TSeries series) const
{
    return static_cast<TChart *>(Graph(series)->parentPlot());
}

TBandSeries *TfrmGraph::Band(TBand band) const
{
    return band == TBand::Upper ? gntsrs3 : gntsrs2;
}

void TfrmGraph::AddPoint(TSeries series, double x, double y)
{
    ChartOf(series)->AddPoint(Graph(series), x, y);
}

void TfrmGraph::AddBandBar(TBand band, double start, double end, const QColor &color)
{
    TChart *chart = band == TBand::Upper ? chtHiTemp : chtLoTemp;
    chart->AddBandBar(Band(band), start, end, 1, color);
}

void TfrmGraph::ClearCharts()
{
    chtHiTemp->ClearSeries();
    chtLoTemp->ClearSeries();
}

void TfrmGraph::ReplotNow()
{
    chtHiTemp->replot(QCustomPlot::rpImmediateRefresh);
    chtLoTemp->replot(QCustomPlot::rpImmediateRefresh);
}

void TfrmGraph::SetSavePath(const QString &text)
{
    lblSavePath->setText(text);
}

QString TfrmGraph::SavePath() const
{
    return lblSavePath->text();
}

void TfrmGraph::Place()
{
    // Only the live window, hosted in the main window, is placed; a saved run's window of its own
    // stays where it was put.
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame || frame->isMinimized() || frame->isMaximized() || frame->isHidden())
        return;
    // The frame holds the whole client area: title bar and borders come on top of its height.
    if (frame->height() != frame->sizeHint().height())
        frame->resize(frame->width(), frame->sizeHint().height());
    // Placement is best effort: a failure leaves the window where it is.
    try {
        emit PlaceWanted();
    } catch (...) {
    }
}

bool TfrmGraph::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            frame->installEventFilter(this);
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Show)
        Place();
    return handled;
}

bool TfrmGraph::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget()) {
        // Placed when shown; after that the user may resize or maximise it at will.
        if (event->type() == QEvent::Show)
            Place();
    }
    return QWidget::eventFilter(watched, event);
}
