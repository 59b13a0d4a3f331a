#pragma once
#include <QString>

// The File menu's history items. "History..." shows the History window on the program's history file
// and reads it afresh. "Import run logs..." imports the folder's run logs into that file; each file
// skipped is named in the log, the outcome is one log line and a message.
void ShowHistoryWindow();
void ImportRunLogFolder(const QString &folder);
// The History window inside the main window, hidden; its runs open in review windows, its EDR reads
// in the EDR window.
void CreateHistoryWindow();
