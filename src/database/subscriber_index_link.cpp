#include "database/subscriber_index_link.h"

#include "database/sbscrbr.h"

#include <cstring>

namespace k4 {

namespace {
template <size_t N>
std::string text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}
} // namespace

SubscriberKeys subscriberKeysOf(const Sbscrbr& s) {
    SubscriberKeys keys;
    keys.number = s.record.object;
    keys.record = s.offset();
    keys.name = text(s.record.name);
    keys.town = text(s.record.town);
    keys.address = text(s.record.address);
    keys.passwd = text(s.record.passwd);
    keys.tel = text(s.record.tel);
    keys.telGsm = text(s.record.tel_gsm);
    return keys;
}

int SubscriberIndexLink::FindNumber(int number, int32_t& offset) {
    // "numer" stays open for the whole run; when it is not, the number
    // cannot be looked up, which is not the same as a new subscriber.
    IndexHandle& numer = indexes_.handle(kIndexNumber);
    if (!numer.isOpen()) return -1;
    IndexKey key;
    if (numer.FindKey(numberKey(number), key) != kIndexFound) return 0;
    offset = key.value;
    return 1;
}

int SubscriberIndexLink::RemoveSubscriberKeys(const Sbscrbr& subscriber) {
    return indexes_.RemoveSubscriberKeys(subscriberKeysOf(subscriber));
}

} // namespace k4
