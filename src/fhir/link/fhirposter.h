#pragma once

#include "common/peeranswer.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkReply;

// Where the FHIR results go, as the settings name it.
struct FhirServer
{
    QUrl baseUrl;     // the transaction is POSTed here
    QByteArray token; // bearer token; empty: none
    int timeoutMs = 30000;
};

// POSTs one transaction Bundle at a time; answered() comes once per post() with what
// readFhirAnswer makes of the answer, Again for no answer in time or a network fault.
class FhirPoster : public QObject
{
    Q_OBJECT
public:
    explicit FhirPoster(FhirServer server, QObject *parent = nullptr);

    void post(const QByteArray &bundle);

signals:
    void answered(const PeerAnswer &answer);

private:
    void finish(QNetworkReply *reply);

    FhirServer m_server;
    QNetworkAccessManager m_network;
};
