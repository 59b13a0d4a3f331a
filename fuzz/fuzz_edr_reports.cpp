// Every EDR report made from an arbitrary EEPROM image: the liquid / new-revision air heater's, the
// Zephal-1's, the Corva-Mini's, the legacy air family's (with and without the calibration line) and
// the Hydrel-7's. Whatever the image holds, the report is made without a fault and has lines, none
// of them holding a NUL character.
#include "current/EdrReport.h"
#include "legacy_air/AirEdrReport.h"
#include "legacy_liquid/Hydrel7EdrReport.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
void Check(bool holds, int line)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken at line %d\n", line);
        std::abort();
    }
}
#define CHECK(condition) Check((condition), __LINE__)

template <size_t N> std::array<quint8, N> Image(const uint8_t *data, size_t size)
{
    std::array<quint8, N> image{};
    std::copy_n(data, std::min(size, N), image.begin());
    return image;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t which = data[0] % 6;
    ++data;
    --size;
    QStringList report;
    switch (which) {
    case 0:
        report = HeaterEdrReport(Image<1024>(data, size));
        break;
    case 1:
        report = Zephal1EdrReport(Image<1024>(data, size));
        break;
    case 2:
        report = CorvaMiniEdrReport(Image<1024>(data, size));
        break;
    case 3:
    case 4: {
        const auto image = Image<256>(data, size);
        report = AirEdrReport(QByteArray(reinterpret_cast<const char *>(image.data()), 256), which == 4);
        break;
    }
    default:
        report = Hydrel7::EdrReport(Image<Hydrel7::EepromSize>(data, size));
        break;
    }
    CHECK(!report.isEmpty());
    for (const QString &line : std::as_const(report))
        CHECK(!line.contains(QChar(0)));
    return 0;
}
