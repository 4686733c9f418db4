#include "processing/event_table.h"

#include <algorithm>
#include <cstring>

namespace k4 {

EventTable::EventTable() : records_(kRecords) {}

void EventTable::release() {
    std::fill(records_.begin(), records_.end(), EventDef{});
    index_.fill(0);
    available_ = false;
}

void EventTable::setRecords(const std::vector<EventDef>& records) {
    records_.assign(kRecords, EventDef{});
    std::copy_n(records.begin(), std::min<size_t>(records.size(), kRecords), records_.begin());
    buildIndex();
    available_ = true;
}

void EventTable::buildIndex() {
    index_.fill(0);
    for (int i = 0; i < kRecords; ++i) {
        const int code = records_[static_cast<size_t>(i)].code;
        if (code >= 1 && code <= 4095) index_[static_cast<size_t>(code)] = static_cast<int16_t>(i);
    }
}

const EventDef* EventTable::findEvent(int code) const {
    if (!available_) return nullptr;
    return &records_[static_cast<size_t>(recordOf(code))];
}

int EventTable::putEvent(const EventDef& def, int code) {
    if (code < kFirstEventCode || code > kLastEventCode) return -1;
    if (records_[kRecords - 1].code != 0) return -1;
    int at = 1;
    while (at < kRecords - 1 && records_[static_cast<size_t>(at)].code != 0 &&
           records_[static_cast<size_t>(at)].code < code)
        ++at;
    EventDef stored = def;
    // The record's own code is what the index is rebuilt from at the next
    // load; it must be the code it is filed under.
    stored.code = static_cast<uint16_t>(code);
    if (records_[static_cast<size_t>(at)].code == code) {
        records_[static_cast<size_t>(at)] = stored;
        return 0;
    }
    std::move_backward(records_.begin() + at, records_.end() - 1, records_.end());
    records_[static_cast<size_t>(at)] = stored;
    for (auto& entry : index_)
        if (entry >= at) ++entry;
    index_[static_cast<size_t>(code)] = static_cast<int16_t>(at);
    return 0;
}

int EventTable::deleteEvent(int code) {
    const int at = recordOf(code);
    if (at == 0) return -1;
    std::move(records_.begin() + at + 1, records_.end(), records_.begin() + at);
    records_[kRecords - 1] = EventDef{};
    for (auto& entry : index_) {
        if (entry > at) --entry;
        else if (entry == at) entry = 0;
    }
    return 0;
}

int EventTable::eventKind(int code) const {
    const EventDef* def = findEvent(code);
    if (!def) return 0;
    if (def->kindBits() == kEventArming) return -1;
    if (def->kindBits() == kEventDisarming) return -2;
    return 0;
}

bool EventTable::isFireEvent(int code) const {
    const EventDef* def = findEvent(code);
    return def && (def->kindBits() & kEventFire) != 0;
}

std::vector<int> EventTable::definedCodes() const {
    std::vector<int> codes;
    for (int code = 0; code < kIndexSize; ++code)
        if (index_[static_cast<size_t>(code)] != 0) codes.push_back(code);
    return codes;
}

} // namespace k4
