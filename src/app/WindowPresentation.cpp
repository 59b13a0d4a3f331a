#include "app/WindowPresentation.h"
#include "app/CurrentHeater.h"
#include "app/Globals.h"
#include "app/HistoryRecorder.h"
#include "app/StatusBar.h"
#include "app/fMain.h"
#include "product/Product.h"
#include "serial/ComPort.h"
#include "views/StringGrid.h"
#include "views/fBB.h"
#include "views/fControl.h"
#include "views/fGraph.h"
#include "views/fTrace.h"
#include "views/fViewData.h"
#include <QDir>

void TWindowPresentation::SetTitle(const QString &title)
{
    if (frmMain)
        frmMain->setWindowTitle(title);
}

void TWindowPresentation::SetWaitPanelVisible(bool visible)
{
    if (frmMain)
        frmMain->SetWaitPanelVisible(visible);
}

void TWindowPresentation::SetWaitProgress(int block, int blocks)
{
    if (frmMain)
        frmMain->SetWaitProgress(block, blocks);
}

bool TWindowPresentation::WaitCancelled() const
{
    return frmMain && frmMain->WaitCancelled();
}

void TWindowPresentation::SetEdrReport(const QStringList &lines)
{
    // A report is handed over once a reading has completed: the history keeps it with its image.
    if (History && CurrentProduct)
        History->NoteEdrRead(CurrentHeater(), CurrentProduct->EdrImage(), lines);
    if (!frmBB)
        return;
    frmBB->SetReport(lines, CurrentHeater(), QDateTime::currentDateTime());
}

void TWindowPresentation::BringUpEdr()
{
    if (frmBB)
        frmBB->BringUp();
}

void TWindowPresentation::PutAwayEdr()
{
    if (frmBB)
        frmBB->PutAway();
}

void TWindowPresentation::SetGridSize(int rows, int columns)
{
    if (!frmViewData)
        return;
    frmViewData->strngrd->SetRowCount(rows);
    frmViewData->strngrd->SetColCount(columns);
}

void TWindowPresentation::SetGridCell(int column, int row, const QString &text)
{
    if (frmViewData)
        frmViewData->strngrd->SetCells(column, row, text);
}

void TWindowPresentation::ClearCharts()
{
    if (frmGraph)
        frmGraph->ClearCharts();
}

void TWindowPresentation::AddPoint(TSeries series, double x, double y)
{
    if (frmGraph)
        frmGraph->AddPoint(series, x, y);
}

void TWindowPresentation::AddBandBar(TBand band, double start, double end, const QColor &color)
{
    if (frmGraph)
        frmGraph->AddBandBar(band, start, end, color);
}

void TWindowPresentation::ResetModelSections()
{
    if (frmControl)
        frmControl->ResetModelSections();
}

void TWindowPresentation::ShowPanelSection(TPanelSection section)
{
    if (!frmControl)
        return;
    switch (section) {
    case TPanelSection::SettingsZ1:
        return frmControl->ShowSettingsZ1();
    case TPanelSection::SettingsZephalOld:
        return frmControl->ShowSettingsZephalOld();
    case TPanelSection::OldBlower:
        return frmControl->ShowOldBlower();
    case TPanelSection::NoBlower:
        return frmControl->HideBlower();
    case TPanelSection::CalibrateFI:
        return frmControl->ShowCalibrateFI();
    case TPanelSection::FuelPumping:
        return frmControl->ShowFuelPumping();
    case TPanelSection::PumpTypes:
        return frmControl->ShowPumpTypes();
    case TPanelSection::CirculationPump:
        return frmControl->ShowCirculationPump();
    }
}

void TWindowPresentation::ResetLegend()
{
    if (frmGraph)
        frmGraph->ResetLegend();
}

void TWindowPresentation::HideLegendEntry(TLegendEntry entry)
{
    if (frmGraph)
        frmGraph->HideLegendEntry(entry);
}

void TWindowPresentation::SetLegendCaption(TLegendCaption caption, const QString &text)
{
    if (frmGraph)
        frmGraph->SetLegendCaption(caption, text);
}

void TWindowPresentation::SetSavePath(const QString &text)
{
    if (frmGraph)
        frmGraph->SetSavePath(text);
    // "Log saved to " and the path: the status bar keeps the path until the next run is saved.
    const QString prefix = QStringLiteral("Log saved to ");
    if (frmMain && text.startsWith(prefix))
        frmMain->Status->ShowSavedRun(QDir::fromNativeSeparators(text.mid(prefix.size())));
}

void TWindowPresentation::ShowRecording(qint64 seconds, qint64 rows)
{
    if (frmMain)
        frmMain->Status->ShowRecording(seconds, rows);
}

void TWindowPresentation::EndRecording()
{
    if (frmMain)
        frmMain->Status->EndRecording();
}

void TWindowPresentation::SetConnectionState(TConnectionState state, const QString &detail)
{
    if (!frmMain)
        return;
    if (ComPort)
        frmMain->Status->ShowPort(ComPort->Port(), ComPort->BitsPerSecond());
    frmMain->Status->ShowConnectionState(state, detail);
}

void TWindowPresentation::ShowMisfit(const QString &warning)
{
    if (frmMain)
        frmMain->Status->ShowMisfit(warning);
}

void TWindowPresentation::NoteFrame(TFrameDirection direction, const QByteArray &bytes, bool valid)
{
    if (frmMain)
        frmMain->Status->CountFrame(direction, valid);
    if (frmTrace)
        frmTrace->Note(direction, bytes, valid);
}

void TWindowPresentation::NoteHeaterIdentified(const QString &model, const QString &serial, const QString &firmware)
{
    if (History)
        History->NoteHeater(model, serial, firmware);
}

void TWindowPresentation::NoteRunSaved(const QString &model, const QString &path)
{
    if (History)
        History->NoteRun(model, path);
}
