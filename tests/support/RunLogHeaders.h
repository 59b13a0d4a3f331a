#pragma once
// The run-log headers as a saved file must carry them, written out here rather than taken from the
// handlers' own code.
#include <QString>

namespace RunLogHeaders {
inline const QString English = QStringLiteral(
    "Stage;Mode;WTime;StTime;MdTime;SB;ASB;FP Freq.;Plug Voltage;Plug PWM impulse/1000;FI;T ext. sens.;T plate;"
    "Voltage;FaultCode;");
inline const QString Russian = QStringLiteral(
    "Стадия;режим;Вр.Работы;Вр.на стадии;Вр. на режиме;Об.заданные;Об.считанные;Частота ТН;U свечи;"
    "Импульс ШИМ свечи/1000;ИП;Т внешн. датчика;T платы;U;Неисправность;");
} // namespace RunLogHeaders
