#pragma once
#include "current/AirHeater.h"

// The air heater "Zephal-33D" of the new revision on the current protocol, at 2400 baud.
class TZephal33new : public TAirHeater {
public:
    TZephal33new();

    QString ClassName() const override { return QStringLiteral("TZephal33new"); }
    QString ModelName() const override { return QStringLiteral("Zephal-33 [new rev.]"); }

protected:
    QString FaultName(quint8 code) const override;
    QStringList EdrReport() const override;
};
