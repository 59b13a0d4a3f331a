#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <optional>

// The heater's side of the old command-queue line, written apart from the program's frame code on
// purpose, so one mistake cannot hide on both ends. The program sends a command code twice; the
// heater answers with a status byte, two data bytes and their sum, or, for the EEPROM, 256 bytes and
// their sum.
namespace AirWire {

quint8 Sum(const QByteArray &bytes);
QByteArray Answer(quint8 status, quint8 d1, quint8 d2);
QByteArray Word(quint8 status, quint16 value);
QByteArray Dump(const QByteArray &image);

// Cuts command codes out of what the heater hears: two equal bytes make a request; a byte that is
// not followed by its twin is dropped.
class TRequestReader {
public:
    void Append(const QByteArray &bytes) { Buffer += bytes; }
    std::optional<quint8> Next();
    qsizetype DroppedBytes() const { return Dropped; }

private:
    QByteArray Buffer;
    qsizetype Dropped = 0;
};

} // namespace AirWire
