// Finding keys and walking an index in key order. The position is the path
// from the root: at the last level the entry itself, above it the subtree
// slot taken, which is also the index of the entry that follows the subtree.
// Pages are read in place, without building their entries.
#include "database/index_file.h"

namespace k4 {

bool IndexHandle::descend(const std::string& text, bool upper, std::vector<Level>& path) {
    path.clear();
    int32_t page = 0;
    for (int depth = 1;; ++depth) {
        auto node = raw(page);
        if (!node) return false;
        // Every leaf sits at the tree's height; anything else is a damaged link.
        if (node->isLeaf() != (depth == height_)) return fail("Blad odczytu pliku", page);
        const int pos = node->bound(text.c_str(), upper);
        path.push_back({page, pos});
        if (node->isLeaf()) return true;
        page = node->child(pos);
    }
}

bool IndexHandle::descendEdge(int32_t page, bool leftmost, std::vector<Level>& path) {
    for (int depth = static_cast<int>(path.size()) + 1;; ++depth) {
        auto node = raw(page);
        if (!node) return false;
        if (node->isLeaf() != (depth == height_)) return fail("Blad odczytu pliku", page);
        if (node->isLeaf()) {
            path.push_back({page, leftmost ? 0 : node->count() - 1});
            return true;
        }
        const int slot = leftmost ? 0 : node->count();
        path.push_back({page, slot});
        page = node->child(slot);
    }
}

int IndexHandle::current(IndexKey& key) {
    if (position_.empty()) return kIndexEnd;
    auto node = raw(position_.back().page);
    if (!node) return kIndexEnd;
    const int pos = position_.back().pos;
    if (pos < 0 || pos >= node->count()) return kIndexEnd;
    key = node->entry(pos);
    return kIndexFound;
}

// After the last entry of a leaf: the next entry is the first ancestor entry
// that follows the subtree walked.
int IndexHandle::settleAfterLeaf(IndexKey& key) {
    while (!position_.empty()) {
        auto node = raw(position_.back().page);
        if (!node) return kIndexEnd;
        if (position_.back().pos < node->count()) return current(key);
        position_.pop_back();
    }
    return kIndexEnd;
}

int IndexHandle::FindFrom(const std::string& text, IndexKey& found) {
    if (!descend(keyText(text), false, position_)) {
        position_.clear();
        return kIndexEnd;
    }
    return settleAfterLeaf(found);
}

int IndexHandle::FindKey(const std::string& text, IndexKey& found) {
    IndexKey key;
    if (FindFrom(text, key) != kIndexFound || key.text != keyText(text)) return kIndexNotFound;
    found = key;
    return kIndexFound;
}

int IndexHandle::FindPair(const std::string& text, int32_t value) {
    const std::string wanted = keyText(text);
    IndexKey key;
    int r = FindKey(wanted, key);
    while (r == kIndexFound && key.text == wanted) {
        if (key.value == value) return kIndexFound;
        r = Next(key);
    }
    return kIndexNotFound;
}

int IndexHandle::First(IndexKey& key) {
    position_.clear();
    if (!descendEdge(0, true, position_)) {
        position_.clear();
        return kIndexEnd;
    }
    return current(key);
}

int IndexHandle::Last(IndexKey& key) {
    position_.clear();
    if (!descendEdge(0, false, position_)) {
        position_.clear();
        return kIndexEnd;
    }
    return current(key);
}

int IndexHandle::Next(IndexKey& key) {
    if (position_.empty()) return kIndexEnd;
    auto node = raw(position_.back().page);
    if (!node) return kIndexEnd;
    Level& here = position_.back();
    if (!node->isLeaf()) {
        // Into the subtree after the entry, down to its first key.
        here.pos += 1;
        if (!descendEdge(node->child(here.pos), true, position_)) return kIndexEnd;
        return current(key);
    }
    here.pos += 1;
    if (here.pos < node->count()) return current(key);
    position_.pop_back();
    return settleAfterLeaf(key);
}

int IndexHandle::Prev(IndexKey& key) {
    if (position_.empty()) return kIndexEnd;
    auto node = raw(position_.back().page);
    if (!node) return kIndexEnd;
    Level& here = position_.back();
    if (!node->isLeaf()) {
        // Into the subtree before the entry, down to its last key.
        if (!descendEdge(node->child(here.pos), false, position_)) return kIndexEnd;
        return current(key);
    }
    here.pos -= 1;
    if (here.pos >= 0) return current(key);
    position_.pop_back();
    while (!position_.empty()) {
        if (position_.back().pos > 0) {
            position_.back().pos -= 1;
            return current(key);
        }
        position_.pop_back();
    }
    return kIndexEnd;
}

} // namespace k4
