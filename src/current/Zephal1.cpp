#include "current/Zephal1.h"
#include "current/EdrReport.h"

namespace {

const TCurrentModel Zephal1 = [] {
    TCurrentModel model = TAirHeater::SharedModel();
    model.BaudRate = TBaudRate::Br9600;
    model.StatusLength = 50;
    model.TitleName = QStringLiteral("Zephal-1");
    // Its first title has no dots; the one after a lost connection has.
    model.CreationTitle = QStringLiteral("Thermoryx Diagnostic - Zephal-1 - Connecting");
    model.EdrErrorPrefix = QStringLiteral("Ошибка чтения ЧЯ: ");
    return model;
}();

// Its units are written in Cyrillic.
const TGridUnits GridUnits{QStringLiteral(" с"), QStringLiteral(" Гц"), QStringLiteral(" В")};

constexpr int FaultByte = 54;

} // namespace

TZephal1::TZephal1() : TAirHeater(Zephal1, FaultByte, GridUnits) {}

QString TZephal1::FaultName(quint8 code) const
{
    return Zephal1FaultName(code);
}

QStringList TZephal1::EdrReport() const
{
    return Zephal1EdrReport(EepromImage);
}
