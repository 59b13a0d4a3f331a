#include "current/CurrentTables.h"
#include "product/NumberText.h"
#include "product/Presentation.h"
#include "product/Product.h"

QString CurrentFaultName(quint8 code, const std::map<int, QString> &overrides)
{
    static const std::map<int, QString> names = {
        {1, QStringLiteral("HE overheating")},
        {2, QStringLiteral("Possible overheating on T sensor")},
        {4, QStringLiteral("Built-in T sensor failure")},
        {5, QStringLiteral("FI failure")},
        {6, QStringLiteral("T sensor failure")},
        {8, QStringLiteral("Flame failure")},
        {9, QStringLiteral("Plug failure")},
        {10, QStringLiteral("Air pump motor failure")},
        {12, QStringLiteral("Voltage boost")},
        {13, QStringLiteral("No further activation attempt is possible")},
        {15, QStringLiteral("Low voltage")},
        {16, QStringLiteral("Too long ventilation period")},
        {17, QStringLiteral("Fuel pump failure")},
        {20, QStringLiteral("No connection between Control panel and the heater")},
        {27, QStringLiteral("Air pump’ motor won’t rotate")},
        {28, QStringLiteral("Air pump’ motor won’t switch off")},
        {29, QStringLiteral("Flamout count exceeded")},
        {78, QStringLiteral("Flameout")},
    };
    if (const auto own = overrides.find(code); own != overrides.end())
        return own->second;
    const auto known = names.find(code);
    return known != names.end() ? known->second : QString();
}

QStringList CurrentCommonGridCaptions()
{
    return {QStringLiteral("Workmode"),     QStringLiteral("Worktime"),     QStringLiteral("SB"),
            QStringLiteral("ASB"),          QStringLiteral("FP Frequency"), QStringLiteral("Plug voltage"),
            QStringLiteral("FI")};
}

QStringList CurrentGridValues(const TProduct &product, double plugVoltage, const TGridUnits &units,
                              double row7Value)
{
    const QString degrees = QStringLiteral(" °C");
    return {
        product.StateText,
        QString::number(product.WorkTime) + units.Seconds,
        ShortestText(product.BlowerSet),
        ShortestText(product.BlowerActual),
        FixedText(product.FuelPumpFrequency, 2) + units.Hertz,
        plugVoltage > 0 ? FixedText(plugVoltage, 2) + units.Volts : QStringLiteral("0") + units.Volts,
        ShortestText(product.FlameIndicator) + degrees,
        ShortestText(row7Value) + degrees,
        ShortestText(product.TempPlate) + degrees,
        ShortestText(product.Voltage) + units.Volts,
        product.FaultText,
    };
}

QString CurrentRunLogHeader()
{
    return QStringLiteral("Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;"
                          "T ext. sens.;T plate;Voltage;FaultCode;");
}

QString CurrentRunLogRow(const TProduct &product, double plugVoltage)
{
    const QStringList fields = {
        QString::number(product.Stage),
        QString::number(product.Mode),
        QString::number(product.WorkTime),
        QString::number(product.StageTime),
        QString::number(product.ModeTime),
        FixedText(product.BlowerSet, 0),
        FixedText(product.BlowerActual, 0),
        FixedText(product.FuelPumpFrequency, 2),
        FixedText(plugVoltage, 1),
        FixedText(product.PlugPwm / 1000, 2),
        FixedText(product.FlameIndicator, 0),
        FixedText(product.TempExternal, 0),
        FixedText(product.TempPlate, 0),
        FixedText(product.Voltage, 2),
        QString::number(product.FaultCode),
    };
    return fields.join(QLatin1Char(';')) + QLatin1Char(';');
}

void AddCurrentChartPoints(TPresentation &view, const TProduct &product, double plugVoltage, double x,
                           double outletTemperature)
{
    view.AddPoint(TSeries::Tplate, x, product.TempPlate);
    view.AddPoint(TSeries::U, x, product.Voltage);
    view.AddPoint(TSeries::TNperiodX10, x, product.FuelPumpFrequency * 10);
    view.AddPoint(TSeries::Vust, x, product.BlowerSet);
    view.AddPoint(TSeries::Vcalc, x, product.BlowerActual);
    view.AddPoint(TSeries::Uplug, x, plugVoltage > 0 ? plugVoltage : 0);
    view.AddPoint(TSeries::DP, x, product.FlameIndicator);
    view.AddPoint(TSeries::Tout, x, outletTemperature);
}

double FuelPumpFromPeriod(quint32 raw)
{
    const double hertz = 15625.0 / (65536.0 - double(raw));
    return hertz < 0.25 ? 0 : hertz;
}
