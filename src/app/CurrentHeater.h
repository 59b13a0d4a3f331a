#pragma once
#include "product/ExportName.h"

// The active handler's heater: model, serial number and firmware; empty fields when no handler is
// chosen or the heater has not answered yet.
THeaterIdentity CurrentHeater();
