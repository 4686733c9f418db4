#include "database/index_file.h"

#include "database/codepage.h"

#include <cstring>

namespace k4 {

namespace {

int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}
void put32(uint8_t* p, int32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

} // namespace

IndexHandle::IndexHandle(IndexPageCache& cache, IndexFailure& failure) : cache_(cache), failure_(failure) {}

IndexHandle::~IndexHandle() {
    if (!file_.isOpen()) return;
    try {
        CloseIndex();
    } catch (...) {
        // The failure handler has had its say; nothing more can be written.
    }
}

std::string IndexHandle::keyText(const std::string& text) {
    std::string key = text.substr(0, std::min(text.find('\0'), static_cast<size_t>(kIndexKeyLength)));
    UpperMazovia(key);
    return key;
}

bool IndexHandle::fail(const char* message, int64_t offset) {
    failure_.indexFailed(message, path_, offset);
    return false;
}

void IndexHandle::setRoot(const IndexNode& root) {
    root_ = root;
    root_.self = 0;
    encodeIndexPage(root_, rootBytes_.data());
    layOutIndexNode(root_, rootLayout_);
}

std::optional<RawIndexPage> IndexHandle::raw(int32_t page) {
    if (page == 0) return RawIndexPage(rootBytes_.data(), rootLayout_);
    if (!validChild(page)) {
        fail("Blad pozycji", page);
        return std::nullopt;
    }
    const CachedIndexPage* cached = cache_.page(file_, page);
    if (!cached) {
        fail("Blad odczytu pliku", page);
        return std::nullopt;
    }
    const RawIndexPage r = cached->raw();
    // A page that is free, or claims another place, is no page of the tree;
    // nor is an empty one below the root, which no change ever leaves.
    if (!cached->sound || r.self() != page || r.left() == kIndexFreeMark || r.count() == 0) {
        fail("Blad odczytu pliku", page);
        return std::nullopt;
    }
    return r;
}

bool IndexHandle::validChild(int32_t page) const {
    return page >= kIndexHeaderSize && (page - kIndexHeaderSize) % kIndexPageSize == 0 &&
           page + static_cast<int64_t>(kIndexPageSize) <= length_;
}

bool IndexHandle::writeHeader() {
    uint8_t header[kIndexHeaderSize];
    IndexNode root = root_;
    root.self = 0;
    encodeIndexPage(root, header);
    put32(header + kIndexPageSize, freeHead_);
    header[kIndexPageSize + 4] = static_cast<uint8_t>(height_);
    header[kIndexPageSize + 5] = static_cast<uint8_t>(height_ >> 8);
    const bool written = cache_.deferredSync() ? file_.writeAtNoSync(0, header, sizeof header)
                                               : file_.writeAt(0, header, sizeof header);
    if (!written) return fail("Blad zapisu", 0);
    headerOwed_ = false;
    return true;
}

int IndexHandle::SyncIndex() {
    if (!file_.isOpen()) return 0;
    if (!commit()) return -1;
    if (!unsynced_) return file_.deferSyncs(false) ? 0 : -1;
    unsynced_ = false;
    // Deferred, the sync is only owed here and paid by ending the deferral:
    // one sync either way.
    if (!file_.sync() || !file_.deferSyncs(false)) {
        fail("Blad zapisu", 0);
        return -1;
    }
    return 0;
}

void IndexHandle::begin() {
    inOperation_ = true;
    working_.clear();
    freed_.clear();
    savedFreeHead_ = freeHead_;
    savedHeight_ = height_;
    savedLength_ = length_;
    savedRoot_ = root_;
}

// A change that failed half-way leaves nothing behind: its pages are
// forgotten, cached ones included, and the tree is what the disk holds.
// (Deferred, that forgets earlier changes too; but a change fails only on a
// failed read or write, which ends the work, and deferred work is run again.)
void IndexHandle::abandon() {
    inOperation_ = false;
    cache_.drop(file_);
    working_.clear();
    freed_.clear();
    freeHead_ = savedFreeHead_;
    height_ = savedHeight_;
    length_ = savedLength_;
    setRoot(savedRoot_);
}

// The pages of one change go to the disk first and the header last, so the
// root never names a page that is not written yet.
bool IndexHandle::commit() {
    bool rootChanged = false;
    for (const auto& [page, node] : working_) {
        if (page == 0) rootChanged = true;
        if (node.used() > kIndexFillLimit) return fail("Blad zapisu", page);
        if (page == 0) {
            setRoot(node);
            continue;
        }
        if (!cache_.store(file_, page, node)) return fail("Blad zapisu", page);
    }
    for (const auto& freed : freed_)
        if (!cache_.storeFree(file_, freed.page, freed.next)) return fail("Blad zapisu", freed.page);
    working_.clear();
    freed_.clear();
    const bool deferred = cache_.deferredSync();
    int32_t failed = 0;
    // Deferred, the changed pages wait in the cache for the sync or the
    // close (or their eviction), the header with them.
    if ((!deferred || !inOperation_) && !cache_.flush(file_, failed)) return fail("Blad zapisu", failed);
    // Most changes touch one leaf: the header is written only when the
    // root, the free chain or the height changed. Closing an index that was
    // only read writes nothing, so a reader never puts an old root over the
    // one a running station wrote.
    const bool headerChanged =
        inOperation_ && (rootChanged || freeHead_ != savedFreeHead_ || height_ != savedHeight_);
    if (headerChanged) headerOwed_ = true;
    if (headerOwed_ && (!deferred || !inOperation_) && !writeHeader()) return false;
    if (deferred && inOperation_) unsynced_ = true;
    inOperation_ = false;
    return true;
}

int IndexHandle::CreateIndex(const DataDir& dir, const std::string& name, bool duplicates) {
    if (file_.isOpen()) CloseIndex();
    name_ = name;
    path_ = dir.file(name);
    duplicates_ = duplicates;
    // An index made anew in a deferred rebuild waits for its one sync at
    // the end like its pages; an existing name needs no directory sync.
    const bool existed = fileExists(path_);
    if (!file_.open(path_, existed ? File::Mode::ReadWrite : File::Mode::ReadWriteCreate)) {
        fail("Blad otwarcia/zamkniecia pliku", 0);
        return -1;
    }
    if (cache_.deferredSync()) {
        file_.deferSyncs(true);
        unsynced_ = true;
    }
    if (!file_.truncate(0)) {
        fail("Blad otwarcia/zamkniecia pliku", 0);
        return -1;
    }
    setRoot(IndexNode{});
    freeHead_ = kIndexNoPage;
    height_ = 1;
    length_ = kIndexHeaderSize;
    position_.clear();
    working_.clear();
    freed_.clear();
    if (!writeHeader()) return -1;
    return 0;
}

int IndexHandle::OpenIndex(const DataDir& dir, const std::string& name, bool duplicates) {
    if (file_.isOpen()) CloseIndex();
    name_ = name;
    path_ = dir.file(name);
    duplicates_ = duplicates;
    if (!file_.open(path_, File::Mode::ReadWrite)) {
        fail("Blad otwarcia/zamkniecia pliku", 0);
        return -1;
    }
    uint8_t header[kIndexHeaderSize];
    if (!file_.readAt(0, header, sizeof header)) {
        fail("Blad odczytu pliku", 0);
        file_.close();
        return -1;
    }
    auto root = decodeIndexPage(header);
    const int height = header[kIndexPageSize + 4] | header[kIndexPageSize + 5] << 8;
    if (!root || height < 1 || height > kIndexMaxLevels || (height == 1) != root->isLeaf()) {
        fail("Blad odczytu pliku", 0);
        file_.close();
        return -1;
    }
    setRoot(*root);
    freeHead_ = get32(header + kIndexPageSize);
    height_ = height;
    const int64_t size = file_.size();
    // A page torn at the end by a crash was never linked in.
    length_ = size < kIndexHeaderSize ? kIndexHeaderSize
                                      : kIndexHeaderSize + (size - kIndexHeaderSize) / kIndexPageSize * kIndexPageSize;
    position_.clear();
    return 0;
}

int IndexHandle::CloseIndex() {
    if (!file_.isOpen()) return 0;
    if (inOperation_) abandon();
    const bool ok = commit();
    cache_.drop(file_);
    file_.close(); // pays a sync a deferred creation still owes
    unsynced_ = false;
    position_.clear();
    return ok ? 0 : -1;
}

bool IndexHandle::load(int32_t page, IndexNode& node) {
    for (const auto& [held, changed] : working_) {
        if (held == page) {
            node = changed;
            return true;
        }
    }
    if (page == 0) {
        node = root_;
        return true;
    }
    auto r = raw(page);
    if (!r) return false;
    node = r->node();
    return true;
}

void IndexHandle::store(const IndexNode& node) {
    for (auto& [held, changed] : working_) {
        if (held == node.self) {
            changed = node;
            return;
        }
    }
    working_.emplace_back(node.self, node);
}

int32_t IndexHandle::allocatePage() {
    for (auto it = freed_.begin(); it != freed_.end(); ++it) {
        if (it->page == freeHead_) {
            const int32_t page = it->page;
            freeHead_ = it->next;
            freed_.erase(it);
            return page;
        }
    }
    if (freeHead_ != kIndexNoPage) {
        const int32_t page = freeHead_;
        if (!validChild(page)) {
            fail("Blad pozycji", page);
            return 0;
        }
        const CachedIndexPage* cached = cache_.page(file_, page);
        if (!cached) {
            fail("Blad odczytu pliku", page);
            return 0;
        }
        const uint8_t* bytes = cached->bytes.data();
        const int32_t next = get32(bytes);
        if (get32(bytes + 6) != kIndexFreeMark || (next != kIndexNoPage && !validChild(next)) || next == page) {
            fail("Blad odczytu pliku", page);
            return 0;
        }
        freeHead_ = next;
        return page;
    }
    const auto page = static_cast<int32_t>(length_);
    length_ += kIndexPageSize;
    return page;
}

bool IndexHandle::freePage(int32_t page) {
    for (auto it = working_.begin(); it != working_.end(); ++it) {
        if (it->first == page) {
            working_.erase(it);
            break;
        }
    }
    freed_.push_back({page, freeHead_});
    freeHead_ = page;
    return true;
}

} // namespace k4
