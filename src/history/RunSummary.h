#pragma once
#include "product/RunLogReader.h"
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// What a saved run shows at a glance, taken from its file's columns by their captions, so that a run
// recorded now and a file imported later give the same figures: the stages (the first column of every
// run log), the highest value of each temperature column ("T ..."), the lowest supply voltage
// ("Voltage" or "U") and the fault codes other than 0.
struct TRunSummary {
    int Rows = 0;
    QList<int> Stages;
    QList<QPair<QString, double>> HighestTemperatures;
    std::optional<double> LowestVoltage;
    QList<int> FaultCodes;

    QString StagesText() const;
    QString TemperaturesText() const;
    QString FaultCodesText() const;
};

TRunSummary SummariseRun(const TRunLogContent &content);

// The serial number and the save time a run-log file name carries ("[070001234] 2026-12-11 10-00-37.csv");
// nothing for a name of another form.
struct TRunLogName {
    QString SerialNumber;
    QDateTime Saved;
};
std::optional<TRunLogName> ParseRunLogName(const QString &fileName);
