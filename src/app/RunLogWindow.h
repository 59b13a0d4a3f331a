#pragma once
#include <QString>

class TfrmGraph;
class TfrmMain;

// File > Open run log: the file is read and, when it is a run log of this program, drawn in a graphs
// window of its own titled with the file's name, beside the live one. Any fault is told in a message
// that names the line; then no window opens. Returns the new window or nullptr.
TfrmGraph *OpenRunLogWindow(TfrmMain &main, const QString &path);
