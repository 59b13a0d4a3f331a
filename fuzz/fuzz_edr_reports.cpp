// Every EDR report made from an arbitrary EEPROM image: the liquid / new-revision air heater's, the
// Zephal-1's, the Corva-Mini's, the legacy air family's (with and without the calibration line) and
// the Hydrel-7's. Whatever the image holds, the report is made without a fault and has lines, none
// of them holding a NUL character; its summary has the family's counters and only records that hold
// a fault, each within the report's table.
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
    TEdrSummary summary;
    int counters = 0, records = 0;
    switch (which) {
    case 0:
        report = HeaterEdrReport(Image<1024>(data, size));
        summary = HeaterEdrSummary(Image<1024>(data, size));
        counters = 20, records = 6;
        break;
    case 1:
        report = Zephal1EdrReport(Image<1024>(data, size));
        summary = Zephal1EdrSummary(Image<1024>(data, size));
        counters = 20, records = 7;
        break;
    case 2:
        report = CorvaMiniEdrReport(Image<1024>(data, size));
        summary = CorvaMiniEdrSummary(Image<1024>(data, size));
        counters = 12, records = 44;
        break;
    case 3:
    case 4: {
        const auto image = Image<256>(data, size);
        const QByteArray bytes(reinterpret_cast<const char *>(image.data()), 256);
        report = AirEdrReport(bytes, which == 4);
        // A dump cut short is summed up as far as it goes.
        summary = AirEdrSummary(bytes.left(qsizetype(size)));
        counters = 5, records = 18;
        break;
    }
    default:
        report = Hydrel7::EdrReport(Image<Hydrel7::EepromSize>(data, size));
        summary = Hydrel7::EdrSummary(Image<Hydrel7::EepromSize>(data, size));
        counters = 9, records = 13;
        break;
    }
    CHECK(!report.isEmpty());
    for (const QString &line : std::as_const(report))
        CHECK(!line.contains(QChar(0)));
    CHECK(summary.Counters.size() == counters);
    CHECK(summary.Faults.size() <= records);
    for (const TEdrFault &fault : std::as_const(summary.Faults))
        CHECK(fault.Code > 0 && fault.Code < 256 && fault.Record >= 1 && fault.Record <= records);
    return 0;
}
