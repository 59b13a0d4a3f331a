#pragma once
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

// The line series of the two charts (upper: temperatures; lower: electrical and fuel pump).
enum class TSeries {
    DP,          // lnsrsDP, upper
    Tout,        // lnsrsTout, upper
    Toverheat,   // lnsrsToverheat, upper
    Tplate,      // lnsrsTplate, upper
    U,           // lnsrsU, lower
    TNperiodX10, // lnsrsTNperiodX10, lower
    Vust,        // lnsrsVust, lower
    Vcalc,       // lnsrsVcalc, lower
    Uplug,       // lnsrsUplug, lower
};

// The stage band of each chart: gntsrs3 in the upper chart, gntsrs2 in the lower.
enum class TBand { Upper, Lower };

// The five colours of the stage key.
namespace StageColor {
inline const QColor Pause{255, 0, 0};
inline const QColor Preparing{255, 255, 0};
inline const QColor Ignition{255, 128, 0};
inline const QColor Burning{0, 128, 0};
inline const QColor SwitchingOff{0, 0, 255};
} // namespace StageColor

// The control panel's model-dependent sections; each handler's creation hides them all, then shows
// those of its model.
enum class TPanelSection {
    SettingsZ1,        // pnlSetParamZ1
    SettingsZephalOld, // pnlSetParamZephalOld
    OldBlower,         // grpAirOld in place of grpAir
    NoBlower,          // neither blower group
    CalibrateFI,       // btnLearnDP
    FuelPumping,       // pnlTN
    PumpTypes,         // pnlPumpHydrel
    CirculationPump,   // pnlPump
};

// The graph legend's model-dependent entries and captions.
enum class TLegendEntry {
    Overheat,    // shp8, lbl8
    FpFrequency, // shp3, lbl3
    PlugVoltage, // shp16, lbl17
};
enum class TLegendCaption {
    Liquid,   // lbl7
    Overheat, // lbl8
};

// What the link is doing, for the status bar.
enum class TConnectionState {
    NoPort,         // no port chosen or opened
    Opening,        // the port is being opened
    Searching,      // the port is open, the heater not yet found
    Identified,     // the heater answers; the detail names the model and its serial number
    Lost,           // the heater fell silent
    AdapterMissing, // the adapter went away; the port is tried again
};

// A frame's way on the line.
enum class TFrameDirection { Sent, Received };

// Everything a handler shows, and the only way it reaches the windows: the title line, the EDR wait
// panel and window, the current-data grid, the chart points and stage bars, the legend and the
// control-panel sections, and the save-path caption. The program implements it over its windows;
// this base does nothing, which is what a handler sees when no windows exist.
class TPresentation {
public:
    virtual ~TPresentation() = default;

    // The main window's title, the connection status line.
    virtual void SetTitle(const QString &) {}
    // The EDR wait panel of the main window.
    virtual void SetWaitPanelVisible(bool) {}
    // While the EDR is read: block n (from 1) of blocks is being read now.
    virtual void SetWaitProgress(int /*block*/, int /*blocks*/) {}
    // The user asked, on the wait panel, to stop the reading since the panel was last shown.
    virtual bool WaitCancelled() const { return false; }

    // The EDR window: its report, brought up after a completed reading, put away after a failed one
    // or a lost connection, minimised when a command is sent from the control panel.
    virtual void SetEdrReport(const QStringList &) {}
    virtual void BringUpEdr() {}
    virtual void PutAwayEdr() {}

    // The current-data grid, addressed as (column, row).
    virtual void SetGridSize(int /*rows*/, int /*columns*/) {}
    virtual void SetGridCell(int /*column*/, int /*row*/, const QString &) {}

    // The charts. X values are days (ticks / 86400).
    virtual void ClearCharts() {}
    virtual void AddPoint(TSeries, double /*x*/, double /*y*/) {}
    virtual void AddBandBar(TBand, double /*start*/, double /*end*/, const QColor &) {}

    // The legend and the control panel, per model.
    virtual void ResetModelSections() {}
    virtual void ShowPanelSection(TPanelSection) {}
    virtual void ResetLegend() {}
    virtual void HideLegendEntry(TLegendEntry) {}
    virtual void SetLegendCaption(TLegendCaption, const QString &) {}

    // lblSavePath: "Log saved to " and the path, or empty.
    virtual void SetSavePath(const QString &) {}
    // The run being recorded: its seconds (presentation ticks) so far and the rows it holds, on every
    // tick of the run; ended once the run is saved (or dropped, having no row).
    virtual void ShowRecording(qint64 /*seconds*/, qint64 /*rows*/) {}
    virtual void EndRecording() {}

    // The connection at a glance; the detail says more where the state has more to say.
    virtual void SetConnectionState(TConnectionState, const QString & /*detail*/) {}
    // The heater's answers do not fit the chosen model: the warning, for the status bar.
    virtual void ShowMisfit(const QString &) {}
    // Every frame on the line: one sent, or one received and found valid or dropped.
    virtual void NoteFrame(TFrameDirection, const QByteArray &, bool /*valid*/) {}

    // For the service history: the heater has answered its identification (model caption, serial
    // number, firmware), and a run's file has been written, by the handler of this model.
    virtual void NoteHeaterIdentified(const QString & /*model*/, const QString & /*serial*/, const QString & /*firmware*/) {}
    virtual void NoteRunSaved(const QString & /*model*/, const QString & /*path*/) {}
};
