#include "current/Zephal33New.h"
#include "current/EdrReport.h"

namespace {

const TCurrentModel Zephal33D = [] {
    TCurrentModel model = TAirHeater::SharedModel();
    model.BaudRate = TBaudRate::Br2400;
    model.StatusLength = 52;
    model.TitleName = QStringLiteral("Zephal-33D");
    // Settings are sent whether the heater runs or not.
    model.ApplySettingsNeedsLaunch = false;
    return model;
}();

const TGridUnits GridUnits{QStringLiteral(" s"), QStringLiteral(" Hz"), QStringLiteral(" V")};

constexpr int FaultByte = 56;

} // namespace

TZephal33new::TZephal33new() : TAirHeater(Zephal33D, FaultByte, GridUnits) {}

QString TZephal33new::FaultName(quint8 code) const
{
    return CurrentFaultName(code);
}

QStringList TZephal33new::EdrReport() const
{
    return HeaterEdrReport(EepromImage);
}
