#include "mllp.h"

namespace {
constexpr char startByte = 0x0b;
constexpr char endByte = 0x1c;
constexpr char carriageReturn = 0x0d;
} // namespace

QByteArray mllpFramed(QByteArrayView message)
{
    QByteArray framed;
    framed.reserve(message.size() + 3);
    framed.append(startByte).append(message).append(endByte).append(carriageReturn);
    return framed;
}

QList<QByteArray> MllpReader::read(QByteArrayView bytes)
{
    QList<QByteArray> messages;
    for (qsizetype i = 0; i < bytes.size() && m_fault.isEmpty(); ++i) {
        const char byte = bytes[i];
        if (!m_inFrame) {
            if (byte == startByte)
                m_inFrame = true;
            else if (byte != carriageReturn && byte != '\n')
                m_fault = QStringLiteral("Byte 0x%1 außerhalb einer MLLP-Nachricht")
                              .arg(uchar(byte), 2, 16, QLatin1Char('0'));
        } else if (byte == endByte) {
            // The 0x0D after 0x1C is skipped as a line end between frames.
            messages.append(std::exchange(m_message, {}));
            m_inFrame = false;
        } else if (m_message.size() == maxMllpMessage) {
            m_fault = QStringLiteral("MLLP-Nachricht länger als %1 Bytes").arg(maxMllpMessage);
        } else {
            m_message.append(byte);
        }
    }
    return messages;
}
