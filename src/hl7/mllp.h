#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// MLLP: each message between a start byte 0x0B and the end bytes 0x1C 0x0D.
inline constexpr qsizetype maxMllpMessage = 1024 * 1024;

QByteArray mllpFramed(QByteArrayView message);

// Cuts the messages out of the bytes of one connection as they arrive.
class MllpReader
{
public:
    // The messages completed by these bytes, in order. Line ends between frames are
    // skipped; any other byte outside a frame, or a message longer than
    // maxMllpMessage, is a fault: the reader then takes nothing more.
    QList<QByteArray> read(QByteArrayView bytes);
    const QString &fault() const { return m_fault; }

private:
    QByteArray m_message;
    bool m_inFrame = false;
    QString m_fault;
};
