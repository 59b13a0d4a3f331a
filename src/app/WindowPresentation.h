#pragma once
#include "product/Presentation.h"

// The presentation interface over the program's windows: what a handler shows goes to the main
// window's title and wait panel, the EDR window, the current-data grid, the graphs window and the
// control panel. A window that does not exist (yet) is skipped.
class TWindowPresentation : public TPresentation {
public:
    void SetTitle(const QString &title) override;
    void SetWaitPanelVisible(bool visible) override;
    void SetWaitProgress(int block, int blocks) override;
    bool WaitCancelled() const override;
    void SetEdrReport(const QStringList &lines) override;
    void BringUpEdr() override;
    void PutAwayEdr() override;
    void SetGridSize(int rows, int columns) override;
    void SetGridCell(int column, int row, const QString &text) override;
    void ClearCharts() override;
    void AddPoint(TSeries series, double x, double y) override;
    void AddBandBar(TBand band, double start, double end, const QColor &color) override;
    void ResetModelSections() override;
    void ShowPanelSection(TPanelSection section) override;
    void ResetLegend() override;
    void HideLegendEntry(TLegendEntry entry) override;
    void SetLegendCaption(TLegendCaption caption, const QString &text) override;
    void SetSavePath(const QString &text) override;
    void ShowRecording(qint64 seconds, qint64 rows) override;
    void EndRecording() override;
    // The status bar: the connection, the frames received and dropped, and the port it runs on.
    void SetConnectionState(TConnectionState state, const QString &detail) override;
    void ShowMisfit(const QString &warning) override;
    void NoteFrame(TFrameDirection direction, const QByteArray &bytes, bool valid) override;
    // The service history, when the program keeps one: the heater, the run's file, and with a report
    // the image it was made from.
    void NoteHeaterIdentified(const QString &model, const QString &serial, const QString &firmware) override;
    void NoteRunSaved(const QString &model, const QString &path) override;
};
