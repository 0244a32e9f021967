#pragma once

#include "common/peeranswer.h"
#include "hl7/mllp.h"

#include <QObject>
#include <QPointer>
#include <QSslSocket>
#include <QString>
#include <QTimer>

// Where the HL7 results go, as the settings name it.
struct MllpPeer
{
    QString host;
    quint16 port = 0;
    bool tls = false;
    QString caFile;        // certificates the peer's must chain to; empty: the system's
    int timeoutMs = 30000; // from connecting to the ACK
};

// Delivers one message at a time over a connection of its own: connect (with TLS where
// set), send it framed, read the ACK. answered() comes once per send(): Done or Refused
// from the ACK, Again for a connection refused or broken or no ACK within the timeout.
class MllpSender : public QObject
{
    Q_OBJECT
public:
    explicit MllpSender(MllpPeer peer, QObject *parent = nullptr);

    // message: HL7 bytes whose MSH-10 is controlId. Not while one is under way.
    void send(const QByteArray &message, const QString &controlId);

signals:
    void answered(const PeerAnswer &answer);

private:
    void readAnswer();
    void finish(const PeerAnswer &answer);

    MllpPeer m_peer;
    QPointer<QSslSocket> m_socket;
    QTimer m_timeout;
    MllpReader m_reader;
    QString m_controlId;
};
