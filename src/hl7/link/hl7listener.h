#pragma once

#include "hl7/hl7order.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <functional>

class QTcpSocket;
class MllpReader;

struct Hl7ListenerSettings
{
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 0; // 0: any free port
    QString facility; // MSH-4 of the ACKs
    int maxConnections = 4;
    int idleMs = 60000; // a connection that sends nothing this long is closed
};

// Takes orders (ORM^O01, ADT^A01/A04/A08) over MLLP, each message at most
// maxMllpMessage bytes, and answers each with an ACK: AA once the taker has kept the
// order, AE with the reason when the message is no usable order or the taker refuses.
// A connection beyond maxConnections is closed at once, as is one that breaks framing.
class Hl7Listener : public QObject
{
    Q_OBJECT
public:
    // Keeps the order (in the worklist) and returns the empty text, or why it cannot.
    using OrderTaker = std::function<QString(const Order &)>;

    Hl7Listener(Hl7ListenerSettings settings, OrderTaker taker, QObject *parent = nullptr);
    ~Hl7Listener() override;

    bool listen();
    QString errorString() const { return m_server.errorString(); }
    quint16 port() const { return m_server.serverPort(); }

private:
    void accept();
    void read(QTcpSocket *socket);
    QByteArray answer(const QByteArray &message);

    Hl7ListenerSettings m_settings;
    OrderTaker m_taker;
    QTcpServer m_server;
    QHash<QTcpSocket *, MllpReader *> m_readers;
};
