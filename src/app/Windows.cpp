#include "app/Windows.h"
#include "app/CurrentHeater.h"
#include "app/Globals.h"
#include "app/HistoryActions.h"
#include "app/WindowPresentation.h"
#include "app/dlgPortSelect.h"
#include "app/fLog.h"
#include "app/fMain.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fTrace.h"
#include "views/fViewData.h"
#include "core/LogMemo.h"
#include "product/ProductEnvironment.h"
#include <QApplication>
#include <QIcon>
#include <QMdiSubWindow>

// The program's icon, from the resources linked into the library.
static QIcon ProgramIcon()
{
    Q_INIT_RESOURCE(thermoryx);
    return QIcon(QStringLiteral(":/icons/thermoryx.png"));
}

namespace {
// What the windows ask of the main window. The connections are direct: a request is carried out
// before the window's emit returns, inside the show or click handling that makes it.
void ConnectRequests()
{
    QObject::connect(frmBB, &TfrmBB::ViewItemCheckWanted, frmMain, &TfrmMain::SetEdrItemChecked,
                     Qt::DirectConnection);
    QObject::connect(
        frmBB, &TfrmBB::ShowWanted, frmMain,
        [](Qt::WindowState state) {
            if (state == Qt::WindowMinimized)
                frmMain->ShowChildMinimized(frmBB);
            else
                frmMain->ShowChildNormal(frmBB);
        },
        Qt::DirectConnection);
    QObject::connect(frmBB, &TfrmBB::HideWanted, frmMain, [] { frmMain->HideChild(frmBB); }, Qt::DirectConnection);
    QObject::connect(frmControl, &TfrmControl::EdrMinimiseWanted, frmBB, &TfrmBB::Minimise, Qt::DirectConnection);
    QObject::connect(frmGraph, &TfrmGraph::PlaceWanted, frmMain, &TfrmMain::PlaceGraphs, Qt::DirectConnection);
    // The live charts are of the heater on the line, now.
    frmGraph->SetRunSource([] { return TChartRun{CurrentHeater(), QDateTime()}; });
    QObject::connect(frmViewData, &TfrmViewData::PlaceWanted, frmMain, &TfrmMain::PlaceCurrentData,
                     Qt::DirectConnection);
}

// The trace window, out of sight until View > "Trace" shows it; it reports to the log.
void CreateTraceWindow()
{
    frmTrace = new TfrmTrace;
    frmTrace->OnLog = [](const QString &line) {
        if (mLog)
            mLog->Append(line);
    };
    frmTrace->Heater = CurrentHeater;
    QObject::connect(frmTrace, &TfrmTrace::HideWanted, frmMain, [] {
        frmMain->HideChild(frmTrace);
        frmMain->NTrace->setChecked(false);
    }, Qt::DirectConnection);
    frmMain->AddChild(frmTrace);
    frmMain->HideChild(frmTrace);
}

// The graphs window is the one to look at for long: it can be resized and maximised like any window.
void LetGraphsGrow()
{
    QWidget *frame = frmGraph->parentWidget();
    frame->setWindowFlags(frame->windowFlags() | Qt::WindowMinMaxButtonsHint);
}
} // namespace

void CreateWindows()
{
    frmMain = new TfrmMain;
    QApplication::setWindowIcon(ProgramIcon());
    frmMain->setWindowIcon(QApplication::windowIcon());
    frmBB = new TfrmBB;
    frmLog = new TfrmLog;
    mLog = frmLog->Memo;
    frmControl = new TfrmControl([] { return CurrentProduct; });
    frmGraph = new TfrmGraph;
    frmViewData = new TfrmViewData;
    frmPortSelect = new TfrmPortSelect(frmMain);
    ConnectRequests();
    CreateTraceWindow();
    CreateHistoryWindow();

    frmMain->AddChild(frmBB);
    frmMain->AddChild(frmLog);
    frmMain->AddChild(frmControl)->move(0, 0);
    frmMain->AddChild(frmGraph);
    LetGraphsGrow();
    frmMain->AddChild(frmViewData);
    frmControl->parentWidget()->show();
    frmGraph->parentWidget()->show();
    frmViewData->parentWidget()->show();
    // They exist and count as shown to the toolkit, but nothing of them is drawn.
    frmMain->HideChild(frmLog);
    frmMain->HideChild(frmBB);
    frmMain->PlaceGraphs();
    frmMain->AddExit();

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
    frmTrace = nullptr;
    frmHistory = nullptr;
    ProductEnvironment() = {};
}
