#pragma once

class TComPort;
class TLogMemo;
class TPresentation;

// What the program hands every handler it creates: the one serial port, the log window's memo (for
// the tear-down lines that do not go through a handler's LogMemo) and the windows. The program sets
// it once its windows exist; tests set their own.
struct TProductEnvironment {
    TComPort *Port = nullptr;
    TLogMemo *Log = nullptr;
    TPresentation *View = nullptr;
};

TProductEnvironment &ProductEnvironment();
