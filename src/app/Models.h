#pragma once
#include "product/EdrSummary.h"
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class TProduct;

// The seven models of the "Choose a product" menu, in menu order. A model whose handler is not built
// yet has an empty factory. Simulated heaters are found by caption in sim/Simulators.h.
struct TModel {
    QString MenuItem;  // component name, e.g. "Hydrel7S1"
    QString Caption;   // e.g. "Hydrel-7S"
    QString ClassName; // e.g. "TOrvel"
    std::function<TProduct *()> CreateHandler;
    // The counters and fault records of an EEPROM image as this model's EDR read keeps it.
    std::function<TEdrSummary(const QByteArray &image)> EdrSummary;
};

// The table is writable so that a test can stand a double in for a model's handler.
std::vector<TModel> &Models();
// The model with this caption, or nullptr.
const TModel *FindModel(const QString &caption);
