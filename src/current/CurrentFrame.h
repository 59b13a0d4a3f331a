#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <initializer_list>

// The frame of the current heater family:
//   AA, address, n, sub-address, command, n payload bytes, CRC high, CRC low
// The CRC is CRC-16/MODBUS over everything before it, carried high byte first.

struct TCrc16 {
    quint8 High = 0;
    quint8 Low = 0;
};

// CRC over the first (frame[2] + 5) bytes of frame: it reads the length from the frame itself, so the
// two CRC bytes need not be filled in yet. Bytes missing from a short array count as absent.
TCrc16 CalcCRC16(const QByteArray &frame);
// CRC-16/MODBUS of any bytes (the frame routine above is this over the frame's covered part).
quint16 Crc16Modbus(const char *data, qsizetype size);
// True when the two bytes after the payload hold the CRC of the frame, high byte first.
bool isCRC16ok(const QByteArray &frame);

// Payload bytes written as numbers.
QByteArray Payload(std::initializer_list<quint8> bytes);

// One complete frame as written to the port.
QByteArray BuildCurrentFrame(quint8 address, quint8 subAddress, quint8 command, const QByteArray &payload);

// What the extraction dropped, so that tests and diagnostics can account for every byte.
struct TFrameDrops {
    qint64 Frames = 0;        // frames that passed the CRC and were handed on
    qint64 SkippedBytes = 0;  // bytes before a start byte
    qint64 BadFrames = 0;     // frame-sized pieces that failed the CRC
    qint64 BadFrameBytes = 0; // their bytes
};

// Cuts complete frames from the front of buffer: bytes before the first 0xAA are dropped (without
// waiting for more bytes first); a frame
// whose CRC fails is discarded whole; an incomplete frame stays for the next call. An accepted frame
// counts as consumed before onFrame sees it, so an error in onFrame never hands the same frame on
// twice; the error ends the extraction and leaves the rest in the buffer. Bytes appended by onFrame
// are taken in the same call. Work is linear in the number of bytes: no byte is searched for the
// start byte twice and the consumed prefix is removed in one step at the end. onDropped, when given,
// sees every dropped piece in line order: the bytes skipped before a start byte, and each frame-sized
// piece that failed the CRC.
void ExtractCurrentFrames(QByteArray &buffer, const std::function<void(const QByteArray &frame)> &onFrame,
                          TFrameDrops *drops = nullptr,
                          const std::function<void(const QByteArray &bytes)> &onDropped = {});
