#pragma once
// What the UDP channels hand on to parts of the station built elsewhere:
// the text messages of the Ethernet bases to their parser, a partner's
// confirmation of a forwarded alarm to the forwarding, and the queue of
// texts sent that the alarm service confirms to a base. Each is one narrow
// interface; a channel without one (tools, tests of the channels) keeps
// the texts in the history as the base's text.
#include "net/ip_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k4 {

class HistoryLog;

// The parser of the bases' report messages. 1 when the message is a report
// that the base wants confirmed, 0 otherwise.
class TextMessageParser {
public:
    virtual ~TextMessageParser() = default;
    virtual int parseTextMessage(std::string_view message, int slot) = 0;
};

// A forwarding partner (by its address and partner number) confirmed the
// subscriber's alarm forwarded to it.
class PartnerConfirmations {
public:
    virtual ~PartnerConfirmations() = default;
    virtual void partnerConfirmed(const Ipv4& sender, int partnerNumber, int subscriber) = 0;
};

// The text sent over a path type that carries this alarm, while it waits
// for the operator.
class TrackedTexts {
public:
    virtual ~TrackedTexts() = default;
    virtual std::optional<std::string> trackFindAlarm(int pathType, uint8_t alarmId) = 0;
};

} // namespace k4
