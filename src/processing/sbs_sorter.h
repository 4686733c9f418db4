#pragma once
// SbsSorter: the subscribers of one index in key order, optionally within a
// range and through the paths/tests filter, as the subscriber lists show
// and print them. Each entry is a record offset of "dane" in its low 24
// bits with the list's mark in the top byte.
#include "processing/supervised_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace k4 {

class Clock;
class Messages;
class Printing;
class SubscriberDatabase;
class SubscriberIndexes;

class SbsSorter {
public:
    // The whole of "numer", unfiltered.
    SbsSorter(SubscriberIndexes& indexes, SubscriberDatabase& database);

    // index: 0..5 (another number is told and 0 used); from/to: Mazovia,
    // upper-cased; keyLength 0: no range. mark: every entry marked.
    void collect(int index, std::string from, std::string to, int keyLength, uint16_t mask, bool mark = false);
    // The same index and range again with another filter.
    void refilter(uint16_t mask) { collect(index_, from_, to_, keyLength_, mask, mark_); }

    int count() const { return static_cast<int>(entries_.size()); }
    int32_t offset(int i) const { return static_cast<int32_t>(entries_[static_cast<size_t>(i)] & 0x00FFFFFF); }
    bool marked(int i) const { return (entries_[static_cast<size_t>(i)] >> 24) != 0; }
    std::vector<int32_t> offsets() const;
    int index() const { return index_; }
    uint16_t mask() const { return mask_; }

private:
    SubscriberIndexes& indexes_;
    SubscriberDatabase& database_;
    int index_ = 0;
    std::string from_, to_;
    int keyLength_ = 0;
    uint16_t mask_ = kNoFilter;
    bool mark_ = false;
    std::vector<uint32_t> entries_;
};

// What printing a subscriber list needs besides the list.
struct ListingParts {
    Printing& printing;
    Messages& messages;
    const Clock& clock;
    // The columns of the names-only layout: a mask of the data-selection
    // dialog (bit 0 "Telefon" .. bit 4 "Testy"), or -1 when the operator
    // gives up.
    std::function<int()> chooseColumns;
};

enum : int {
    kListingNames = 0,  // "Wydruk &nazw": number, name and the chosen columns
    kListingNormal = 1, // "Wydruk": the address on a second line
    kListingDense = 2,  // "Wydruk &gęsty": everything on one line
};

// The list on the data printer as one listing job: the full subscriber
// list in a layout, or (full false) the list of tested subscribers with
// their test paths. 0 printed; 1 the operator stopped it; -1 the data
// printer could not be opened.
int printSubscriberListing(const std::vector<int32_t>& offsets, SubscriberDatabase& database, bool full, int layout,
                           ListingParts& parts);

} // namespace k4
