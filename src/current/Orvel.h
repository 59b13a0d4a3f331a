#pragma once
#include "current/CurrentProduct.h"

// The liquid heater "Hydrel-7S" on the current protocol, at 2400 baud, with fuel pumping and the
// circulation pump.
class TOrvel : public TCurrentProduct {
public:
    TOrvel();

    QString ClassName() const override { return QStringLiteral("TOrvel"); }
    QString ModelName() const override { return QStringLiteral("Hydrel-7S"); }

    void UpdateStateText() override;
    void RunPump(quint16 minutes) override;

    // The run-log row of the current values.
    QString RunLogRow() const override;
    QString RunLogHeader() const override;
    QString PumpFuelRunLogHeader() const override;

protected:
    void DecodeStatusFields(const QByteArray &frame) override;
    QString FaultName(quint8 code) const override;
    void FillStringGrid() override;
    void AddChartPoints(TPresentation &charts, double x) override;
    bool BlowerAllowedWhileLaunched() const override;
    QStringList EdrReport() const override;
};
