#include "hl7listener.h"

#include "hl7/hl7ack.h"
#include "hl7/hl7result.h"
#include "hl7/mllp.h"

#include "common/logcategories.h"

#include <QTcpSocket>
#include <QTimer>

Hl7Listener::Hl7Listener(Hl7ListenerSettings settings, OrderTaker taker, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_taker(std::move(taker))
{
    connect(&m_server, &QTcpServer::newConnection, this, &Hl7Listener::accept);
}

Hl7Listener::~Hl7Listener()
{
    qDeleteAll(m_readers);
}

bool Hl7Listener::listen()
{
    return m_server.listen(m_settings.address, m_settings.port);
}

void Hl7Listener::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_readers.size() >= m_settings.maxConnections) {
            qCWarning(logHl7).noquote()
                << QStringLiteral("HL7-Verbindung von %1 abgewiesen: schon %2 offen")
                       .arg(socket->peerAddress().toString())
                       .arg(m_readers.size());
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_readers.insert(socket, new MllpReader);
        auto *idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
        idle->start(m_settings.idleMs);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, idle] {
            idle->start(m_settings.idleMs);
            read(socket);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            delete m_readers.take(socket);
            socket->deleteLater();
        });
    }
}

void Hl7Listener::read(QTcpSocket *socket)
{
    MllpReader *reader = m_readers.value(socket);
    if (!reader)
        return;
    for (const QByteArray &message : reader->read(socket->readAll()))
        socket->write(mllpFramed(answer(message)));
    if (!reader->fault().isEmpty()) {
        qCWarning(logHl7).noquote()
            << QStringLiteral("HL7-Verbindung geschlossen: %1").arg(reader->fault());
        socket->write(mllpFramed(hl7Ack(std::nullopt, m_settings.facility, "AE", reader->fault(),
                                        hl7NewControlId(), QDateTime::currentDateTime())));
        socket->disconnectFromHost();
    }
}

QByteArray Hl7Listener::answer(const QByteArray &bytes)
{
    const std::optional<Hl7Message> message = Hl7Message::parse(bytes);
    QString reason = QStringLiteral("Keine HL7-Nachricht (kein MSH-Segment)");
    if (message) {
        const auto order = readHl7Order(*message);
        reason = std::holds_alternative<Order>(order) ? m_taker(std::get<Order>(order))
                                                      : std::get<QString>(order);
    }
    const QString controlId = message ? message->value(u"MSH", 10) : QString();
    if (reason.isEmpty())
        qCInfo(logHl7).noquote() << QStringLiteral("HL7-Auftrag „%1“ übernommen").arg(controlId);
    else
        qCWarning(logHl7).noquote()
            << QStringLiteral("HL7-Nachricht „%1“ abgelehnt: %2").arg(controlId, reason);
    return hl7Ack(message, m_settings.facility, reason.isEmpty() ? "AA" : "AE", reason,
                  hl7NewControlId(), QDateTime::currentDateTime());
}
