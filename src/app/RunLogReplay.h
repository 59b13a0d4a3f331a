#pragma once
#include "product/RunLogReader.h"
#include <QString>

class TPresentation;

// A saved run drawn again: the header tells which heater wrote the file, and with it which column
// feeds which chart series and how the stage column colours the band. Points and bars go where the
// live run put them, one second per row from the first.

// Empty when the header is one the program writes, else the message naming line 1.
QString RunLogHeaderProblem(const TRunLogContent &content);
// The models whose handlers write the file's header ("Hydrel-7S / Zephal-1 / ..."); empty when unknown.
QString RunLogModels(const TRunLogContent &content);
// Draws the rows of a file whose header is known, and sets the legend to its columns: the outlet and
// overheat lines captioned as the columns they come from, no entry for a line the file does not
// hold. Does nothing for any other file.
void ReplayRunLog(const TRunLogContent &content, TPresentation &view);
