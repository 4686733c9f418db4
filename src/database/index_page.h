#pragma once
// The pages of an index file: 1024 bytes each, entries of a child link, a
// value and a key text packed in key order after a 10-byte page head. The
// root page lives in the 1030-byte header block at the start of the file,
// followed there by the head of the free-page chain and the tree's height.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

constexpr int kIndexPageSize = 1024;
constexpr int kIndexHeaderSize = 1030;
constexpr int kIndexPageHead = 10;
constexpr int kIndexFillLimit = 1014;   // bytes of entries a page may hold
constexpr int kIndexRefillLimit = 507;  // below this a page takes from a neighbour
constexpr int kIndexKeyLength = 100;
constexpr int kIndexMaxLevels = 8;
constexpr int32_t kIndexNoPage = -1;    // leftmost child of a leaf; end of the free chain
constexpr int32_t kIndexFreeMark = -2;  // leftmost child of a freed page

struct IndexKey {
    int32_t child = kIndexNoPage;
    int32_t value = 0;
    std::string text; // Mazovia, upper-cased, at most 100 characters

    int size() const { return 9 + static_cast<int>(text.size()); }
};

struct IndexNode {
    int32_t self = 0;               // the page's own offset, 0 for the root
    int32_t left = kIndexNoPage;    // leftmost child
    std::vector<IndexKey> entries;

    bool isLeaf() const { return left == kIndexNoPage; }
    int used() const;
    int count() const { return static_cast<int>(entries.size()); }
    // The child page of subtree slot s: slot 0 is the leftmost child, slot
    // s > 0 the child of entry s - 1.
    int32_t child(int slot) const { return slot == 0 ? left : entries[static_cast<size_t>(slot - 1)].child; }
};

// The page bytes of a node; the node must fit (used() <= 1014).
void encodeIndexPage(const IndexNode& node, uint8_t* page);
// A node from page bytes, or nothing when the page is damaged: more used
// bytes than a page holds, an entry running past them, a text that is not
// terminated or longer than a key.
std::optional<IndexNode> decodeIndexPage(const uint8_t* page);

} // namespace k4

namespace k4 {

constexpr int kIndexMaxEntries = kIndexFillLimit / 9; // entries of empty text

// Where each entry of a page starts. It is found, and the page checked by
// the rules of decoding, once: when the page comes into the cache or is
// written there. Every look-up after that jumps straight to an entry.
struct IndexPageLayout {
    int count = 0;
    uint16_t start[kIndexMaxEntries];
};

// false when the page is damaged.
bool layOutIndexPage(const uint8_t* page, IndexPageLayout& layout);
// The layout of a node about to be encoded (no check needed: it is ours).
void layOutIndexNode(const IndexNode& node, IndexPageLayout& layout);
// Puts the entry into a laid-out page at position pos, in place; false (and
// nothing changed) when it does not fit into the page's 1014 bytes.
bool insertIntoPage(uint8_t* page, IndexPageLayout& layout, int pos, const IndexKey& entry);

// Reading a laid-out page in place, without building its entries: the
// look-ups and walks of the station run on these.
class RawIndexPage {
public:
    RawIndexPage(const uint8_t* page, const IndexPageLayout& layout) : page_(page), layout_(&layout) {}

    int32_t self() const;
    int32_t left() const;
    bool isLeaf() const { return left() == kIndexNoPage; }
    int count() const { return layout_->count; }
    // The first entry whose text is above (upper) or not below the key.
    int bound(const char* key, bool upper) const;
    int32_t child(int slot) const;
    const char* text(int index) const { return reinterpret_cast<const char*>(at(index) + 8); }
    IndexKey entry(int index) const;
    // Every entry, for a change of the page.
    IndexNode node() const;

private:
    const uint8_t* at(int index) const { return page_ + layout_->start[index]; }

    const uint8_t* page_;
    const IndexPageLayout* layout_;
};

} // namespace k4
