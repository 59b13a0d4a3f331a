#pragma once
#include <QByteArray>
#include <initializer_list>

// A byte string written as numbers, the way the reference frames are written down.
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
