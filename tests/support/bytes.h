#pragma once

#include <QByteArray>

#include <initializer_list>

// Bytes by value, as they go over the serial line: bytes({16, 2, 200, 0}).
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray data;
    for (const int value : values)
        data.append(static_cast<char>(value));
    return data;
}
