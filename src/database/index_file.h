#pragma once
// One B-tree index file: variable-length text keys in Polish order, each with
// a value (a record offset, or a subscriber number for the phone index).
// Keys are stored upper-cased, so every search is case-insensitive.
#include "database/index_page.h"
#include "database/index_page_cache.h"
#include "platform/data_dir.h"
#include "platform/file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

// What becomes of an index that cannot be read or written. The station ends
// (after putting the history and the record files away); tests throw.
class IndexFailure {
public:
    virtual ~IndexFailure() = default;
    // message: "Blad odczytu pliku" and the like; offset: where in the file.
    virtual void indexFailed(const std::string& message, const std::string& path, int64_t offset) = 0;
};

enum : int {
    kIndexFound = 1,
    kIndexNotFound = 0,
    kIndexEnd = -2,
};

class IndexHandle {
public:
    IndexHandle(IndexPageCache& cache, IndexFailure& failure);
    ~IndexHandle();
    IndexHandle(const IndexHandle&) = delete;
    IndexHandle& operator=(const IndexHandle&) = delete;

    int OpenIndex(const DataDir& dir, const std::string& name, bool duplicates);
    int CreateIndex(const DataDir& dir, const std::string& name, bool duplicates);
    int CloseIndex();
    // Everything written so far, on the disk (after deferred writes).
    int SyncIndex();
    bool isOpen() const { return file_.isOpen(); }

    // 1 inserted; 0 when duplicates are refused and the text is present.
    int InsertKey(const std::string& text, int32_t value);
    // 1 removed, 0 when the pair is not there.
    int DeleteKey(const std::string& text, int32_t value);

    // 1 and the first entry of that exact text; 0 when there is none.
    int FindKey(const std::string& text, IndexKey& found);
    // 1 when the pair exists, positioned on it.
    int FindPair(const std::string& text, int32_t value);
    // 1 and the first entry equal to or above the text; -2 when none.
    int FindFrom(const std::string& text, IndexKey& found);
    int First(IndexKey& key);
    int Last(IndexKey& key);
    int Next(IndexKey& key);
    int Prev(IndexKey& key);

    int height() const { return height_; }
    int32_t freeHead() const { return freeHead_; }
    const std::string& name() const { return name_; }
    bool duplicatesAllowed() const { return duplicates_; }
    int64_t fileLength() const { return length_; }

    // The key form of a text: upper-cased, at most 100 characters.
    static std::string keyText(const std::string& text);

private:
    struct Level {
        int32_t page;
        int pos;
    };

    // Pages changed by the operation under way are kept as nodes until it
    // commits (a page may be over-full between two steps of it).
    bool load(int32_t page, IndexNode& node);
    void store(const IndexNode& node);
    // A page of the tree read in place; nothing (and the failure told) when
    // it is damaged. Only between operations, when no page is held changed.
    std::optional<RawIndexPage> raw(int32_t page);
    void setRoot(const IndexNode& root);
    void abandon();
    int32_t allocatePage();
    bool freePage(int32_t page);
    bool writeHeader();
    bool commit();
    bool fail(const char* message, int64_t offset);
    bool validChild(int32_t page) const;

    // Descends to the leaf; at each node pos is the lower (or upper) bound.
    bool descend(const std::string& text, bool upper, std::vector<Level>& path);
    bool descendEdge(int32_t page, bool leftmost, std::vector<Level>& path);
    int current(IndexKey& key);
    int settleAfterLeaf(IndexKey& key);
    bool insertUp(std::vector<Level> path, IndexKey entry);
    bool fixUp(const std::vector<Level>& path);
    bool splitAt(const std::vector<Level>& path, size_t level);
    bool growRoot(IndexNode leftHalf, IndexKey middle);
    bool refill(const std::vector<Level>& path, size_t level);

    IndexPageCache& cache_;
    IndexFailure& failure_;
    File file_;
    std::string name_;
    std::string path_;
    bool duplicates_ = false;
    IndexNode root_;
    std::array<uint8_t, kIndexPageSize> rootBytes_{};
    IndexPageLayout rootLayout_;
    // In deferred mode the header waits for the sync or the close too.
    bool headerOwed_ = false;
    // Deferred changes made since the last sync: a file without any needs
    // none at the end of bulk work.
    bool unsynced_ = false;
    int32_t freeHead_ = kIndexNoPage;
    int height_ = 1;
    int64_t length_ = 0;
    std::vector<Level> position_;

    struct FreedPage {
        int32_t page;
        int32_t next;
    };
    std::vector<std::pair<int32_t, IndexNode>> working_;
    std::vector<FreedPage> freed_;
    int32_t savedFreeHead_ = kIndexNoPage;
    int savedHeight_ = 1;
    int64_t savedLength_ = 0;
    IndexNode savedRoot_;
    bool inOperation_ = false;
    void begin();
};

} // namespace k4
