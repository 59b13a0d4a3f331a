// The legacy air family's handlers (Zephal old revision, Corva) fed arbitrary bytes through the
// port: answer cutting, the poll cycle's decoders, the EEPROM dump and the EDR report.
#include "HandlerFuzz.h"
#include "legacy_air/CorvaOld.h"
#include "legacy_air/ZephalOld.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    HandlerFuzz::Initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::vector<HandlerFuzz::TCreate> models = {[] { return new TZephalOld; },
                                                             [] { return new TCorvaOld; }};
    return HandlerFuzz::Run(data, size, models);
}
