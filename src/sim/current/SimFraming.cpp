#include "sim/current/SimFraming.h"

namespace SimFraming {

quint16 Crc16(const char *data, qsizetype size)
{
    quint16 crc = 0xFFFF;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QByteArray Answer(quint8 command, const QByteArray &payload)
{
    Q_ASSERT(payload.size() <= 251);
    QByteArray frame;
    frame.reserve(payload.size() + 7);
    frame.append(char(StartByte));
    frame.append(char(HeaterAddress));
    frame.append(char(payload.size()));
    frame.append(char(HeaterSubAddress));
    frame.append(char(command));
    frame.append(payload);
    const quint16 crc = Crc16(frame.constData(), frame.size());
    frame.append(char(crc >> 8));
    frame.append(char(crc & 0xFF));
    return frame;
}

void TRequestReader::Append(const QByteArray &bytes)
{
    Buffer.append(bytes);
}

std::optional<TRequest> TRequestReader::Next()
{
    for (;;) {
        const qsizetype start = Buffer.indexOf(char(StartByte));
        if (start < 0) {
            Dropped += Buffer.size();
            Buffer.clear();
            return std::nullopt;
        }
        if (start > 0) {
            Dropped += start;
            Buffer.remove(0, start);
        }
        if (Buffer.size() < 5)
            return std::nullopt;
        const int n = quint8(Buffer[2]);
        const qsizetype total = n + 7;
        if (Buffer.size() < total)
            return std::nullopt;
        const quint16 crc = Crc16(Buffer.constData(), n + 5);
        if (quint8(Buffer[n + 5]) == (crc >> 8) && quint8(Buffer[n + 6]) == (crc & 0xFF)) {
            TRequest request;
            request.Address = quint8(Buffer[1]);
            request.SubAddress = quint8(Buffer[3]);
            request.Command = quint8(Buffer[4]);
            request.Payload = Buffer.mid(5, n);
            Buffer.remove(0, total);
            return request;
        }
        ++Rejected;
        ++Dropped;
        Buffer.remove(0, 1);
    }
}

} // namespace SimFraming
