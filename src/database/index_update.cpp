// Inserting and deleting keys: pages split when an entry does not fit into
// 1014 bytes, and take from or merge with a neighbour when they fall below
// 507. Every change is on the disk before the call returns.
#include "database/index_file.h"

namespace k4 {

namespace {

// The entry that goes up when a page splits: the last one that starts
// before half the used bytes plus four.
size_t middleOf(const std::vector<IndexKey>& entries) {
    int used = 0;
    for (const auto& e : entries) used += e.size();
    int start = 0;
    size_t middle = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (start < used / 2 + 4) middle = i;
        start += entries[i].size();
    }
    return middle;
}

int bytesOf(const std::vector<IndexKey>& entries, size_t from, size_t to) {
    int bytes = 0;
    for (size_t i = from; i < to; ++i) bytes += entries[i].size();
    return bytes;
}

} // namespace

int IndexHandle::InsertKey(const std::string& text, int32_t value) {
    if (!file_.isOpen()) return -1;
    const std::string key = keyText(text);
    IndexKey existing;
    if (!duplicates_ && FindKey(key, existing) == kIndexFound) return 0;
    position_.clear();
    begin();
    std::vector<Level> path;
    IndexKey entry;
    entry.text = key;
    entry.value = value;
    if (!descend(key, true, path)) {
        abandon();
        return -1;
    }
    // Most insertions fit into their leaf: the entry goes into the cached
    // page in place, without building the page's entries.
    if (path.back().page != 0) {
        CachedIndexPage* leaf = cache_.change(file_, path.back().page);
        if (leaf && insertIntoPage(leaf->bytes.data(), leaf->layout, path.back().pos, entry)) {
            if (!commit()) {
                abandon();
                return -1;
            }
            return 1;
        }
    }
    if (!insertUp(std::move(path), std::move(entry)) || !commit()) {
        abandon();
        return -1;
    }
    return 1;
}

// Puts the entry into the page at the end of the path; a page it does not
// fit into is split as it stands and the entry goes into its half, the
// middle entry going up a level.
bool IndexHandle::insertUp(std::vector<Level> path, IndexKey entry) {
    for (size_t level = path.size(); level-- > 0;) {
        IndexNode node;
        if (!load(path[level].page, node)) return false;
        const int pos = path[level].pos;
        if (node.used() + entry.size() <= kIndexFillLimit) {
            node.entries.insert(node.entries.begin() + pos, std::move(entry));
            store(node);
            return true;
        }
        const size_t m = middleOf(node.entries);
        IndexKey middle = node.entries[m];
        IndexNode right;
        right.self = allocatePage();
        if (right.self == 0) return false;
        right.left = middle.child;
        right.entries.assign(node.entries.begin() + static_cast<long>(m) + 1, node.entries.end());
        node.entries.resize(m);
        if (pos <= static_cast<int>(m))
            node.entries.insert(node.entries.begin() + pos, std::move(entry));
        else
            right.entries.insert(right.entries.begin() + (pos - static_cast<int>(m) - 1), std::move(entry));
        middle.child = right.self;
        store(right);
        if (level == 0) return growRoot(node, std::move(middle));
        store(node);
        entry = std::move(middle);
    }
    return true;
}

int IndexHandle::DeleteKey(const std::string& text, int32_t value) {
    if (!file_.isOpen()) return -1;
    const std::string key = keyText(text);
    if (FindPair(key, value) != kIndexFound) return 0;
    std::vector<Level> path = position_;
    position_.clear();
    begin();

    IndexNode node;
    if (!load(path.back().page, node)) {
        abandon();
        return -1;
    }
    const int pos = path.back().pos;
    if (node.isLeaf()) {
        node.entries.erase(node.entries.begin() + pos);
        store(node);
    } else {
        // An inner entry takes the text and value of its successor, the
        // first key of its right subtree, which leaves its leaf instead.
        path.back().pos = pos + 1;
        IndexNode leaf;
        if (!descendEdge(node.child(pos + 1), true, path) || !load(path.back().page, leaf)) {
            abandon();
            return -1;
        }
        node.entries[static_cast<size_t>(pos)].text = leaf.entries.front().text;
        node.entries[static_cast<size_t>(pos)].value = leaf.entries.front().value;
        store(node);
        leaf.entries.erase(leaf.entries.begin());
        store(leaf);
    }
    if (!fixUp(path) || !commit()) {
        abandon();
        return -1;
    }
    return 1;
}

