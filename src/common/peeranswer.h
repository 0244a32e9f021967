#pragma once

#include <QString>

// What a link's peer made of one delivered result.
struct PeerAnswer
{
    enum Kind {
        Done,    // the peer has it: AA/CA, a 2xx
        Refused, // the peer will not take it as it is: AE/AR, a 4xx, an answer of another kind
        Again    // not delivered: no answer in time, no connection, a 5xx; send it later
    };
    Kind kind = Again;
    QString text; // the peer's words or the fault, for the operator and the log

    bool operator==(const PeerAnswer &) const = default;
};
