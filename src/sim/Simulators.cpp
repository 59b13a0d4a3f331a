#include "sim/Simulators.h"
#include "sim/current/CurrentHeaterSim.h"
#include "sim/current/CurrentVariants.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7HeaterSim.h"

std::unique_ptr<THeaterSimulator> CreateSimulator(const QString &model)
{
    if (const TCurrentVariant *variant = FindCurrentVariant(model))
        return std::make_unique<TCurrentHeaterSim>(*variant);
    if (const TAirVariant *variant = FindAirVariant(model))
        return std::make_unique<TAirHeaterSim>(*variant);
    if (model.compare(QLatin1String("Hydrel-7"), Qt::CaseInsensitive) == 0)
        return std::make_unique<THydrel7HeaterSim>();
    return nullptr;
}

QStringList SimulatedModels()
{
    return CurrentVariantModels() + AirVariantModels() << QStringLiteral("Hydrel-7");
}
