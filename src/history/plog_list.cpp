#include "history/plog_list.h"

#include "database/text_edge.h"

#include <algorithm>

namespace k4 {

namespace {

const char* const kReadError = "\x03odczytu pliku historii zdarzeń";

} // namespace

PLogList::PLogList(File& file, Messages& messages, FilterKnowledge knowledge)
    : file_(file), messages_(messages), knowledge_(std::move(knowledge)) {
    page_.reserve(kPageSize);
}

void PLogList::clearList() {
    page_.clear();
    newestPage_.clear();
    pageFirst_ = 0;
    filledBackwards_ = false;
    listed_ = 0;
    skipped_ = 0;
    matches_ = 0;
    firstAnchor_ = 0;
    anchorCount_ = 0;
    filter_.clearRunningState();
}

const HistoryEntry* PLogList::cached(int64_t fileIndex) {
    if (fileIndex >= cacheFirst_ && fileIndex < cacheEnd_) return &cache_[static_cast<size_t>(fileIndex - cacheFirst_)];
    if (fileIndex < 0 || fileIndex >= entries_) return nullptr;
    // The scans run forwards, so the cache is filled from the wanted entry on.
    const int64_t n = std::min<int64_t>(kCacheEntries, entries_ - fileIndex);
    cache_.resize(static_cast<size_t>(n));
    if (!file_.readAt(entryOffset(fileIndex), cache_.data(), static_cast<size_t>(n) * kHistoryEntrySize)) {
        cacheFirst_ = cacheEnd_ = 0;
        cache_.clear();
        messages_.ShowNotice(mz(kReadError), kNoticeError);
        return nullptr;
    }
    cacheFirst_ = fileIndex;
    cacheEnd_ = fileIndex + n;
    return &cache_[0];
}

int PLogList::Recount() {
    clearList();
    cacheFirst_ = cacheEnd_ = 0;
    entries_ = wholeEntries(file_.size());
    std::vector<PageEntry> newest(static_cast<size_t>(kPageSize));
    int blocks = 0;
    for (int64_t i = 0; i < entries_; ++i) {
        if (i % kCacheEntries == 0) {
            if (blocks > 0 && blocks % kBlocksPerPoll == 0) messages_.PollDuringWork(&file_);
            ++blocks;
        }
        const HistoryEntry* e = cached(i);
        if (!e) {
            clearList();
            return 0;
        }
        const uint8_t inShift = filter_.inShift, follow = filter_.follow;
        if (!matchesFilter(filter_, *e, knowledge_)) continue;
        // The newest matches stay at hand: the window opens on them, and a
        // rare subscriber's page then needs no second pass over the file.
        newest[static_cast<size_t>(matches_ % kPageSize)] = PageEntry{*e, i, filter_.inShift, filter_.follow};
        if (matches_ % kAnchorStride == 0) {
            const int64_t k = matches_ / kAnchorStride;
            anchors_[static_cast<size_t>(k % kAnchors)] = Anchor{i, inShift, follow};
            anchorCount_ = k + 1;
            firstAnchor_ = std::max<int64_t>(0, anchorCount_ - kAnchors);
        }
        ++matches_;
    }
    listed_ = static_cast<int>(std::min<int64_t>(matches_, kListLimit));
    skipped_ = matches_ - listed_;
    filter_.clearRunningState();
    // The page starts as the newest matches the count kept: the window
    // opens at the end of the list, and the start of the list is one
    // rescan from its anchor away when the operator goes there.
    const int64_t keep = std::min<int64_t>(listed_, kPageSize);
    for (int64_t m = matches_ - keep; m < matches_; ++m) newestPage_.push_back(newest[static_cast<size_t>(m % kPageSize)]);
    page_ = newestPage_;
    pageFirst_ = matches_ - keep;
    return listed_;
}

bool PLogList::scanFrom(int64_t first, const std::function<bool(const PageEntry&, int64_t)>& take) {
    int64_t k = std::min(first / kAnchorStride, anchorCount_ - 1);
    if (k < firstAnchor_ || k < 0) {
        messages_.ShowNotice(mz("\x03Zbyt długi plik historii. Użyj filtra (np. 'Od daty')"), kNoticeInfo);
        return false;
    }
    const Anchor& anchor = anchors_[static_cast<size_t>(k % kAnchors)];
    HistFilter f = filter_;
    f.inShift = anchor.inShift;
    f.follow = anchor.follow;
    int64_t m = k * kAnchorStride;
    int64_t sinceStep = 0;
    for (int64_t i = anchor.fileIndex; i < entries_ && m < matches_; ++i) {
        if (++sinceStep == kEntriesPerPoll) {
            sinceStep = 0;
            messages_.PollDuringWork(&file_);
        }
        ++scanned_;
        const HistoryEntry* e = cached(i);
        if (!e) return false;
        if (!matchesFilter(f, *e, knowledge_)) continue;
        if (m >= first && !take(PageEntry{*e, i, f.inShift, f.follow}, m)) return true;
        ++m;
    }
    return true;
}

bool PLogList::fillFrom(int64_t first) {
    page_.clear();
    pageFirst_ = first;
    filledBackwards_ = false;
    return scanFrom(first, [this](const PageEntry& p, int64_t) {
        page_.push_back(p);
        return page_.size() < static_cast<size_t>(kPageSize);
    });
}

bool PLogList::inconsistent(const char* text, MessageGuard* guard) {
    clearList();
    if (guard)
        messages_.ShowNotice(*guard, mz(text), kNoticeInfo);
    else
        messages_.ShowNotice(mz(text), kNoticeInfo);
    return false;
}

bool PLogList::moveBack(int64_t match) {
    if (page_.size() > static_cast<size_t>(kPageSize))
        return inconsistent("\x03Niepoprawny zakres indeksów listy historii - b", &backGuard_);
    if (pageFirst_ - match > kPageStep) return fillFrom(std::max(skipped_, match - (kPageSize - kPageStep - 1)));
    const int64_t back = std::min<int64_t>(kPageStep, pageFirst_ - skipped_);
    const int64_t newFirst = pageFirst_ - back;
    std::vector<PageEntry> before;
    before.reserve(static_cast<size_t>(back));
    if (!scanFrom(newFirst, [&](const PageEntry& p, int64_t m) {
            if (m >= pageFirst_) return false;
            before.push_back(p);
            return true;
        }))
        return false;
    if (static_cast<int64_t>(before.size()) != back)
        return inconsistent("\x03Niepoprawny indeks listy historii - b");
    page_.resize(std::min(page_.size(), static_cast<size_t>(kPageSize) - before.size()));
    page_.insert(page_.begin(), before.begin(), before.end());
    pageFirst_ = newFirst;
    filledBackwards_ = true;
    return true;
}

bool PLogList::moveForward(int64_t match) {
    if (page_.size() > static_cast<size_t>(kPageSize))
        return inconsistent("\x03Niepoprawny zakres indeksów listy historii - e");
    if (page_.empty() || match >= pageEnd() + kPageStep) {
        // The end of the list, where the window opens, was kept by the count.
        const int64_t newestFirst = matches_ - static_cast<int64_t>(newestPage_.size());
        if (!newestPage_.empty() && match >= newestFirst) {
            page_ = newestPage_;
            pageFirst_ = newestFirst;
            filledBackwards_ = false;
            return true;
        }
        return fillFrom(std::max(skipped_, match - kPageStep));
    }
    if (page_.size() == static_cast<size_t>(kPageSize)) {
        page_.erase(page_.begin(), page_.begin() + kPageStep);
        pageFirst_ += kPageStep;
    }
    // The scan goes on from the page's last entry with the running state
    // the filter had there.
    const PageEntry last = page_.back();
    HistFilter f = filter_;
    f.inShift = last.inShift;
    f.follow = last.follow;
    int64_t m = pageEnd();
    int added = 0;
    for (int64_t i = last.fileIndex + 1; i < entries_ && m < matches_ && page_.size() < static_cast<size_t>(kPageSize);
         ++i) {
        ++scanned_;
        const HistoryEntry* e = cached(i);
        if (!e) return false;
        if (!matchesFilter(f, *e, knowledge_)) continue;
        page_.push_back(PageEntry{*e, i, f.inShift, f.follow});
        ++m;
        if (++added > kPageStep) return inconsistent("\x03Przekroczony limit zapasu");
    }
    if (match >= pageEnd()) return inconsistent("\x03Niepoprawny indeks listy historii - e");
    filledBackwards_ = false;
    return true;
}

std::optional<HistoryEntry> PLogList::EntryAt(int index) {
    if (index < 0 || index >= listed_) return std::nullopt;
    const int64_t match = skipped_ + index;
    if (match < pageFirst_ || match >= pageEnd()) {
        const bool moved = match < pageFirst_ ? moveBack(match) : moveForward(match);
        if (!moved) {
            clearList();
            return std::nullopt;
        }
    }
    if (match < pageFirst_ || match >= pageEnd()) {
        clearList();
        return std::nullopt;
    }
    return page_[static_cast<size_t>(match - pageFirst_)].entry;
}

int PLogList::forEachMatch(const std::function<bool(const HistoryEntry&, int)>& each) {
    HistFilter f = filter_;
    f.clearRunningState();
    const int64_t entries = wholeEntries(file_.size());
    std::vector<HistoryEntry> block(kCacheEntries);
    for (int64_t done = 0; done < entries;) {
        const int64_t n = std::min<int64_t>(kCacheEntries, entries - done);
        if (!file_.readAt(entryOffset(done), block.data(), static_cast<size_t>(n) * kHistoryEntrySize)) {
            messages_.ShowNotice(mz(kReadError), kNoticeError);
            return -1;
        }
        for (int64_t i = 0; i < n; ++i)
            if (matchesFilter(f, block[static_cast<size_t>(i)], knowledge_) &&
                !each(block[static_cast<size_t>(i)], static_cast<int>(i)))
                return 0;
        done += n;
    }
    return 0;
}

} // namespace k4
