#pragma once

#include "common/peeranswer.h"

#include <QByteArrayView>

// What a FHIR server's answer to a transaction says: a 2xx transaction-response is
// Done; a 4xx, or a 2xx of another kind, Refused with the OperationOutcome's text
// (its issues' details.text or diagnostics); a 5xx Again. status 0 is no answer.
PeerAnswer readFhirAnswer(int status, QByteArrayView body);
