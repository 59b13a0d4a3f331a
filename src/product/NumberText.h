#pragma once
#include <QString>

// Numbers as the user's locale writes them (its decimal separator, no group separators): every value
// shown in the windows or written to a run log goes through here.
QString FixedText(double value, int decimals);
// The general form: up to 15 significant digits, no trailing zeros.
QString ShortestText(double value);
