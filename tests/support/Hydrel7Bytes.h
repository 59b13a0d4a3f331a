#pragma once
// Hydrel-7 frames as the tests write them, with their own sum routine (never the handler's or the
// simulator's): AA, flags, 0, 0, code, four data bytes, sum.
#include <QByteArray>
#include <QtGlobal>

namespace Hydrel7Test {

inline QByteArray Frame(int flags, int code, int b5 = 0, int b6 = 0, int b7 = 0, int b8 = 0)
{
    QByteArray frame;
    for (int byte : {0xAA, flags, 0, 0, code, b5, b6, b7, b8})
        frame.append(char(byte));
    int sum = 0;
    for (char c : frame)
        sum += quint8(c);
    frame.append(char(sum % 256));
    return frame;
}

// A status message of the heater (flags without the reply bit).
inline QByteArray Status(int type, int b5 = 0, int b6 = 0, int b7 = 0, int b8 = 0)
{
    return Frame(0x01, type, b5, b6, b7, b8);
}

// The heater's reply to a command (reply bit set).
inline QByteArray Reply(int code, int b5 = 0, int b6 = 0, int b7 = 0, int b8 = 0)
{
    return Frame(0x19, code, b5, b6, b7, b8);
}

// A request as the program writes it.
inline QByteArray Request(int code, int b5 = 0, int flags = 9)
{
    return Frame(flags, code, b5);
}

} // namespace Hydrel7Test
