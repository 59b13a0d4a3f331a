#pragma once
#include "current/CurrentProduct.h"
#include "current/CurrentTables.h"

// What the two air heaters on the current protocol share: their status answer, state texts, grid,
// chart points, run log and blower rule. A model adds its descriptor, the offset of its fault byte,
// its grid units, its fault-name overrides and its EDR.
class TAirHeater : public TCurrentProduct {
public:
    TAirHeater(const TCurrentModel &model, int faultOffset, const TGridUnits &units);
    // The descriptor entries both air heaters share (sections, legend, grid, refusal texts).
    static TCurrentModel SharedModel();

    void UpdateStateText() override;
    QString RunLogRow() const override;
    QString RunLogHeader() const override;

protected:
    void DecodeStatusFields(const QByteArray &frame) override;
    void FillStringGrid() override;
    void AddChartPoints(TPresentation &charts, double x) override;
    bool BlowerAllowedWhileLaunched() const override;

private:
    const int FaultOffset;
    const TGridUnits &Units;
};
