#pragma once
// The current family's handlers, in the order the targets' control byte picks them.
#include "HandlerFuzz.h"
#include "current/CorvaMini.h"
#include "current/Orvel.h"
#include "current/Zephal1.h"
#include "current/Zephal33New.h"

namespace HandlerFuzz {

inline std::vector<TCreate> CurrentModels()
{
    return {[] { return new TOrvel; }, [] { return new TZephal33new; }, [] { return new TZephal1; },
            [] { return new TCorvaMini; }};
}

} // namespace HandlerFuzz
