#pragma once
// What the subscriber store asks of the parts of the station around it: the
// number index, the shared event lists and the paths' lists of supervised
// subscribers. The owners of those implement these; tests give fakes.
#include <cstdint>

namespace k4 {

class Sbscrbr;

class SubscriberIndex {
public:
    virtual ~SubscriberIndex() = default;
    // The record offset of the subscriber with this number in "numer":
    // 1 found, 0 not in the index, -1 the index cannot be searched.
    virtual int FindNumber(int number, int32_t& offset) = 0;
    // Removes the subscriber's entries from every index; 0, -1, or -2 when
    // the failure was told to the operator already.
    virtual int RemoveSubscriberKeys(const Sbscrbr& subscriber) = 0;
};

class SharedEventLists {
public:
    virtual ~SharedEventLists() = default;
    // Whether an alarm_list value names one of the shared lists, which stay
    // when a subscriber using them goes.
    virtual bool IsSharedList(int32_t listId) const = 0;
};

class SupervisedSubscriberLists {
public:
    virtual ~SupervisedSubscriberLists() = default;
    // The paths a deleted subscriber used forget it: dial-up, radio with the
    // base in the high nibble of tracksNbr, fixed line with the base in the
    // low nibble, GSM.
    virtual void ForgetSubscriber(int number, uint8_t tracks, uint8_t tracksNbr) = 0;
};

} // namespace k4
