#pragma once

// Creates the program's windows in their fixed order (main window with the port, EDR, log, control
// panel, graphs, current data, adapter dialog), hosts the children in the main window and hides the
// log and EDR windows. Tests build the same set.
void CreateWindows();
// Destroys them again (tests; the program ends with the application).
void DestroyWindows();
