#pragma once
#include "current/AirHeater.h"

// The air heater "Zephal-1" on the current protocol, at 9600 baud, with its own EDR layout.
class TZephal1 : public TAirHeater {
public:
    TZephal1();

    QString ClassName() const override { return QStringLiteral("TZephal1"); }
    QString ModelName() const override { return QStringLiteral("Zephal-1"); }

protected:
    QString FaultName(quint8 code) const override;
    TEdrBlocks EdrBlocks() const override { return {3, 86, 300}; }
    QStringList EdrReport() const override;
};
