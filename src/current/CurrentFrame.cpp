#include "current/CurrentFrame.h"
#include <array>

namespace {

constexpr std::array<quint16, 256> MakeCrcTable()
{
    std::array<quint16, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        quint16 crc = quint16(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        table[value] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> CrcTable = MakeCrcTable();

constexpr quint8 StartByte = 0xAA;
constexpr int FrameOverhead = 7; // start, address, length, sub-address, command, two CRC bytes

} // namespace

quint16 Crc16Modbus(const char *data, qsizetype size)
{
    quint16 crc = 0xFFFF;
    for (qsizetype i = 0; i < size; ++i)
        crc = quint16((crc >> 8) ^ CrcTable[(crc ^ quint8(data[i])) & 0xFF]);
    return crc;
}

TCrc16 CalcCRC16(const QByteArray &frame)
{
    if (frame.size() < 3)
        return {};
    const qsizetype covered = qMin<qsizetype>(quint8(frame[2]) + 5, frame.size());
    const quint16 crc = Crc16Modbus(frame.constData(), covered);
    return {quint8(crc >> 8), quint8(crc & 0xFF)};
}

static bool CrcMatches(const char *frame, int payloadLength)
{
    const quint16 crc = Crc16Modbus(frame, payloadLength + 5);
    return quint8(frame[payloadLength + 5]) == quint8(crc >> 8) && quint8(frame[payloadLength + 6]) == quint8(crc & 0xFF);
}

bool isCRC16ok(const QByteArray &frame)
{
    if (frame.size() < 3)
        return false;
    const int n = quint8(frame[2]);
    if (frame.size() < n + FrameOverhead)
        return false;
    return CrcMatches(frame.constData(), n);
}

QByteArray Payload(std::initializer_list<quint8> bytes)
{
    QByteArray payload;
    payload.reserve(qsizetype(bytes.size()));
    for (quint8 byte : bytes)
        payload.append(char(byte));
    return payload;
}

QByteArray BuildCurrentFrame(quint8 address, quint8 subAddress, quint8 command, const QByteArray &payload)
{
    QByteArray frame;
    frame.reserve(payload.size() + FrameOverhead);
    frame.append(char(StartByte));
    frame.append(char(address));
    frame.append(char(quint8(payload.size())));
    frame.append(char(subAddress));
    frame.append(char(command));
    frame.append(payload);
    frame.append(2, '\0');
    const TCrc16 crc = CalcCRC16(frame);
    frame[payload.size() + 5] = char(crc.High);
    frame[payload.size() + 6] = char(crc.Low);
    return frame;
}

void ExtractCurrentFrames(QByteArray &buffer, const std::function<void(const QByteArray &frame)> &onFrame,
                          TFrameDrops *drops, const std::function<void(const QByteArray &bytes)> &onDropped)
{
    TFrameDrops local;
    TFrameDrops &count = drops ? *drops : local;
    qsizetype pos = 0;
    // Everything before this index is known to hold no start byte, so no byte is searched twice.
    qsizetype searchedTo = 0;
    try {
        for (;;) {
            // Bytes before the first start byte are dropped as soon as the start byte is there.
            if (searchedTo < pos)
                searchedTo = pos;
            if (searchedTo < buffer.size()) {
                const qsizetype start = buffer.indexOf(char(StartByte), searchedTo);
                if (start < 0) {
                    // No start byte at all: the front is still tested as a frame and fails.
                    searchedTo = buffer.size();
                } else {
                    searchedTo = start;
                    count.SkippedBytes += start - pos;
                    if (onDropped && start > pos)
                        onDropped(buffer.mid(pos, start - pos));
                    pos = start;
                }
            }
            const qsizetype available = buffer.size() - pos;
            if (available < 4)
                break;
            const int n = quint8(buffer[pos + 2]);
            if (available < n + FrameOverhead)
                break;
            // Noise without a start byte is consumed like a damaged frame, but never accepted: its
            // CRC can match by chance (FF FF 00 00 00 00 00 does), and it is no frame of the heater's.
            if (quint8(buffer[pos]) == StartByte && CrcMatches(buffer.constData() + pos, n)) {
                const QByteArray frame = buffer.mid(pos, n + FrameOverhead);
                pos += n + FrameOverhead;
                ++count.Frames;
                onFrame(frame);
                // A decoder may have emptied the buffer (tear-down): nothing is left to cut then.
                if (pos > buffer.size())
                    pos = buffer.size();
            } else {
                ++count.BadFrames;
                count.BadFrameBytes += n + FrameOverhead;
                if (onDropped)
                    onDropped(buffer.mid(pos, n + FrameOverhead));
                pos += n + FrameOverhead;
            }
        }
    } catch (...) {
        buffer.remove(0, qMin(pos, buffer.size()));
        throw;
    }
    buffer.remove(0, pos);
}
