// Any bytes as a datagram of each UDP channel: the transmitters' short and
// long forms, the bases' "%" answers and the confirmation made of a report
// message, the answer limiter and the allowed-senders list. Each must read
// what it can, refuse the rest, never read outside the datagram and never
// change a text's length.
#include "net/allowed_senders.h"
#include "net/base_text.h"
#include "net/binary_datagram.h"
#include "net/ip_text.h"
#include "net/reply_limiter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the datagram's size, so a read past its end is
    // caught by the address sanitizer.
    const std::vector<uint8_t> d(data, data + size);
    if (const auto subscriber = k4::shortFormSubscriber(d))
        if (*subscriber < 0 || *subscriber > 0xFFFF) std::abort();
    if (const auto f = k4::longForm(d)) {
        if (f->code < 0 || f->code > 0xFFF || f->sector < 0 || f->sector > 0xFFF) std::abort();
        if (!f->hexNumber && f->subscriber > 9999) std::abort();
        if (!k4::isMarker(f->marker)) std::abort();
    }

    const std::string text(d.begin(), d.end());
    int32_t value = -1;
    const int sequence = k4::parseCommandReply(text, value);
    if (sequence < 0 || sequence > 0xFF) std::abort();
    std::string confirmation = text;
    if (k4::makeConfirmation(confirmation) && (confirmation.size() != text.size() || confirmation[0] != '%'))
        std::abort();
    if (k4::baseAcknowledgement(text).size() != 4) std::abort();

    static k4::ReplyLimiter limiter;
    limiter.allowEcho(text.substr(0, 15), d, size);
    k4::AllowedSenders allowed;
    allowed.parse(text);
    allowed.allows(text);
    (void)k4::parseDottedIp(text);
    return 0;
}
