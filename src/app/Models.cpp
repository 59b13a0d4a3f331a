#include "app/Models.h"
#include "current/CorvaMini.h"
#include "current/EdrReport.h"
#include "current/Orvel.h"
#include "current/Zephal1.h"
#include "current/Zephal33New.h"
#include "legacy_air/AirEdrReport.h"
#include "legacy_air/CorvaOld.h"
#include "legacy_air/ZephalOld.h"
#include "legacy_liquid/Hydrel7.h"
#include "legacy_liquid/Hydrel7EdrReport.h"
#include <algorithm>

namespace {
// A stored image in the fixed-size form a family's decoder takes: cut to size, zero beyond its end.
template <size_t Size>
std::array<quint8, Size> Fixed(const QByteArray &image)
{
    std::array<quint8, Size> fixed{};
    std::copy_n(image.constBegin(), std::min<qsizetype>(image.size(), Size), fixed.begin());
    return fixed;
}

TEdrSummary CurrentHeaterSummary(const QByteArray &image)
{
    return HeaterEdrSummary(Fixed<1024>(image));
}

TEdrSummary Zephal1Summary(const QByteArray &image)
{
    return Zephal1EdrSummary(Fixed<1024>(image));
}

TEdrSummary CorvaMiniSummary(const QByteArray &image)
{
    return CorvaMiniEdrSummary(Fixed<1024>(image));
}

TEdrSummary Hydrel7Summary(const QByteArray &image)
{
    return Hydrel7::EdrSummary(Fixed<Hydrel7::EepromSize>(image));
}
} // namespace

std::vector<TModel> &Models()
{
    static std::vector<TModel> models = {
        {QStringLiteral("N141"), QStringLiteral("Corva-mini"), QStringLiteral("TCorvaMini"), [] { return new TCorvaMini; },
         CorvaMiniSummary},
        {QStringLiteral("N21"), QStringLiteral("Zephal-1"), QStringLiteral("TZephal1"), [] { return new TZephal1; },
         Zephal1Summary},
        {QStringLiteral("N41"), QStringLiteral("Zephal-3/-33/-6 [old rev.]"), QStringLiteral("TZephalOld"), [] { return new TZephalOld; },
         AirEdrSummary},
        {QStringLiteral("N4"), QStringLiteral("Zephal-33 [new rev.]"), QStringLiteral("TZephal33new"), [] { return new TZephal33new; },
         CurrentHeaterSummary},
        {QStringLiteral("Hydrel71"), QStringLiteral("Hydrel-7"), QStringLiteral("THydrelOld"), [] { return new THydrelOld; },
         Hydrel7Summary},
        {QStringLiteral("Hydrel7S1"), QStringLiteral("Hydrel-7S"), QStringLiteral("TOrvel"), [] { return new TOrvel; },
         CurrentHeaterSummary},
        {QStringLiteral("NCorva1"), QStringLiteral("Corva"), QStringLiteral("TCorvaOld"), [] { return new TCorvaOld; },
         AirEdrSummary},
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
