#pragma once
#include <QRect>
#include <QString>

class TfrmGraph;
class TfrmMain;

// File > Open run log: the file is read and, when it is a run log of this program, drawn in a graphs
// window of its own titled with the file's name: a top-level window with the system's frame that
// closes with its close box, Ctrl+W or Ctrl+F4, placed on the screen above or below the live graphs.
// Any fault is told in a message that names the line; then no window opens. Returns the new window
// or nullptr.
TfrmGraph *OpenRunLogWindow(TfrmMain &main, const QString &path);
// Where a saved run's window goes on the screen (client area, without the system's frame): as wide
// as the live graphs, in the larger free strip above or below them, shortened to that strip down to
// the height that keeps both charts and their legends whole; over the lower part of the live graphs
// only when neither strip holds even that.
QRect ReviewGeometry(const QRect &live, const QRect &screen, int height);
