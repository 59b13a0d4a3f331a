#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <optional>

// The heater's side of the framed line, written apart from the program's frame code on purpose:
// both ends are checked against the same reference frames, so one mistake cannot hide on both.
//
// Frame: 0xAA, address, payload length n, second address, command, n payload bytes, CRC high, CRC low;
// the CRC-16 (reflected 0xA001, start 0xFFFF) covers everything from 0xAA to the last payload byte.
namespace SimFraming {

constexpr quint8 StartByte = 0xAA;
// What the heater puts in the two address bytes of its answers; the program does not look at them.
constexpr quint8 HeaterAddress = 4;
constexpr quint8 HeaterSubAddress = 0;

quint16 Crc16(const char *data, qsizetype size);

// A complete answer frame from the heater.
QByteArray Answer(quint8 command, const QByteArray &payload = {});

struct TRequest {
    quint8 Address = 0;
    quint8 SubAddress = 0;
    quint8 Command = 0;
    QByteArray Payload;
};

// Cuts requests out of the bytes the heater hears, however they are split across reads. Bytes that
// cannot start a frame and frames with a wrong CRC are dropped; after a bad frame the search resumes
// at the byte after its start byte, so a stray 0xAA in line noise cannot swallow a good request.
class TRequestReader {
public:
    void Append(const QByteArray &bytes);
    // The next complete, valid request, or nothing until more bytes arrive.
    std::optional<TRequest> Next();

    qsizetype DroppedBytes() const { return Dropped; }
    int RejectedFrames() const { return Rejected; }

private:
    QByteArray Buffer;
    qsizetype Dropped = 0;
    int Rejected = 0;
};

} // namespace SimFraming
