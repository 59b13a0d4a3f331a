#pragma once
// A presentation that passes every call on to the windows and keeps what a test of run recording
// needs: each presentation tick with the handler's state at that tick, the heater's status answers
// between ticks, the chart points grouped by tick and the chart clears. The test tells it of each
// connection loss (the handler's "Connection lost." line: the status bar may already show the
// adapter missing, so it need not change at the loss).
//
// A tick is seen where the handler fills the current-data grid, which it does first on every tick:
// the first value cell (column 1, row 0) begins a tick. Ticks are taken only from the handler in
// place (CurrentProduct); a handler being built or torn down fills the grid outside any tick.
#include "product/Presentation.h"
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <functional>

class TRecordingSpy : public TPresentation {
public:
    // Which valid frames from the heater are status answers (the family's own rule).
    using TStatusRule = std::function<bool(const QByteArray &frame)>;

    struct TTick {
        int Handler = 0;        // which handler (a model switch brings another)
        int Charts = 0;         // chart clears before it
        qint64 Tick = 0;        // the handler's Tick: a chart point of this tick has x = Tick / 86400
        bool Running = false;   // a run was being recorded
        bool Away = false;      // the adapter was away (the port could not read)
        bool Answered = false;  // a status answer came since the handler's previous tick
        int Losses = 0;         // connection losses before it
        qint64 AnswersBefore = 0; // status answers of this handler before it
        qint64 AtMs = 0;
    };
    struct TPoints {
        int Handler = 0;
        int Charts = 0;
        qint64 Tick = 0;     // from the points' x
        int DuringTick = -1; // index of the last tick seen when the points were added
        QMap<TSeries, double> Values;
    };

    TRecordingSpy(TPresentation *windows, TStatusRule isStatus);

    // From now on what comes belongs to another handler.
    void NewHandler();
    // The handler has declared the connection lost.
    void ConnectionLost() { ++Losses; }

    const QList<TTick> &Ticks() const { return TickList; }
    const QList<TPoints> &Points() const { return PointList; }
    // Whether a status answer came after this tick, from its handler, before the next connection loss.
    bool ConfirmedLater(const TTick &tick) const;
    int Handlers() const { return Handler + 1; }
    // When the handler in place last got a status answer (-1: never).
    qint64 LastAnswerAtMs() const { return LastAnswerAt; }

    void SetTitle(const QString &title) override { Windows->SetTitle(title); }
    void SetWaitPanelVisible(bool visible) override { Windows->SetWaitPanelVisible(visible); }
    void SetWaitProgress(int block, int blocks) override { Windows->SetWaitProgress(block, blocks); }
    bool WaitCancelled() const override { return Windows->WaitCancelled(); }
    void SetEdrReport(const QStringList &lines) override { Windows->SetEdrReport(lines); }
    void BringUpEdr() override { Windows->BringUpEdr(); }
    void PutAwayEdr() override { Windows->PutAwayEdr(); }
    void SetGridSize(int rows, int columns) override { Windows->SetGridSize(rows, columns); }
    void SetGridCell(int column, int row, const QString &text) override;
    void ClearCharts() override;
    void AddPoint(TSeries series, double x, double y) override;
    void AddBandBar(TBand band, double start, double end, const QColor &color) override
    {
        Windows->AddBandBar(band, start, end, color);
    }
    void ResetModelSections() override { Windows->ResetModelSections(); }
    void ShowPanelSection(TPanelSection section) override { Windows->ShowPanelSection(section); }
    void ResetLegend() override { Windows->ResetLegend(); }
    void HideLegendEntry(TLegendEntry entry) override { Windows->HideLegendEntry(entry); }
    void SetLegendCaption(TLegendCaption caption, const QString &text) override { Windows->SetLegendCaption(caption, text); }
    void SetSavePath(const QString &path) override { Windows->SetSavePath(path); }
    void ShowRecording(qint64 seconds, qint64 rows) override { Windows->ShowRecording(seconds, rows); }
    void EndRecording() override { Windows->EndRecording(); }
    void SetConnectionState(TConnectionState state, const QString &detail) override
    {
        Windows->SetConnectionState(state, detail);
    }
    void NoteFrame(TFrameDirection direction, const QByteArray &frame, bool valid) override;

private:
    TPresentation *Windows;
    TStatusRule IsStatus;
    int Handler = 0;
    int Charts = 0;
    int Losses = 0;
    bool AnsweredSinceTick = false;
    qint64 Answers = 0;
    qint64 LastAnswerAt = -1;
    // The last status answer of a handler within a stretch between losses: (handler, losses) -> count.
    QHash<QPair<int, int>, qint64> LastAnswer;
    QList<TTick> TickList;
    QList<TPoints> PointList;
};
