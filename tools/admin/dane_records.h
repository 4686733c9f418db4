#pragma once
// The subscriber records of "dane" as the file lies on the disk, without the
// number index: every whole record that is not on the free chain, with the
// keys it gives the indexes. What the technician needs to rebuild "numer"
// and to check the indexes against it.
#include "database/subscriber_indexes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace k4::admin {

struct DaneRecord {
    int32_t offset;
    int number; // the object field
    SubscriberKeys keys;
};

// false and the reason (UTF-8) when the file cannot be read. A free chain
// that leaves the file or loops is followed only as far as it is sound. The
// file is read through a buffer of a few records, never whole.
bool inUseSubscriberRecords(const std::string& path, std::vector<DaneRecord>& records, std::string& error);

} // namespace k4::admin
