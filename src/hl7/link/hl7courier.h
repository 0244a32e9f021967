#pragma once

#include "mllpsender.h"

#include "outbox/peercourier.h"

// Delivers the outbox's HL7 results over MLLP, one at a time, oldest first: AA/CA is
// done, AE/AR refused, no connection or no ACK in time tried again later.
class Hl7Courier : public QObject
{
    Q_OBJECT
public:
    Hl7Courier(OutboxPump &pump, MllpPeer peer, QObject *parent = nullptr);

private:
    MllpSender m_sender;
    PeerCourier m_courier;
};
