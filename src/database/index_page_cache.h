#pragma once
// The index pages held in memory, shared by every index file of the
// station. A page is read once and laid out (checked, its entries found)
// when it comes in; the page used least recently makes room for a new one,
// written back first when it was changed. Its size holds the pages that the
// look-ups of all six indexes keep coming back to (their inner pages and the
// leaves of the subscribers reporting), so a look-up costs no read.
#include "database/index_page.h"
#include "platform/file.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace k4 {

struct CachedIndexPage {
    std::array<uint8_t, kIndexPageSize> bytes{};
    // false when the bytes break the page rules (the layout is then empty).
    bool sound = false;
    IndexPageLayout layout;

    RawIndexPage raw() const { return RawIndexPage(bytes.data(), layout); }
};

class IndexPageCache {
public:
    static constexpr int kSlots = 2048;

    IndexPageCache();
    ~IndexPageCache();
    IndexPageCache(const IndexPageCache&) = delete;
    IndexPageCache& operator=(const IndexPageCache&) = delete;

    // A page of the file, read and laid out when not held; nullptr when it
    // could not be read (or an evicted page could not be written back).
    const CachedIndexPage* page(File& file, int32_t offset);
    // The page becomes the node's bytes (changed, to be written back).
    bool store(File& file, int32_t offset, const IndexNode& node);
    // A held page, to be changed in place: it is marked changed. nullptr
    // when the page is not held.
    CachedIndexPage* change(File& file, int32_t offset);
    // The page becomes a free page linking to next.
    bool storeFree(File& file, int32_t offset, int32_t next);
    // Writes back every changed page of the file; false on a write error,
    // with the failing offset. Synced unless syncs are deferred.
    bool flush(File& file, int32_t& failedOffset);
    // Forgets the file's pages, changed ones too (after flush, when it is
    // closed, or when a change is given up).
    void drop(File& file);
    // While deferred, changed pages stay here until they are evicted or
    // their file is flushed, and reach the file without waiting for the
    // disk; whoever defers syncs every file it wrote before relying on it.
    // Only work that is run again after a crash does this: a rebuild, a
    // bulk import.
    void setDeferredSync(bool deferred) { deferSync_ = deferred; }
    bool deferredSync() const { return deferSync_; }

    int held() const { return static_cast<int>(slots_.size()); }

private:
    struct Slot;
    struct Key {
        const File* file;
        int32_t offset;
        bool operator==(const Key& o) const { return file == o.file && offset == o.offset; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            return std::hash<const void*>()(k.file) ^ (static_cast<size_t>(static_cast<uint32_t>(k.offset)) * 0x9E3779B97F4A7C15ull);
        }
    };

    Slot* find(const File& file, int32_t offset);
    // A slot for a page not held: a new one, or the least recently used.
    Slot* take();
    bool writeBack(Slot& slot);
    void touch(Slot& slot);
    void unlink(Slot& slot);
    void forget(Slot& slot);
    Slot* slotFor(File& file, int32_t offset);

    std::vector<std::unique_ptr<Slot>> slots_;
    std::unordered_map<Key, Slot*, KeyHash> index_;
    Slot* newest_ = nullptr;
    Slot* oldest_ = nullptr;
    std::vector<Slot*> changed_;
    std::vector<Slot*> spare_; // forgotten slots, taken before any other
    bool deferSync_ = false;
};

} // namespace k4