// From the leaf up to the root every page on the path is brought back into
// its limits: over-full ones split, thin ones refilled from a neighbour.
bool IndexHandle::fixUp(const std::vector<Level>& path) {
    for (size_t level = path.size(); level-- > 0;) {
        IndexNode node;
        if (!load(path[level].page, node)) return false;
        if (node.used() > kIndexFillLimit) {
            if (!splitAt(path, level)) return false;
        } else if (level > 0 && node.used() < kIndexRefillLimit) {
            if (!refill(path, level)) return false;
        } else if (level == 0 && node.count() == 0 && !node.isLeaf()) {
            // An empty root over one child: the child becomes the root.
            IndexNode child;
            if (!load(node.left, child)) return false;
            const int32_t page = child.self;
            child.self = 0;
            store(child);
            if (!freePage(page)) return false;
            --height_;
        }
    }
    return true;
}

// A root that split keeps only the middle entry over its two halves; the
// tree grows by one level.
bool IndexHandle::growRoot(IndexNode leftHalf, IndexKey middle) {
    if (height_ >= kIndexMaxLevels) return fail("Blad zapisu", 0);
    leftHalf.self = allocatePage();
    if (leftHalf.self == 0) return false;
    IndexNode root;
    root.left = leftHalf.self;
    root.entries.push_back(std::move(middle));
    store(leftHalf);
    store(root);
    ++height_;
    return true;
}

bool IndexHandle::splitAt(const std::vector<Level>& path, size_t level) {
    IndexNode node;
    if (!load(path[level].page, node)) return false;
    const size_t m = middleOf(node.entries);
    IndexKey middle = node.entries[m];
    IndexNode right;
    right.self = allocatePage();
    if (right.self == 0) return false;
    right.left = middle.child;
    right.entries.assign(node.entries.begin() + static_cast<long>(m) + 1, node.entries.end());
    node.entries.resize(m);
    middle.child = right.self;
    store(right);
    if (level == 0) return growRoot(node, std::move(middle));
    store(node);
    IndexNode parent;
    if (!load(path[level - 1].page, parent)) return false;
    const int slot = path[level - 1].pos;
    parent.entries.insert(parent.entries.begin() + slot, std::move(middle));
    store(parent);
    return true;
}

bool IndexHandle::refill(const std::vector<Level>& path, size_t level) {
    IndexNode parent, node;
    if (!load(path[level - 1].page, parent) || !load(path[level].page, node)) return false;
    const int slot = path[level - 1].pos;
    if (parent.count() == 0) return true; // nothing to pair with
    // The neighbour to the right when there is one, else to the left.
    const bool withRight = slot < parent.count();
    const int separator = withRight ? slot : slot - 1;
    IndexNode sibling;
    if (!load(parent.child(withRight ? slot + 1 : slot - 1), sibling)) return false;
    if (sibling.isLeaf() != node.isLeaf()) return fail("Blad odczytu pliku", sibling.self);
    IndexNode& a = withRight ? node : sibling;
    IndexNode& b = withRight ? sibling : node;

    IndexKey middle = parent.entries[static_cast<size_t>(separator)];
    middle.child = b.left;
    std::vector<IndexKey> all = a.entries;
    all.push_back(middle);
    all.insert(all.end(), b.entries.begin(), b.entries.end());
    const int total = bytesOf(all, 0, all.size());

    if (total <= kIndexFillLimit) {
        a.entries = std::move(all);
        parent.entries.erase(parent.entries.begin() + separator);
        store(a);
        store(parent);
        return freePage(b.self);
    }
    // Share the entries so that both pages hold about half, the entry
    // between them going up as the new separator.
    size_t k = 0;
    int best = -1;
    int left = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const int right = total - left - all[i].size();
        if (left <= kIndexFillLimit && right <= kIndexFillLimit) {
            const int balance = left > right ? left - right : right - left;
            if (best < 0 || balance < best) {
                best = balance;
                k = i;
            }
        }
        left += all[i].size();
    }
    if (best < 0) return fail("Blad zapisu", b.self);
    IndexKey separatorEntry = all[k];
    a.entries.assign(all.begin(), all.begin() + static_cast<long>(k));
    b.left = separatorEntry.child;
    b.entries.assign(all.begin() + static_cast<long>(k) + 1, all.end());
    separatorEntry.child = b.self;
    parent.entries[static_cast<size_t>(separator)] = std::move(separatorEntry);
    store(a);
    store(b);
    store(parent);
    return true;
}

} // namespace k4
