#include "fhirposter.h"

#include "fhir/fhiranswer.h"
#include "fhir/fhirbundle.h"

#include <QNetworkReply>
#include <QNetworkRequest>

FhirPoster::FhirPoster(FhirServer server, QObject *parent)
    : QObject(parent), m_server(std::move(server))
{}

void FhirPoster::post(const QByteArray &bundle)
{
    QNetworkRequest request(m_server.baseUrl);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(fhirContentType));
    request.setRawHeader("Accept", fhirContentType);
    if (!m_server.token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + m_server.token);
    request.setTransferTimeout(m_server.timeoutMs);
    QNetworkReply *reply = m_network.post(request, bundle);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
}

void FhirPoster::finish(QNetworkReply *reply)
{
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0) {
        emit answered({PeerAnswer::Again, reply->errorString()});
        return;
    }
    emit answered(readFhirAnswer(status, reply->readAll()));
}
