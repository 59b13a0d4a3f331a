#pragma once
#include <QWidget>

// The control panel: buttons that read their controls and call one operation of CurrentProduct.
// Each handler's creation resets the model-dependent sections, then shows its own.
class TfrmControl : public QWidget {
    Q_OBJECT
public:
    explicit TfrmControl(QWidget *parent = nullptr);

    // Every model-dependent section back to its default: only the common buttons and "Blower" (RPS).
    void ResetModelSections();
    void ShowSettingsZ1();        // pnlSetParamZ1
    void ShowSettingsZephalOld(); // pnlSetParamZephalOld
    void ShowOldBlower();         // grpAirOld in place of grpAir
    void HideBlower();            // neither blower group
    void ShowCalibrateFI();       // btnLearnDP
    void ShowFuelPumping();       // pnlTN
    void ShowPumpTypes();         // pnlPumpHydrel
    void ShowCirculationPump();   // pnlPump
};
