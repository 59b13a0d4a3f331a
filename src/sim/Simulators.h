#pragma once
#include "sim/HeaterSimulator.h"
#include <QString>
#include <QStringList>
#include <memory>

// Every simulated heater, by model: the one place the heater-sim tool and the program's demo ask.
// Models are named by their menu captions (e.g. "Hydrel-7S"), in any letter case.

// A simulator for this model, or nullptr when there is none yet.
std::unique_ptr<THeaterSimulator> CreateSimulator(const QString &model);
// The models that have one.
QStringList SimulatedModels();
