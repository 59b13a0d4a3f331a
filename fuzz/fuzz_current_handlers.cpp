// The current family's handlers (Hydrel-7S, Zephal-33 new revision, Zephal-1, Corva-Mini) fed
// arbitrary bytes through the port: the status, serial-number, version and EEPROM-block decoders, the
// EDR read and each model's EDR report.
#include "CurrentModels.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    HandlerFuzz::Initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::vector<HandlerFuzz::TCreate> models = HandlerFuzz::CurrentModels();
    return HandlerFuzz::Run(data, size, models);
}
