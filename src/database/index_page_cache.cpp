#include "database/index_page_cache.h"

namespace k4 {

IndexPageCache::Slot* IndexPageCache::find(File& file, int32_t offset) {
    for (auto& slot : slots_)
        if (slot.file == &file && slot.offset == offset) return &slot;
    return nullptr;
}

IndexPageCache::Slot* IndexPageCache::take() {
    last_ = (last_ + 1) % kSlots;
    Slot& slot = slots_[static_cast<size_t>(last_)];
    if (slot.file && slot.changed) {
        const bool written = deferSync_ ? slot.file->writeAtNoSync(slot.offset, slot.bytes.data(), kIndexPageSize)
                                        : slot.file->writeAt(slot.offset, slot.bytes.data(), kIndexPageSize);
        if (!written) return nullptr;
    }
    slot.file = nullptr;
    slot.changed = false;
    return &slot;
}

uint8_t* IndexPageCache::page(File& file, int32_t offset) {
    if (Slot* held = find(file, offset)) return held->bytes.data();
    Slot* slot = take();
    if (!slot) return nullptr;
    if (!file.readAt(offset, slot->bytes.data(), kIndexPageSize)) return nullptr;
    slot->file = &file;
    slot->offset = offset;
    return slot->bytes.data();
}

uint8_t* IndexPageCache::adopt(File& file, int32_t offset) {
    Slot* slot = find(file, offset);
    if (!slot) slot = take();
    if (!slot) return nullptr;
    slot->file = &file;
    slot->offset = offset;
    slot->changed = true;
    return slot->bytes.data();
}

void IndexPageCache::markChanged(File& file, int32_t offset) {
    if (Slot* held = find(file, offset)) held->changed = true;
}

bool IndexPageCache::flush(File& file, int32_t& failedOffset) {
    bool wrote = false;
    for (auto& slot : slots_) {
        if (slot.file != &file || !slot.changed) continue;
        if (!file.writeAtNoSync(slot.offset, slot.bytes.data(), kIndexPageSize)) {
            failedOffset = slot.offset;
            return false;
        }
        slot.changed = false;
        wrote = true;
    }
    if (wrote && !deferSync_ && !file.sync()) {
        failedOffset = 0;
        return false;
    }
    return true;
}

void IndexPageCache::drop(File& file) {
    for (auto& slot : slots_)
        if (slot.file == &file) {
            slot.file = nullptr;
            slot.changed = false;
        }
}

} // namespace k4
