#include "mllpsender.h"

#include "hl7/hl7ack.h"

#include <QSslCertificate>
#include <QSslConfiguration>

MllpSender::MllpSender(MllpPeer peer, QObject *parent) : QObject(parent), m_peer(std::move(peer))
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        finish({PeerAnswer::Again,
                QStringLiteral("keine Quittung binnen %1 s").arg(m_peer.timeoutMs / 1000.0)});
    });
}

void MllpSender::send(const QByteArray &message, const QString &controlId)
{
    m_controlId = controlId;
    m_reader = {};
    m_socket = new QSslSocket(this);
    const QByteArray framed = mllpFramed(message);
    connect(m_socket, &QSslSocket::readyRead, this, &MllpSender::readAnswer);
    connect(m_socket, &QSslSocket::errorOccurred, this, [this] {
        finish({PeerAnswer::Again, m_socket->errorString()});
    });
    connect(m_socket, &QSslSocket::disconnected, this, [this] {
        finish({PeerAnswer::Again, QStringLiteral("Verbindung ohne Quittung geschlossen")});
    });
    m_timeout.start(m_peer.timeoutMs);
    if (!m_peer.tls) {
        connect(m_socket, &QSslSocket::connected, this,
                [this, framed] { m_socket->write(framed); });
        m_socket->connectToHost(m_peer.host, m_peer.port);
        return;
    }
    if (!m_peer.caFile.isEmpty()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates(QSslCertificate::fromPath(m_peer.caFile));
        m_socket->setSslConfiguration(configuration);
    }
    connect(m_socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
        finish({PeerAnswer::Again, errors.value(0).errorString()});
    });
    connect(m_socket, &QSslSocket::encrypted, this, [this, framed] { m_socket->write(framed); });
    m_socket->connectToHostEncrypted(m_peer.host, m_peer.port);
}

void MllpSender::readAnswer()
{
    const QList<QByteArray> answers = m_reader.read(m_socket->readAll());
    if (!answers.isEmpty())
        finish(readHl7Ack(answers.first(), m_controlId));
    else if (!m_reader.fault().isEmpty())
        finish({PeerAnswer::Refused, m_reader.fault()});
}

void MllpSender::finish(const PeerAnswer &answer)
{
    if (!m_socket)
        return;
    m_timeout.stop();
    QSslSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    emit answered(answer);
}
