#include "nonblockingfile.h"

QByteArray NonBlockingFile::readUpTo(qint64 limit)
{
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total < bytes.size()) {
        const qint64 n = read(bytes.data() + total, bytes.size() - total);
        if (n == 0)
            break;
        total += n;
    }
    bytes.truncate(total);
    return bytes;
}
