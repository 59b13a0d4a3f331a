#pragma once
#include "legacy_air/AirProduct.h"

// The pre-heater "Corva" on the queue protocol: no fuel-pump frequency, no calibration, and a line
// on which a lost answer is asked for again.
class TCorvaOld : public TAirProduct {
public:
    TCorvaOld() : TAirProduct(CorvaOldModel()) {}
};
