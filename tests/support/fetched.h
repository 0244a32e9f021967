#pragma once

#include <QTest>

// QFETCH as an expression: the current row's value of column name.
template <typename T> T fetched(const char *name)
{
    return *static_cast<T *>(QTest::qData(name, qMetaTypeId<T>()));
}
