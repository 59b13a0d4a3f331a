#include "app/RunLogReplay.h"
#include "legacy_air/AirProduct.h"
#include "legacy_liquid/Hydrel7Tables.h"
#include "product/Product.h"
#include "product/Presentation.h"
#include <QColor>
#include <functional>
#include <optional>
#include <vector>

namespace {
// A series fed from one column, scaled; negative values drawn at 0 where the live chart does so.
struct TColumnSeries {
    TSeries Series;
    int Column;
    double Scale = 1;
    bool NotBelowZero = false;
};

struct TRunLogLayout {
    QString Models; // the models whose handlers write this header
    QString Header;
    int StageColumn;
    std::function<std::optional<QColor>(int stage)> BandColor;
    std::vector<TColumnSeries> Series;
};

std::optional<QColor> Hydrel7Band(int stage)
{
    if (stage < 0 || stage > 255)
        return std::nullopt;
    return Hydrel7::StageBand(quint8(stage));
}

// The columns of the current family's fifteen-column row, whichever language its header is in.
std::vector<TColumnSeries> CurrentSeries()
{
    return {{TSeries::Tplate, 12},     {TSeries::U, 13},    {TSeries::TNperiodX10, 7, 10}, {TSeries::Vust, 5},
            {TSeries::Vcalc, 6},       {TSeries::Uplug, 8, 1, true}, {TSeries::DP, 10},    {TSeries::Tout, 11}};
}

std::vector<TColumnSeries> AirSeries(bool fuelPump)
{
    std::vector<TColumnSeries> series = {{TSeries::Tplate, 6}, {TSeries::U, 7}, {TSeries::Vust, 1},
                                         {TSeries::Vcalc, 2},  {TSeries::DP, 4}, {TSeries::Tout, 5}};
    if (fuelPump)
        series.push_back({TSeries::TNperiodX10, 3, 10});
    return series;
}

const std::vector<TRunLogLayout> &Layouts()
{
    static const std::vector<TRunLogLayout> layouts = {
        {QStringLiteral("Hydrel-7S / Zephal-1 / Zephal-33 [new rev.]"),
         QStringLiteral("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;"
                        "T ext. sens.;T plate;Voltage;FaultCode;"),
         0, TProduct::StageKeyColor, CurrentSeries()},
        {QStringLiteral("Hydrel-7S"),
         QStringLiteral("Стадия;режим;Вр.Работы;Вр.на стадии;Вр. на режиме;Об.заданные;Об.считанные;Частота ТН;"
                        "U свечи;Импульс ШИМ свечи/1000;ИП;Т внешн. датчика;T платы;U;Неисправность;"),
         0, TProduct::StageKeyColor, CurrentSeries()},
        {QStringLiteral("Corva-mini"),
         QStringLiteral("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;Pump;Relay;"
                        "FI;T liq.;T overheat;T plate;Voltage;FaultCode;"),
         0, TProduct::StageKeyColor,
         {{TSeries::Tplate, 15}, {TSeries::U, 16}, {TSeries::TNperiodX10, 7, 10}, {TSeries::Vust, 5}, {TSeries::Vcalc, 6},
          {TSeries::Uplug, 8, 1, true}, {TSeries::DP, 12}, {TSeries::Tout, 13}, {TSeries::Toverheat, 14}}},
        {QStringLiteral("Zephal-3/-33/-6 [old rev.]"), QStringLiteral("Stage;SB;ASB;FP frequency;FI;T ext. sensor;T plate;Voltage;FaultCode;"), 0, TAirProduct::AirStageColor, AirSeries(true)},
        {QStringLiteral("Corva"), QStringLiteral("Stage;SB;ASB;FP frequency;FI;T overheat;T plate;Voltage;FaultCode;"), 0, TAirProduct::AirStageColor, AirSeries(false)},
        {QStringLiteral("Hydrel-7"), QStringLiteral("WorkMode;WorkTime;SB;ASB;FP Freq.;Plug voltage;FI;T liq.1;T liq.2;T plate;U;Relay;Pump;Faultcode;"),
         0, Hydrel7Band,
         {{TSeries::Tplate, 9}, {TSeries::U, 10}, {TSeries::TNperiodX10, 4, 10}, {TSeries::Vust, 2}, {TSeries::Vcalc, 3},
          {TSeries::Uplug, 5}, {TSeries::DP, 6}, {TSeries::Tout, 7}, {TSeries::Toverheat, 8}}},
    };
    return layouts;
}

const TRunLogLayout *LayoutOf(const QString &header)
{
    for (const TRunLogLayout &layout : Layouts())
        if (layout.Header == header)
            return &layout;
    return nullptr;
}

// The column a series is drawn from; nullptr when the file has none for it.
const TColumnSeries *ColumnOf(const TRunLogLayout &layout, TSeries series)
{
    for (const TColumnSeries &column : layout.Series)
        if (column.Series == series)
            return &column;
    return nullptr;
}

// The legend as the file's columns say: the outlet and overheat lines under the captions of the
// columns they are drawn from, and no entry for a line the file does not hold.
void ShowLegend(const TRunLogLayout &layout, const TRunLogContent &content, TPresentation &view)
{
    view.ResetLegend();
    const QList<QPair<TLegendEntry, TSeries>> optional = {{TLegendEntry::Overheat, TSeries::Toverheat},
                                                          {TLegendEntry::FpFrequency, TSeries::TNperiodX10},
                                                          {TLegendEntry::PlugVoltage, TSeries::Uplug}};
    for (const auto &[entry, series] : optional)
        if (!ColumnOf(layout, series))
            view.HideLegendEntry(entry);
    const QList<QPair<TLegendCaption, TSeries>> named = {{TLegendCaption::Liquid, TSeries::Tout},
                                                         {TLegendCaption::Overheat, TSeries::Toverheat}};
    for (const auto &[caption, series] : named)
        if (const TColumnSeries *column = ColumnOf(layout, series))
            view.SetLegendCaption(caption, content.Columns.value(column->Column) + QStringLiteral(" (°C)"));
}
} // namespace

