// The Hydrel-7 handler fed arbitrary bytes through the port: frame extraction, the status cycle's
// decoders, the EEPROM read and the EDR report.
#include "HandlerFuzz.h"
#include "legacy_liquid/Hydrel7.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    HandlerFuzz::Initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::vector<HandlerFuzz::TCreate> models = {[] { return new THydrelOld; }};
    return HandlerFuzz::Run(data, size, models);
}
