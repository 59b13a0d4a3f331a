#include "app/Windows.h"
#include "app/Globals.h"
#include "app/WindowPresentation.h"
#include "app/dlgPortSelect.h"
#include "app/fLog.h"
#include "app/fMain.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fViewData.h"
#include "product/ProductEnvironment.h"
#include <QMdiSubWindow>

void CreateWindows()
{
    frmMain = new TfrmMain;
    frmBB = new TfrmBB;
    frmLog = new TfrmLog;
    mLog = frmLog->Memo;
    frmControl = new TfrmControl;
    frmGraph = new TfrmGraph;
    frmViewData = new TfrmViewData;
    frmPortSelect = new TfrmPortSelect(frmMain);

    frmMain->AddChild(frmBB);
    frmMain->AddChild(frmLog);
    frmMain->AddChild(frmControl)->move(0, 0);
    frmMain->AddChild(frmGraph);
    frmMain->AddChild(frmViewData);
    frmControl->parentWidget()->show();
    frmGraph->parentWidget()->show();
    frmViewData->parentWidget()->show();
    // They exist and count as shown to the toolkit, but nothing of them is drawn.
    frmMain->HideChild(frmLog);
    frmMain->HideChild(frmBB);
    frmMain->PlaceGraphs();

    static TWindowPresentation windows;
    ProductEnvironment() = {ComPort, mLog, &windows};
}

void DestroyWindows()
{
    delete frmMain; // the children, the dialog and the port go with it
    frmMain = nullptr;
    frmBB = nullptr;
    frmLog = nullptr;
    mLog = nullptr;
    frmControl = nullptr;
    frmGraph = nullptr;
    frmViewData = nullptr;
    frmPortSelect = nullptr;
    ProductEnvironment() = {};
}