QString RunLogModels(const TRunLogContent &content)
{
    const TRunLogLayout *layout = LayoutOf(content.Header);
    return layout ? layout->Models : QString();
}

QString RunLogHeaderProblem(const TRunLogContent &content)
{
    if (LayoutOf(content.Header))
        return QString();
    return QStringLiteral("Line 1: the header is not that of a run log of this program.");
}

void ReplayRunLog(const TRunLogContent &content, TPresentation &view)
{
    const TRunLogLayout *layout = LayoutOf(content.Header);
    if (!layout)
        return;
    view.ClearCharts();
    ShowLegend(*layout, content, view);
    // As on the live chart: the row of tick t stands at t seconds; a stage's bar runs from the tick
    // before its first row to the row in hand.
    int stageStart = 0;
    for (qsizetype i = 0; i < content.Rows.size(); ++i) {
        const QList<double> &row = content.Rows[i];
        const int tick = int(i + 1);
        const int stage = int(row[layout->StageColumn]);
        if (i > 0 && stage != int(content.Rows[i - 1][layout->StageColumn]))
            stageStart = tick - 1;
        const double x = double(tick) / 86400;
        if (const std::optional<QColor> color = layout->BandColor(stage)) {
            view.AddBandBar(TBand::Lower, double(stageStart) / 86400, x, *color);
            view.AddBandBar(TBand::Upper, double(stageStart) / 86400, x, *color);
        }
        for (const TColumnSeries &series : layout->Series) {
            const double value = row[series.Column] * series.Scale;
            view.AddPoint(series.Series, x, series.NotBelowZero && value < 0 ? 0 : value);
        }
    }
}
