#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <functional>

// The Hydrel-7 frame, ten bytes in both directions:
//   AA, flags, 0, 0, command or message type, four data bytes, sum
// The sum is the low byte of the sum of the nine bytes before it. In a frame from the heater, bit 4
// of the flags marks the reply to a command; without it the frame is a status message.
namespace Hydrel7 {

constexpr int FrameSize = 10;
constexpr quint8 StartByte = 0xAA;
constexpr quint8 ReplyFlag = 0x10;
// The flags byte of every request but the stop operation's own.
constexpr quint8 RequestFlags = 9;
constexpr quint8 StopFlags = 1;

// The nine bytes after the start byte are frame bytes 1 to 9; only 1 to 8 are given.
using TRequestBytes = std::array<quint8, 8>;

// (byte 0 + ... + byte 8) mod 256 of a frame that holds at least nine bytes.
quint8 FrameSum(const char *frame);
// True when bytes holds at least ten bytes and byte 9 is the sum of the nine before it. The start
// byte is not looked at here.
bool IsFrameSumOk(const QByteArray &bytes);
// The frame for bytes 1 to 8, with the start byte and the sum.
QByteArray BuildFrame(const TRequestBytes &bytes);
// A request frame: the flags, the command and its one data byte.
QByteArray BuildRequest(quint8 command, quint8 data = 0, quint8 flags = RequestFlags);

// What the extraction dropped, so that every byte of the line is accounted for.
struct TDrops {
    qint64 Frames = 0;        // frames that passed the sum and were handed on
    qint64 SkippedBytes = 0;  // bytes before a start byte
    qint64 BadFrames = 0;     // ten-byte pieces that failed the sum or had no start byte
    qint64 BadFrameBytes = 0; // their bytes
};

// Cuts frames from the front of buffer while ten bytes or more are left: bytes before the first start
// byte are dropped; without any start byte the front ten bytes are tested as they stand. Ten bytes
// that fail the sum are dropped whole and the bytes after them examined afresh; ten bytes without
// the start byte in front are never taken for a frame, even when their sum matches by chance. Fewer
// than ten bytes stay for the next call. An accepted frame counts as consumed before onFrame sees it,
// so an error in onFrame never hands the same frame on twice; the error ends the extraction and
// leaves the rest in the buffer. Bytes appended by onFrame are taken in the same call. Work is
// linear in the number of bytes. onDropped, when given, sees every dropped piece in line order: the
// bytes skipped before a start byte, and each ten-byte piece that was not taken for a frame.
void ExtractFrames(QByteArray &buffer, const std::function<void(const QByteArray &frame)> &onFrame,
                   TDrops *drops = nullptr, const std::function<void(const QByteArray &bytes)> &onDropped = {});

} // namespace Hydrel7
