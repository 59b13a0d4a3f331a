#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "sim/legacy_air/AirHeaterSim.h"

std::unique_ptr<THeaterSimulator> CreateSimulator(const QString &model)
{
    if (const TCurrentVariant *variant = FindCurrentVariant(model))
        return std::make_unique<TCurrentHeaterSim>(*variant);
    if (const TAirVariant *variant = FindAirVariant(model))
        return std::make_unique<TAirHeaterSim>(*variant);
    return nullptr;
}

QStringList SimulatedModels()
{
    return CurrentVariantModels() + AirVariantModels();
}
