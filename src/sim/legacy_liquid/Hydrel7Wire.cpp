#include "sim/legacy_liquid/Hydrel7Wire.h"

namespace SimHydrel7 {

namespace {
quint8 SumOfNine(const char *bytes)
{
    int sum = 0;
    for (int i = 0; i < FrameSize - 1; ++i)
        sum += quint8(bytes[i]);
    return quint8(sum % 256);
}
} // namespace

QByteArray Frame(quint8 flags, quint8 code, quint8 b5, quint8 b6, quint8 b7, quint8 b8)
{
    const char bytes[] = {char(StartByte), char(flags), 0, 0, char(code), char(b5), char(b6), char(b7), char(b8)};
    QByteArray frame(bytes, FrameSize - 1);
    frame.append(char(SumOfNine(bytes)));
    return frame;
}

std::optional<TRequest> TRequestReader::Next()
{
    while (Pending.size() >= FrameSize) {
        if (quint8(Pending[0]) == StartByte && SumOfNine(Pending.constData()) == quint8(Pending[FrameSize - 1])) {
            const TRequest request{quint8(Pending[4]), quint8(Pending[5])};
            Pending.remove(0, FrameSize);
            return request;
        }
        Pending.remove(0, 1);
    }
    return std::nullopt;
}

} // namespace SimHydrel7
