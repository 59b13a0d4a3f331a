#include "app/Models.h"
#include "current/CorvaMini.h"
#include "current/Orvel.h"
#include "current/Zephal1.h"
#include "current/Zephal33New.h"
#include "legacy_air/CorvaOld.h"
#include "legacy_air/ZephalOld.h"
#include "legacy_liquid/Hydrel7.h"

std::vector<TModel> &Models()
{
    static std::vector<TModel> models = {
        {QStringLiteral("N141"), QStringLiteral("Corva-mini"), QStringLiteral("TCorvaMini"), [] { return new TCorvaMini; }},
        {QStringLiteral("N21"), QStringLiteral("Zephal-1"), QStringLiteral("TZephal1"), [] { return new TZephal1; }},
        {QStringLiteral("N41"), QStringLiteral("Zephal-3/-33/-6 [old rev.]"), QStringLiteral("TZephalOld"), [] { return new TZephalOld; }},
        {QStringLiteral("N4"), QStringLiteral("Zephal-33 [new rev.]"), QStringLiteral("TZephal33new"), [] { return new TZephal33new; }},
        {QStringLiteral("Hydrel71"), QStringLiteral("Hydrel-7"), QStringLiteral("THydrelOld"), [] { return new THydrelOld; }},
        {QStringLiteral("Hydrel7S1"), QStringLiteral("Hydrel-7S"), QStringLiteral("TOrvel"), [] { return new TOrvel; }},
        {QStringLiteral("NCorva1"), QStringLiteral("Corva"), QStringLiteral("TCorvaOld"), [] { return new TCorvaOld; }},
    };
    return models;
}

const TModel *FindModel(const QString &caption)
{
    for (const TModel &model : Models())
        if (model.Caption == caption)
            return &model;
    return nullptr;
}
