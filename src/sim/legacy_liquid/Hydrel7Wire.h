#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <optional>

// The heater's side of the Hydrel-7 line, in the simulator's own words: ten-byte frames that begin
// with AA and end with the low byte of the sum of the nine bytes before.
namespace SimHydrel7 {

constexpr quint8 StartByte = 0xAA;
constexpr int FrameSize = 10;
// The flags of the heater's frames: a status message, or a reply to a command.
constexpr quint8 StatusFlags = 0x01;
constexpr quint8 ReplyFlags = 0x19;

QByteArray Frame(quint8 flags, quint8 code, quint8 b5 = 0, quint8 b6 = 0, quint8 b7 = 0, quint8 b8 = 0);

struct TRequest {
    quint8 Code = 0;
    quint8 Data = 0;
};

// Collects what the program writes and hands out its requests one by one; bytes that are no frame
// are skipped one at a time until a frame lines up again.
class TRequestReader {
public:
    void Append(const QByteArray &bytes) { Pending += bytes; }
    std::optional<TRequest> Next();

private:
    QByteArray Pending;
};

} // namespace SimHydrel7
