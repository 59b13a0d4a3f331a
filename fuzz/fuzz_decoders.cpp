// The decoders of every model whose frames say what they carry (the current family and the
// Hydrel-7) fed straight from arbitrary bytes: the bytes, cut into pieces, go into a fresh handler's
// receive buffer with no line timing and no clock, and every frame cut from them reaches its decoder
// whatever the handler asked: status (with each model's fields, the recording triggers and the run
// log's rows), serial number, version and EEPROM data. Cheap enough per input to run far more inputs
// than the whole-session handler targets. (A legacy air answer means nothing without the command it
// answers; that family's decoders are fed through its handler target.)
#include "CurrentModels.h"
#include "legacy_liquid/Hydrel7.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    HandlerFuzz::Initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::vector<HandlerFuzz::TCreate> models = [] {
        std::vector<HandlerFuzz::TCreate> all = HandlerFuzz::CurrentModels();
        all.push_back([] { return new THydrelOld; });
        return all;
    }();
    return HandlerFuzz::Decode(data, size, models);
}
