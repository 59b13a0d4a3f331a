#pragma once

// The program-wide references: each window exists once for the whole run, the port is owned by the
// main window, and CurrentProduct is the one active handler or nullptr.
class TfrmMain;
class TfrmBB;
class TfrmLog;
class TfrmControl;
class TfrmGraph;
class TfrmViewData;
class TfrmPortSelect;
class TfrmTrace;
class TfrmHistory;
class TComPort;
class TProduct;
class TLogMemo;
class THistoryRecorder;

extern TfrmMain *frmMain;
extern TfrmBB *frmBB;
extern TfrmLog *frmLog;
extern TfrmControl *frmControl;
extern TfrmGraph *frmGraph;
extern TfrmViewData *frmViewData;
extern TfrmPortSelect *frmPortSelect;
extern TfrmTrace *frmTrace;
extern TfrmHistory *frmHistory;
extern TComPort *ComPort;
extern TProduct *CurrentProduct;
// The log window's memo; exists with the log window.
extern TLogMemo *mLog;
// The service history's recorder; nullptr when the program keeps none.
extern THistoryRecorder *History;
