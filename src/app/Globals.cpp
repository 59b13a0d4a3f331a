#include "app/Globals.h"

TfrmMain *frmMain = nullptr;
TfrmBB *frmBB = nullptr;
TfrmLog *frmLog = nullptr;
TfrmControl *frmControl = nullptr;
TfrmGraph *frmGraph = nullptr;
TfrmViewData *frmViewData = nullptr;
TfrmPortSelect *frmPortSelect = nullptr;
TfrmTrace *frmTrace = nullptr;
TfrmHistory *frmHistory = nullptr;
TComPort *ComPort = nullptr;
TProduct *CurrentProduct = nullptr;
TLogMemo *mLog = nullptr;
THistoryRecorder *History = nullptr;
