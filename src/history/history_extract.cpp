// The monthly archive: the entries of one month copied out of "logf" into a
// file of the same format. The history itself is never changed here.
#include "history/history_log.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_names.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

namespace k4 {

namespace {

constexpr size_t kExtractBlock = 1000;
constexpr uint8_t kHeader[kHistoryHeaderSize] = {0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB};
const char* const kArchiveWriteError = "\x03""Błąd zapisu archiwalnej historii zdarzeń";

} // namespace

int twoDigitYear(int year) { return year >= 2000 ? year - 2000 : year - 1900; }

std::string monthName(int year, int month) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d_%02d", twoDigitYear(year) % 100, month % 100);
    return name;
}

std::string HistoryLog::archivePath(int year, int month, int options, const std::string& directory,
                                    bool& tooMany) const {
    tooMany = false;
    auto inPlace = [&](const std::string& name) {
        if (directory.empty()) return dir_.file(name);
        if (directory.front() == '/') return directory + "/" + name;
        return dir_.file(directory + "/" + name);
    };
    if ((options & kExtractFixedLogf) && !directory.empty()) return inPlace("logf");
    const std::string base = monthName(year, month);
    if (!(options & kExtractOperatorCopy)) return inPlace(base + ".log");
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const std::string path = inPlace(base + "_" + letter + ".log");
        if (!fileExists(path)) return path;
    }
    tooMany = true;
    return {};
}

int HistoryLog::ExtractMonth(int year, int month, int options, const std::string& directory) {
    LocalDateTime first;
    first.year = year;
    first.month = month;
    LocalDateTime next = first;
    next.month = month == 12 ? 1 : month + 1;
    next.year = month == 12 ? year + 1 : year;
    const Stamp from = StampFromLocal(first);
    const Stamp to = StampFromLocal(next);

    std::vector<HistoryEntry> block;
    try {
        block.resize(kExtractBlock);
    } catch (const std::bad_alloc&) {
        messages_.ShowNotice(mz(std::string(kArchiveWriteError) + " (brak pamięci)"), kNoticeAlarm);
        return -1;
    }

    bool tooMany = false;
    const std::string path = archivePath(year, month, options, directory, tooMany);
    if (tooMany) {
        messages_.ShowNotice(mz(std::string(kArchiveWriteError) + " (przekroczona liczba plików)"), kNoticeInfo);
        return -1;
    }
    File archive;
    if (!archive.open(path, File::Mode::ReadWriteCreate) || !archive.truncate(0)) {
        messages_.ShowNotice(mz("\x03otwarcia pliku tymczasowego"), kNoticeError);
        return -1;
    }
    if (!archive.writeAtNoSync(0, kHeader, sizeof kHeader)) {
        messages_.ShowNotice(mz("\x03zapisu do pliku tymczasowego"), kNoticeError);
        return -1;
    }
    lastArchive_ = path;

    // A backup that extracts the month inside its own suspension must find
    // reception still suspended afterwards.
    const bool wasSuspended = receptionSuspended_;
    receptionSuspended_ = true;
    int result = 0;
    int64_t readFrom = entryOffset(0);
    int64_t writeTo = entryOffset(0);
    for (;;) {
        if (!history_.isOpen()) {
            messages_.ShowNotice(mz("\x03odczytu historii zdarzeń."), kNoticeError | kNoticeAlarm);
            result = -1;
            break;
        }
        // New entries may be appended while the inputs are polled; the copy
        // goes on to the end of the file as it is found at each block.
        const int64_t end = entryOffset(wholeEntries(history_.size()));
        const int64_t wanted = std::min<int64_t>(static_cast<int64_t>(kExtractBlock * kHistoryEntrySize),
                                                 std::max<int64_t>(0, end - readFrom));
        const int64_t n = wanted == 0 ? 0 : history_.readSomeAt(readFrom, block.data(), static_cast<size_t>(wanted));
        if (n < wanted) {
            messages_.ShowNotice(mz("\x03odczytu historii zdarzeń."), kNoticeError | kNoticeAlarm);
            result = -1;
            break;
        }
        const size_t count = static_cast<size_t>(n) / kHistoryEntrySize;
        size_t kept = 0;
        for (size_t i = 0; i < count; ++i) {
            const Stamp t = block[i].time;
            if (t >= from && t < to) block[kept++] = block[i];
        }
        if (kept && !archive.writeAtNoSync(writeTo, block.data(), kept * kHistoryEntrySize)) {
            messages_.ShowNotice(mz(kArchiveWriteError), kNoticeAlarm);
            result = -1;
            break;
        }
        writeTo += static_cast<int64_t>(kept * kHistoryEntrySize);
        readFrom += static_cast<int64_t>(count * kHistoryEntrySize);
        if (count < kExtractBlock) break;
        messages_.PollDuringWork(&history_);
    }
    if (result == 0 && !archive.sync()) {
        messages_.ShowNotice(mz(kArchiveWriteError), kNoticeAlarm);
        result = -1;
    }
    archive.close();
    // Reception resumes before the confirmation: the operator may leave the
    // box up for a long time, and alarms must not be dropped meanwhile.
    receptionSuspended_ = wasSuspended;
    if (result == 0 && (options & kExtractConfirmName)) {
        const std::string shown = directory.empty() ? fileNameOf(path) : path;
        messages_.ShowNotice(mz("\x03Historia zdarzeń z bieżącego miesiąca została zapisana pod nazwą: " + shown),
                             kNoticeInfo);
    }
    return result;
}

} // namespace k4
