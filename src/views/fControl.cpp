#include "views/fControl.h"

TfrmControl::TfrmControl(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Управление"));
    resize(127, 876);
}

void TfrmControl::ResetModelSections() {}
void TfrmControl::ShowSettingsZ1() {}
void TfrmControl::ShowSettingsZephalOld() {}
void TfrmControl::ShowOldBlower() {}
void TfrmControl::HideBlower() {}
void TfrmControl::ShowCalibrateFI() {}
void TfrmControl::ShowFuelPumping() {}
void TfrmControl::ShowPumpTypes() {}
void TfrmControl::ShowCirculationPump() {}
