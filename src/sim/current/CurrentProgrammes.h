#pragma once
#include "sim/current/StageProgramme.h"

// The runs of the simulated current-family heaters after a start, one per model row.

// Waiting, plug heating, preparing, ignition until the flame indicator proves the flame, burning
// low, medium or high as the power asks, and a purge when switching off.
TStageProgramme LiquidHeaterProgramme();
// Purge and plug heating, ignition until the flame holds, burning, and a purge that cools the
// flame indicator; the blower runs on its own in stage 0 mode 2.
TStageProgramme Zephal33Programme();
// The same run as the Zephal-33D's on a smaller burner, a little quicker.
TStageProgramme Zephal1Programme();
// Checking the flame indicator, plug warming, ignition, preheating the combustion chamber, then
// low, middle or high with a switching mode between each two as the power asks; switching off
// and cooling the flame indicator. The blower runs on its own in stage 0 mode 0.
TStageProgramme CorvaMiniProgramme();
