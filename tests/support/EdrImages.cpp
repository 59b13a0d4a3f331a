#include "support/EdrImages.h"
#include "current/EdrReport.h"
#include "legacy_air/AirEdrReport.h"
#include "legacy_liquid/Hydrel7EdrReport.h"
#include "sim/current/CurrentVariants.h"
#include "sim/legacy_air/AirHeaterSim.h"
#include "sim/legacy_liquid/Hydrel7Eeprom.h"
#include <algorithm>

namespace {
const QString Hydrel7Model = QStringLiteral("Hydrel-7");

template <size_t Size>
std::array<quint8, Size> Fixed(const QByteArray &image)
{
    std::array<quint8, Size> fixed{};
    std::copy_n(image.constBegin(), std::min<qsizetype>(image.size(), Size), fixed.begin());
    return fixed;
}
} // namespace

QByteArray SimulatedEdrImage(const QString &model)
{
    if (const TCurrentVariant *variant = FindCurrentVariant(model))
        return variant->BuildEeprom(*variant);
    if (const TAirVariant *variant = FindAirVariant(model))
        return TAirHeaterSim(*variant).Eeprom();
    if (model == Hydrel7Model)
        return Hydrel7EepromImage(1234567);
    return {};
}

QStringList EdrReportOf(const QString &model, const QByteArray &image)
{
    if (model == QLatin1String("Zephal-1"))
        return Zephal1EdrReport(Fixed<1024>(image));
    if (model == QLatin1String("Corva-mini"))
        return CorvaMiniEdrReport(Fixed<1024>(image));
    if (FindCurrentVariant(model))
        return HeaterEdrReport(Fixed<1024>(image));
    if (const TAirVariant *variant = FindAirVariant(model))
        return AirEdrReport(image, variant->Calibration);
    if (model == Hydrel7Model)
        return Hydrel7::EdrReport(Fixed<Hydrel7::EepromSize>(image));
    return {};
}

bool EdrLittleEndian(const QString &model)
{
    return model == Hydrel7Model;
}

void PokeEdrImage(QByteArray &image, const QString &model, int at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i) {
        const int shift = EdrLittleEndian(model) ? i : width - 1 - i;
        image[at + i] = char(quint8(value >> (8 * shift)));
    }
}
