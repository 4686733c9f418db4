#pragma once
// Eight pages shared by every index file of the station. A page not held
// takes the slot after the one used last, and that slot's page is written
// back first when it was changed.
#include "database/index_page.h"
#include "platform/file.h"

#include <array>
#include <cstdint>

namespace k4 {

class IndexPageCache {
public:
    static constexpr int kSlots = 8;

    // The bytes of a page of the file, read when not held; nullptr when it
    // could not be read (or an evicted page could not be written back).
    uint8_t* page(File& file, int32_t offset);
    void markChanged(File& file, int32_t offset);
    // Puts a page into the cache as it is, without reading (a new page).
    uint8_t* adopt(File& file, int32_t offset);
    // Writes back every changed page of the file; false on a write error,
    // with the failing offset.
    bool flush(File& file, int32_t& failedOffset);
    // Forgets the file's pages (after flush, when it is closed).
    void drop(File& file);
    // While deferred, pages reach the files without waiting for the disk;
    // whoever defers syncs every file it wrote before relying on it. Only
    // a rebuild from scratch does this: after a crash it is simply run again.
    void setDeferredSync(bool deferred) { deferSync_ = deferred; }
    bool deferredSync() const { return deferSync_; }

private:
    struct Slot {
        File* file = nullptr;
        int32_t offset = 0;
        bool changed = false;
        std::array<uint8_t, kIndexPageSize> bytes{};
    };
    Slot* find(File& file, int32_t offset);
    Slot* take();

    std::array<Slot, kSlots> slots_;
    int last_ = kSlots - 1;
    bool deferSync_ = false;
};

} // namespace k4
