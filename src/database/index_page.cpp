#include "database/index_page.h"

#include "database/codepage.h"

#include <cstring>

namespace k4 {

namespace {

int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}
int16_t get16(const uint8_t* p) { return static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8); }
void put32(uint8_t* p, int32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}
void put16(uint8_t* p, int16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
}

} // namespace

int IndexNode::used() const {
    int bytes = 0;
    for (const auto& e : entries) bytes += e.size();
    return bytes;
}

void encodeIndexPage(const IndexNode& node, uint8_t* page) {
    std::memset(page, 0, kIndexPageSize);
    put32(page, node.self);
    put16(page + 4, static_cast<int16_t>(node.used()));
    put32(page + 6, node.left);
    uint8_t* at = page + kIndexPageHead;
    for (const auto& e : node.entries) {
        put32(at, e.child);
        put32(at + 4, e.value);
        std::memcpy(at + 8, e.text.data(), e.text.size());
        at[8 + e.text.size()] = 0;
        at += e.size();
    }
}

std::optional<IndexNode> decodeIndexPage(const uint8_t* page) {
    IndexNode node;
    node.self = get32(page);
    const int used = get16(page + 4);
    node.left = get32(page + 6);
    if (used < 0 || used > kIndexFillLimit) return std::nullopt;
    int at = kIndexPageHead;
    const int end = kIndexPageHead + used;
    while (at < end) {
        if (end - at < 9) return std::nullopt; // an empty key takes 9 bytes
        IndexKey key;
        key.child = get32(page + at);
        key.value = get32(page + at + 4);
        const auto* text = reinterpret_cast<const char*>(page + at + 8);
        const size_t room = static_cast<size_t>(end - at - 8);
        const size_t length = strnlen(text, room);
        if (length == room || length > kIndexKeyLength) return std::nullopt;
        key.text.assign(text, length);
        at += key.size();
        node.entries.push_back(std::move(key));
    }
    return node;
}

} // namespace k4

namespace k4 {

bool layOutIndexPage(const uint8_t* page, IndexPageLayout& layout) {
    layout.count = 0;
    const int used = get16(page + 4);
    if (used < 0 || used > kIndexFillLimit) return false;
    int at = kIndexPageHead;
    const int end = kIndexPageHead + used;
    while (at < end) {
        if (end - at < 9) return false; // an empty key takes 9 bytes
        const auto* text = reinterpret_cast<const char*>(page + at + 8);
        const size_t room = static_cast<size_t>(end - at - 8);
        const size_t length = strnlen(text, room);
        if (length == room || length > kIndexKeyLength) return false;
        layout.start[layout.count++] = static_cast<uint16_t>(at);
        at += 9 + static_cast<int>(length);
    }
    return true;
}

void layOutIndexNode(const IndexNode& node, IndexPageLayout& layout) {
    layout.count = 0;
    int at = kIndexPageHead;
    for (const auto& e : node.entries) {
        layout.start[layout.count++] = static_cast<uint16_t>(at);
        at += e.size();
    }
}

bool insertIntoPage(uint8_t* page, IndexPageLayout& layout, int pos, const IndexKey& entry) {
    const int used = get16(page + 4);
    const int size = entry.size();
    if (used + size > kIndexFillLimit || pos < 0 || pos > layout.count) return false;
    const int end = kIndexPageHead + used;
    const int at = pos < layout.count ? layout.start[pos] : end;
    std::memmove(page + at + size, page + at, static_cast<size_t>(end - at));
    put32(page + at, entry.child);
    put32(page + at + 4, entry.value);
    std::memcpy(page + at + 8, entry.text.data(), entry.text.size());
    page[at + 8 + entry.text.size()] = 0;
    put16(page + 4, static_cast<int16_t>(used + size));
    for (int i = layout.count; i > pos; --i) layout.start[i] = static_cast<uint16_t>(layout.start[i - 1] + size);
    layout.start[pos] = static_cast<uint16_t>(at);
    ++layout.count;
    return true;
}

int32_t RawIndexPage::self() const { return get32(page_); }
int32_t RawIndexPage::left() const { return get32(page_ + 6); }

// Binary search: the entries of a page are in key order.
int RawIndexPage::bound(const char* key, bool upper) const {
    int low = 0, high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        const int c = CompareMazoviaN(text(middle), key, kIndexKeyLength);
        if (upper ? c > 0 : c >= 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

int32_t RawIndexPage::child(int slot) const { return slot == 0 ? left() : get32(at(slot - 1)); }

IndexKey RawIndexPage::entry(int index) const {
    const uint8_t* p = at(index);
    IndexKey key;
    key.child = get32(p);
    key.value = get32(p + 4);
    key.text = reinterpret_cast<const char*>(p + 8);
    return key;
}

IndexNode RawIndexPage::node() const {
    IndexNode n;
    n.self = self();
    n.left = left();
    n.entries.reserve(static_cast<size_t>(count()) + 1);
    for (int i = 0; i < count(); ++i) n.entries.push_back(entry(i));
    return n;
}

} // namespace k4
