#include "database/index_page_cache.h"

#include <algorithm>
#include <cstring>

namespace k4 {

struct IndexPageCache::Slot {
    File* file = nullptr;
    int32_t offset = 0;
    bool changed = false;
    Slot* newer = nullptr;
    Slot* older = nullptr;
    CachedIndexPage page;
};

IndexPageCache::IndexPageCache() = default;
IndexPageCache::~IndexPageCache() = default;

IndexPageCache::Slot* IndexPageCache::find(const File& file, int32_t offset) {
    auto it = index_.find(Key{&file, offset});
    return it == index_.end() ? nullptr : it->second;
}

void IndexPageCache::unlink(Slot& slot) {
    if (slot.newer) slot.newer->older = slot.older;
    if (slot.older) slot.older->newer = slot.newer;
    if (newest_ == &slot) newest_ = slot.older;
    if (oldest_ == &slot) oldest_ = slot.newer;
    slot.newer = slot.older = nullptr;
}

void IndexPageCache::touch(Slot& slot) {
    if (newest_ == &slot) return;
    unlink(slot);
    slot.older = newest_;
    if (newest_) newest_->newer = &slot;
    newest_ = &slot;
    if (!oldest_) oldest_ = &slot;
}

bool IndexPageCache::writeBack(Slot& slot) {
    if (!slot.file || !slot.changed) return true;
    const bool written = deferSync_ ? slot.file->writeAtNoSync(slot.offset, slot.page.bytes.data(), kIndexPageSize)
                                    : slot.file->writeAt(slot.offset, slot.page.bytes.data(), kIndexPageSize);
    if (!written) return false;
    slot.changed = false;
    changed_.erase(std::find(changed_.begin(), changed_.end(), &slot));
    return true;
}

void IndexPageCache::forget(Slot& slot) {
    if (slot.changed) changed_.erase(std::find(changed_.begin(), changed_.end(), &slot));
    if (slot.file) index_.erase(Key{slot.file, slot.offset});
    slot.file = nullptr;
    slot.changed = false;
    unlink(slot);
    spare_.push_back(&slot);
}

IndexPageCache::Slot* IndexPageCache::take() {
    if (!spare_.empty()) {
        Slot* slot = spare_.back();
        spare_.pop_back();
        return slot;
    }
    if (static_cast<int>(slots_.size()) < kSlots) {
        slots_.push_back(std::make_unique<Slot>());
        return slots_.back().get();
    }
    Slot* slot = oldest_;
    if (!writeBack(*slot)) return nullptr;
    forget(*slot);
    spare_.pop_back();
    return slot;
}

IndexPageCache::Slot* IndexPageCache::slotFor(File& file, int32_t offset) {
    Slot* slot = find(file, offset);
    if (!slot) {
        slot = take();
        if (!slot) return nullptr;
        slot->file = &file;
        slot->offset = offset;
        index_[Key{&file, offset}] = slot;
    }
    touch(*slot);
    return slot;
}

const CachedIndexPage* IndexPageCache::page(File& file, int32_t offset) {
    if (Slot* held = find(file, offset)) {
        touch(*held);
        return &held->page;
    }
    Slot* slot = take();
    if (!slot) return nullptr;
    if (!file.readAt(offset, slot->page.bytes.data(), kIndexPageSize)) {
        spare_.push_back(slot);
        return nullptr;
    }
    slot->file = &file;
    slot->offset = offset;
    slot->page.sound = layOutIndexPage(slot->page.bytes.data(), slot->page.layout);
    index_[Key{&file, offset}] = slot;
    touch(*slot);
    return &slot->page;
}

bool IndexPageCache::store(File& file, int32_t offset, const IndexNode& node) {
    Slot* slot = slotFor(file, offset);
    if (!slot) return false;
    encodeIndexPage(node, slot->page.bytes.data());
    layOutIndexNode(node, slot->page.layout);
    slot->page.sound = true;
    if (!slot->changed) changed_.push_back(slot);
    slot->changed = true;
    return true;
}

CachedIndexPage* IndexPageCache::change(File& file, int32_t offset) {
    Slot* slot = find(file, offset);
    if (!slot) return nullptr;
    touch(*slot);
    if (!slot->changed) changed_.push_back(slot);
    slot->changed = true;
    return &slot->page;
}

bool IndexPageCache::storeFree(File& file, int32_t offset, int32_t next) {
    IndexNode free;
    free.self = next; // a free page's first word links the chain
    free.left = kIndexFreeMark;
    return store(file, offset, free);
}

bool IndexPageCache::flush(File& file, int32_t& failedOffset) {
    bool wrote = false;
    // Oldest changes first does not matter: the header, written after this,
    // is what makes the pages part of the tree.
    std::vector<Slot*> mine;
    for (Slot* slot : changed_)
        if (slot->file == &file) mine.push_back(slot);
    std::sort(mine.begin(), mine.end(), [](const Slot* a, const Slot* b) { return a->offset < b->offset; });
    for (Slot* slot : mine) {
        if (!file.writeAtNoSync(slot->offset, slot->page.bytes.data(), kIndexPageSize)) {
            failedOffset = slot->offset;
            return false;
        }
        slot->changed = false;
        wrote = true;
    }
    if (!mine.empty())
        changed_.erase(std::remove_if(changed_.begin(), changed_.end(), [&](const Slot* s) { return s->file == &file && !s->changed; }),
                       changed_.end());
    if (wrote && !deferSync_ && !file.sync()) {
        failedOffset = 0;
        return false;
    }
    return true;
}

void IndexPageCache::drop(File& file) {
    for (auto& slot : slots_)
        if (slot->file == &file) forget(*slot);
}

} // namespace k4
