#pragma once
// The filter of the history window: which entries of a history file are
// listed, printed and exported. Every field has an "any" value that lets
// every entry through; two fields are running state that the test of one
// entry leaves for the next (an operator's shift, the entry after a
// program event), so a whole pass must start with them cleared.
#include "history/history_entry.h"

#include <array>
#include <cstdint>
#include <functional>

namespace k4 {

// Bits of HistFilter::categories.
enum : uint8_t {
    kCategoryArming = 0x01,      // "Załączenia systemu"
    kCategoryDisarming = 0x02,   // "Wyłączenia systemu"
    kCategoryNoWorkStart = 0x04, // "BEZ Początek pracy": leaves out start and end of work
    kCategoryNoBlocked = 0x08,   // "BEZ Zablokowany ..."
    kCategoryProgram = 0x10,     // "Zdarzenia programowe": system entries
};

// Bits of HistFilter::tracks, in the order of the "Tory" list.
enum : int {
    kFilterTrackDialUp = 0,
    kFilterTrackRadio = 1,
    kFilterTrackFixed = 2,
    kFilterTrackGsm = 3,
    kFilterTrackAdemco = 4,
    kFilterTrackContactId = 5,
    kFilterTrackEthernet = 6,
    kFilterTrackCount = 7,
};

struct HistFilter {
    Stamp from = 0;          // entries with time >= from; 0 any
    Stamp to = 0;            // entries with time < to; 0 any
    int16_t subscriber = -1; // -1 any
    int16_t code = -1;       // event code or system kind; -1 any
    int16_t subsystem = 255; // 255 any
    int16_t sector = 4095;   // 4095 any
    int16_t operatorNumber = 0; // 0 any
    uint8_t categories = kCategoryNoWorkStart;
    uint8_t tracks = 0;      // 0 any
    std::array<int16_t, kFilterTrackCount> bases{}; // 0 any base on that path
    uint8_t unknown = 0;     // "Nieznane ...": also entries with an unknown-mask bit
    uint8_t inShift = 0;     // running: inside a shift of the filtered operator
    uint8_t follow = 0;      // running: the entry after a kind 43, 45 or 57 entry
    int16_t service = 0;     // 1 "Wybranych", 2 "Wszystkich"; 0 off
    int16_t serviceMask = 0; // the chosen alarm-service steps, bits 0-7
    uint8_t colour = 0;      // the colour chosen in the dialog's grid
    uint8_t emptyOnly = 0;   // only entries with time 0

    void clearRunningState() {
        inShift = 0;
        follow = 0;
    }
    // Nothing but the defaults: every entry except start and end of work.
    bool isDefault() const;
};

// The system kinds whose value field is not a subscriber number.
constexpr std::array<int, 22> NoSubscriberKinds = {1,  2,  3,  4,  5,  6,  10, 11, 18, 19, 21,
                                                   22, 26, 35, 41, 42, 43, 45, 57, 55, 66, 67};
bool isNoSubscriberKind(int kind);

// What the filter must know about events beyond the entry: the kind of an
// event definition (-1 arming, -2 disarming, 0 other) and the configured
// special codes (0 unset).
struct FilterKnowledge {
    std::function<int(int code)> eventKind;
    std::array<int, 10> specialCodes{};
};

// The test of one entry; updates the filter's running state.
bool matchesFilter(HistFilter& filter, const HistoryEntry& e, const FilterKnowledge& knowledge);

} // namespace k4
