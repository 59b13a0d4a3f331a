#pragma once
#include <QString>

class QWidget;

// The file dialog of every "Save..." in the windows: it opens in the proposed path's folder with its
// name filled in. Overwriting is asked about afterwards by FinishSavePath, once the extension is known.
// Empty when cancelled.
QString FileDialogSavePath(QWidget *parent, const QString &caption, const QString &proposedPath, const QString &filter);
// The path a save goes to: the chosen one with the format's extension added when none was typed;
// when that file exists, the user is asked (through the dialog hook) whether to replace it.
// Empty when nothing was chosen or the user keeps the old file.
QString FinishSavePath(const QString &chosenPath, const QString &extension);
