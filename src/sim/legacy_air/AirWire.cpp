#include "sim/legacy_air/AirWire.h"

namespace AirWire {

quint8 Sum(const QByteArray &bytes)
{
    unsigned sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    return quint8(sum & 0xFF);
}

QByteArray Answer(quint8 status, quint8 d1, quint8 d2)
{
    QByteArray frame;
    frame.append(char(status)).append(char(d1)).append(char(d2));
    frame.append(char(Sum(frame)));
    return frame;
}

QByteArray Word(quint8 status, quint16 value)
{
    return Answer(status, quint8(value >> 8), quint8(value & 0xFF));
}

QByteArray Dump(const QByteArray &image)
{
    return image + QByteArray(1, char(Sum(image)));
}

std::optional<quint8> TRequestReader::Next()
{
    while (Buffer.size() >= 2) {
        if (Buffer[0] == Buffer[1]) {
            const quint8 code = quint8(Buffer[0]);
            Buffer.remove(0, 2);
            return code;
        }
        Buffer.remove(0, 1);
        ++Dropped;
    }
    return std::nullopt;
}

} // namespace AirWire
