#include "hl7courier.h"

#include "hl7/hl7message.h"
#include "hl7/hl7resultsink.h"

Hl7Courier::Hl7Courier(OutboxPump &pump, MllpPeer peer, QObject *parent)
    : QObject(parent), m_sender(std::move(peer)),
      m_courier(pump, hl7Destination, QStringLiteral("HL7"), [this](const OutboxEntry &entry) {
          const auto message = Hl7Message::parse(entry.payload);
          m_sender.send(entry.payload, message ? message->value(u"MSH", 10) : QString());
      })
{
    connect(&m_sender, &MllpSender::answered, &m_courier, &PeerCourier::answered);
}
