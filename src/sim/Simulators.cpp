#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"

std::unique_ptr<THeaterSimulator> CreateSimulator(const QString &model)
{
    if (const TCurrentVariant *variant = FindCurrentVariant(model))
        return std::make_unique<TCurrentHeaterSim>(*variant);
    return nullptr;
}

QStringList SimulatedModels()
{
    return CurrentVariantModels();
}
