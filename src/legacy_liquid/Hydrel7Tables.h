#pragma once
#include <QColor>
#include <QString>
#include <QtGlobal>
#include <optional>

// The Hydrel-7's stage names, their band colours and the fault names.
namespace Hydrel7 {

// "Pause", "Ignition", ... and "Unknown" for a stage the heater does not have.
QString StageText(quint8 stage);
// The band colour of a stage, or none for an unknown stage.
std::optional<QColor> StageBand(quint8 stage);
// "-" for no fault, the fault's name, or the code in decimal for a code without a name.
QString FaultText(quint8 code);

} // namespace Hydrel7
