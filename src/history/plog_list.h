#pragma once
// The list of the history window over one open history file. Years of
// entries do not fit in memory, so the list keeps only a page of matching
// entries around the shown position, a read cache of consecutive file
// entries and a sparse table of anchors (the file index of every 16384th
// match); any line is then at most one rescan of 16384 matches away.
#include "history/hist_filter.h"
#include "messages/messages.h"
#include "platform/file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace k4 {

class PLogList {
public:
    static constexpr int kPageSize = 99;
    static constexpr int kPageStep = 33;
    static constexpr int kCacheEntries = 900;
    static constexpr int kListLimit = 16384; // listable matches; the newest are kept
    static constexpr int kAnchorStride = 16384;
    static constexpr int kAnchors = 200;
    static constexpr int kBlocksPerPoll = 78;
    static constexpr int kEntriesPerPoll = 20000;

    // file: the open history the window shows; it stays the caller's.
    PLogList(File& file, Messages& messages, FilterKnowledge knowledge);

    HistFilter& filter() { return filter_; }
    const HistFilter& filter() const { return filter_; }
    void setFilter(const HistFilter& filter) { filter_ = filter; }

    // Scans the whole file with the filter: counts the matches, records the
    // anchors and fills the first page. The number of listable matches.
    int Recount();
    int count() const { return listed_; }
    // Matches left out before the listable ones (more than 16384 matched).
    int64_t skipped() const { return skipped_; }
    int64_t matches() const { return matches_; }
    int64_t fileEntries() const { return entries_; }

    // The entry with this list index, the page moved as needed; nothing
    // when the page cannot be moved (the list is then empty and the
    // operator told why).
    std::optional<HistoryEntry> EntryAt(int index);

    // Every matching entry of the file in order, with its index in its
    // 900-entry block, from a fresh running state. each returns false to
    // stop. 0, or -1 after a read error (shown).
    int forEachMatch(const std::function<bool(const HistoryEntry&, int indexInBlock)>& each);

    // Where the page stands (tests and the benchmark look at it).
    int64_t pageFirst() const { return pageFirst_; }
    int64_t pageEnd() const { return pageFirst_ + static_cast<int64_t>(page_.size()); }
    int64_t entriesScanned() const { return scanned_; }

private:
    struct PageEntry {
        HistoryEntry entry;
        int64_t fileIndex;
        uint8_t inShift; // the filter's running state after this entry
        uint8_t follow;
    };
    struct Anchor {
        int64_t fileIndex = -1;
        uint8_t inShift = 0; // the running state before the anchor's entry
        uint8_t follow = 0;
    };

    // The entry at a file index through the read cache; nothing after a
    // short read (shown).
    const HistoryEntry* cached(int64_t fileIndex);
    void clearList();
    // Refills the page with the matches from match number first on.
    bool fillFrom(int64_t first);
    bool moveBack(int64_t match);
    bool moveForward(int64_t match);
    // Scans from the anchor below match first, calling take for every match
    // from first on until it returns false; the running state is kept.
    bool scanFrom(int64_t first, const std::function<bool(const PageEntry&, int64_t match)>& take);
    bool inconsistent(const char* text, MessageGuard* guard = nullptr);

    File& file_;
    Messages& messages_;
    FilterKnowledge knowledge_;
    HistFilter filter_;

    std::vector<PageEntry> page_;
    int64_t pageFirst_ = 0;
    // The newest page as the count found it.
    std::vector<PageEntry> newestPage_;
    bool filledBackwards_ = false;

    std::vector<HistoryEntry> cache_;
    int64_t cacheFirst_ = 0;
    int64_t cacheEnd_ = 0;

    int64_t entries_ = 0;
    int64_t matches_ = 0;
    int listed_ = 0;
    int64_t skipped_ = 0;
    // A ring of the newest anchors: anchor k lives in slot k % kAnchors and
    // is valid from firstAnchor_ on. Only the newest matches are listable,
    // so older anchors are never needed once newer ones exist.
    std::array<Anchor, kAnchors> anchors_{};
    int64_t firstAnchor_ = 0;
    int64_t anchorCount_ = 0;
    int64_t scanned_ = 0;
    MessageGuard backGuard_;
};

} // namespace k4
