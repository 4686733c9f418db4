// Cutting the history before a date. The new history is built beside the
// old one and takes its name in one rename; the old one is kept once as
// "ostatni.log" through a second name of the same file, so at no moment is
// there no "logf" or a half-written one.
#include "history/history_cut.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_names.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace k4 {

namespace {

constexpr int64_t kCutBlock = 900;
constexpr uint8_t kHeader[kHistoryHeaderSize] = {0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB};

} // namespace

int HistoryLog::DeleteBefore(Stamp stamp) {
    auto step = [this](int n) {
        if (deleteStep_) deleteStep_(n);
    };
    const std::string newPath = dir_.file("newlogf");
    const std::string lastPath = dir_.file("ostatni.log");
    const std::string path = historyPath();
    File copy;
    if (!copy.open(newPath, File::Mode::ReadWriteCreate) || !copy.truncate(0)) {
        messages_.ShowNotice(mz("\x03otwarcia pliku tymczasowego"), kNoticeError);
        return -1;
    }
    if (!copy.writeAtNoSync(0, kHeader, sizeof kHeader)) {
        messages_.ShowNotice(mz("\x03zapisu do pliku tymczasowego"), kNoticeError);
        return -1;
    }
    const bool wasSuspended = receptionSuspended_;
    receptionSuspended_ = true;
    auto fail = [&](const char* text) {
        messages_.ShowNotice(mz(text), kNoticeError);
        receptionSuspended_ = wasSuspended;
        return -1;
    };

    std::vector<HistoryEntry> block(static_cast<size_t>(kCutBlock));
    int64_t readFrom = entryOffset(0);
    int64_t writeTo = entryOffset(0);
    bool copying = false;
    for (;;) {
        if (!history_.isOpen()) return fail("\x03odczytu pliku historii zdarzeń");
        // Entries logged while the inputs are served are copied too: the
        // end is taken afresh at every block.
        const int64_t end = entryOffset(wholeEntries(history_.size()));
        const int64_t wanted = std::min<int64_t>(kCutBlock * static_cast<int64_t>(kHistoryEntrySize),
                                                 std::max<int64_t>(0, end - readFrom));
        if (wanted > 0 && !history_.readAt(readFrom, block.data(), static_cast<size_t>(wanted)))
            return fail("\x03odczytu pliku historii zdarzeń");
        const size_t count = static_cast<size_t>(wanted) / kHistoryEntrySize;
        size_t first = 0;
        while (!copying && first < count) {
            if (block[first].time >= stamp) copying = true;
            else ++first;
        }
        if (first < count &&
            !copy.writeAtNoSync(writeTo, block.data() + first, (count - first) * kHistoryEntrySize))
            return fail("\x03zapisu do pliku tymczasowego");
        writeTo += static_cast<int64_t>((count - first) * kHistoryEntrySize);
        readFrom += static_cast<int64_t>(count * kHistoryEntrySize);
        if (count < static_cast<size_t>(kCutBlock)) break;
        messages_.PollDuringWork(&history_);
    }
    // Nothing polls from here to the rename: no entry can come in between.
    if (!copy.sync()) return fail("\x03zapisu do pliku tymczasowego");
    copy.close();
    syncDirectory(dir_.path());
    step(1);

    if (::unlink(lastPath.c_str()) != 0 && errno != ENOENT) return fail("\x03usuwania pliku ostatni.log");
    step(2);
    if (::link(path.c_str(), lastPath.c_str()) != 0) return fail("\x03zapisu pliku ostatni.log");
    syncDirectory(dir_.path());
    step(3);
    std::string error;
    history_.close();
    const bool renamed = renameDurably(newPath, path, &error);
    if (renamed) step(4);
    const int reopened = openCurrent();
    receptionSuspended_ = wasSuspended;
    if (!renamed) {
        messages_.ShowNotice(mz("\x03zmiany nazwy pliku historii: " + error), kNoticeError);
        return -1;
    }
    if (reopened != kHistoryCurrent) return -1;
    const LocalDateTime day = LocalFromStamp(stamp);
    LogEvent(26, day.year, day.month, day.day);
    return 0;
}

int deleteHistoryBefore(HistoryLog& history, Messages& messages, const Clock& clock, const LocalDateTime& date) {
    const LocalDateTime today = localNow(clock);
    const auto key = [](const LocalDateTime& t) { return (t.year * 100 + t.month) * 100 + t.day; };
    if (key(date) > key(today)) {
        messages.ShowNotice(mz("\x03Podano datę późniejszą od dzisiejszej! Zdarzenia nie zostaną usunięte!"),
                            kNoticeInfo);
        return 1;
    }
    if (messages.AskYesNo(mz("\x03UWAGA: Wszystkie zdarzenia zapisane do podanej daty zostaną usunięte bez "
                             "możliwości ich odzyskania!\n\nCzy na pewno usunąć zdarzenia do podanej daty?")) !=
        kResultYes)
        return 1;
    if (date.year == today.year && date.month == today.month && date.day != 1) {
        messages.ShowNotice(mz("\x03Nie można usuwać zdarzeń z bieżącego miesiąca!"), kNoticeInfo);
        return 1;
    }
    LocalDateTime midnight;
    midnight.year = date.year;
    midnight.month = date.month;
    midnight.day = date.day;
    return history.DeleteBefore(StampFromLocal(midnight)) == 0 ? 0 : -1;
}

} // namespace k4
