#pragma once

#include "common/peeranswer.h"
#include "hl7message.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the peer's answer to the message controlId says: Done for MSA-1 AA or CA naming
// it in MSA-2; Refused for AE, AR, CE, CR, or an answer that is no such ACK, with the
// peer's text (MSA-3, ERR-8, else the answer's first line).
PeerAnswer readHl7Ack(QByteArrayView answer, const QString &controlId);

// The ACK (HL7 v2.5.1, UTF-8) for a received message: MSA-1 code (AA or AE), MSA-2 the
// message's control id, MSA-3 and ERR-8 the reason for AE. message is nothing for bytes
// without an MSH: the ACK then names no control id.
QByteArray hl7Ack(const std::optional<Hl7Message> &message, const QString &facility,
                  const char *code, const QString &reason, const QString &controlId,
                  const QDateTime &sent);
