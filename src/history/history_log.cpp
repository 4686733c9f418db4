#include "history/history_log.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_names.h"
#include "history/history_upgrade.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace k4 {

namespace {

constexpr uint8_t kHeader[kHistoryHeaderSize] = {0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB};
// Entries converted per read while upgrading.
constexpr size_t kUpgradeBlock = 1024;

bool allBytesAre(const uint8_t* bytes, size_t n, uint8_t value) {
    for (size_t i = 0; i < n; ++i)
        if (bytes[i] != value) return false;
    return true;
}

} // namespace

HistoryLog::HistoryLog(const DataDir& dir, Messages& messages, const Clock& clock, bool& receptionSuspended)
    : dir_(dir), messages_(messages), clock_(clock), receptionSuspended_(receptionSuspended) {}

int HistoryLog::OpenHistory(const std::string& name) {
    if (name == "logf") return openCurrent();

    const std::string path = name.find('/') != std::string::npos ? name : dir_.file(name);
    File file;
    if (!file.open(path, File::Mode::ReadWrite)) {
        messages_.ShowNotice(mz("\x03otwarcia historii"), kNoticeError);
        return kHistoryFailed;
    }
    // Archive names are short DOS names: the backup name is built from the
    // part before the first dot, and a name without one has no backup name.
    const std::string fileName = fileNameOf(path);
    const auto dot = fileName.find('.');
    if (dot == std::string::npos || dot > 7) {
        messages_.ShowNotice(mz(fileName), kNoticeError);
        return kHistoryFailed;
    }
    return checkFile(file, path, false);
}

int HistoryLog::openCurrent() {
    const std::string path = historyPath();
    history_.close();
    File file;
    // An empty "logf" holds nothing to keep: it is what a crash between
    // creating the file and writing its header leaves, so it starts afresh.
    if (!fileExists(path) || (file.open(path, File::Mode::ReadOnly) && file.size() == 0)) {
        file.close();
        if (!file.open(path, File::Mode::ReadWriteCreate)) {
            messages_.ShowNotice("Blad otwarcia historii", kNoticeInfo);
            return kHistoryFailed;
        }
        if (!file.writeAt(0, kHeader, sizeof kHeader)) {
            messages_.ShowNotice("Blad zapisu naglowka pliku historii", kNoticeInfo);
            return kHistoryFailed;
        }
        history_ = std::move(file);
        return kHistoryCurrent;
    }
    file.close();
    if (!file.open(path, File::Mode::ReadWrite)) {
        messages_.ShowNotice("Blad otwarcia historii", kNoticeInfo);
        return kHistoryFailed;
    }
    const int result = checkFile(file, path, true);
    if (result == kHistoryCurrent) history_ = std::move(file);
    return result;
}

int HistoryLog::checkFile(File& file, const std::string& path, bool isCurrent) {
    uint8_t head[kHistoryHeaderSize];
    if (!file.readAt(0, head, sizeof head)) {
        messages_.ShowNotice(mz("\x03odczytu historii"), kNoticeError);
        return kHistoryFailed;
    }
    if (allBytesAre(head, sizeof head, kHistoryHeaderByte)) {
        if (isCurrent) dropTornTail(file, file.size());
        return kHistoryCurrent;
    }
    for (uint8_t transitional : {0xFF, 0xFE, 0xFD, 0xFC}) {
        if (allBytesAre(head, sizeof head, transitional)) {
            messages_.ShowNotice("Przejsciowa wersja historii - brak konwersji", kNoticeInfo);
            return kHistoryFailed;
        }
    }
    const std::string fileName = fileNameOf(path);
    const std::string backup = directoryOf(path) + "/" + fileName.substr(0, fileName.find('.')) + ".old";
    return upgrade(file, path, backup, isCurrent);
}

void HistoryLog::tellTornTail(int64_t bytes) {
    char text[160];
    std::snprintf(text, sizeof text, "\x03Niepełny ostatni wpis historii zdarzeń (%d B) został pominięty",
                  static_cast<int>(bytes));
    messages_.ShowNotice(mz(text), kNoticeInfo);
}

void HistoryLog::dropTornTail(File& file, int64_t size) {
    if (size < static_cast<int64_t>(kHistoryHeaderSize)) return;
    const int64_t whole = entryOffset(wholeEntries(size));
    if (whole == size) return;
    // Only a write cut short by a crash leaves a part of an entry; new
    // entries must start on the boundary or every later one is misread.
    tellTornTail(size - whole);
    file.truncate(whole);
}

int HistoryLog::upgrade(File& file, const std::string& path, const std::string& backupPath, bool isCurrent) {
    const int64_t size = file.size();
    if (size < 0) {
        messages_.ShowNotice(mz("\x03odczytu historii"), kNoticeError);
        return kHistoryFailed;
    }
    // The previous generation wrote whole 16-byte entries; a part of one at
    // the end is what a crash of that station left. The whole entries are
    // converted and the part is dropped, as in a current file; the old file
    // is kept whole beside the new one.
    const int64_t whole = size - size % static_cast<int64_t>(kPreviousEntrySize);
    messages_.ShowNotice(mz("Konieczna jest konwersja historii. \nStara wersja zostanie zachowana jako " +
                            fileNameOf(backupPath)),
                         kNoticeInfo);

    const std::string tempPath = directoryOf(path) + "/logf.tmp";
    File temp;
    if (!temp.open(tempPath, File::Mode::ReadWriteCreate) || !temp.truncate(0)) {
        messages_.ShowNotice(mz("\x03konwersji historii (0)"), kNoticeError);
        return kHistoryFailed;
    }
    auto failTemp = [&](const char* text) {
        messages_.ShowNotice(mz(text), kNoticeError);
        temp.close();
        ::unlink(tempPath.c_str());
        return kHistoryFailed;
    };
    if (!temp.writeAtNoSync(0, kHeader, sizeof kHeader)) return failTemp("\x03konwersji historii (1)");

    std::vector<uint8_t> oldBlock(kUpgradeBlock * kPreviousEntrySize);
    std::vector<HistoryEntry> newBlock(kUpgradeBlock);
    int64_t readAt = 0;
    int64_t writeAt = kHistoryHeaderSize;
    while (readAt < whole) {
        const size_t wanted = static_cast<size_t>(std::min<int64_t>(whole - readAt, static_cast<int64_t>(oldBlock.size())));
        const int64_t n = file.readSomeAt(readAt, oldBlock.data(), wanted);
        if (n <= 0) return failTemp("\x03odczytu historii");
        const size_t count = static_cast<size_t>(n) / kPreviousEntrySize;
        if (count == 0) break;
        for (size_t i = 0; i < count; ++i) {
            uint8_t old[kPreviousEntrySize];
            std::memcpy(old, oldBlock.data() + i * kPreviousEntrySize, kPreviousEntrySize);
            newBlock[i] = convertPreviousEntry(old);
        }
        if (!temp.writeAtNoSync(writeAt, newBlock.data(), count * kHistoryEntrySize))
            return failTemp("\x03konwersji historii (2)");
        readAt += static_cast<int64_t>(count * kPreviousEntrySize);
        writeAt += static_cast<int64_t>(count * kHistoryEntrySize);
    }
    if (!temp.sync()) return failTemp("\x03konwersji historii (2)");
    temp.close();
    file.close();

    // The old file becomes the backup by a second name first, so that the
    // history name always points at a whole file, old or new, even if the
    // station stops between the two steps.
    ::unlink(backupPath.c_str());
    bool linked = ::link(path.c_str(), backupPath.c_str()) == 0;
    if (!linked && ::rename(path.c_str(), backupPath.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        messages_.ShowNotice(mz("\x03zmiany nazwy pliku historii"), kNoticeError);
        return kHistoryFailed;
    }
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        if (!linked) ::rename(backupPath.c_str(), path.c_str());
        messages_.ShowNotice(mz("\x03zmiany nazwy pliku historii"), kNoticeError);
        return kHistoryFailed;
    }
    syncDirectory(directoryOf(path));

    if (whole != size) tellTornTail(size - whole);
    if (isCurrent && !history_.open(path, File::Mode::ReadWrite)) {
        messages_.ShowNotice("\n\nBlad otwarcia historii (2)\n", kNoticeInfo);
        return kHistoryFailed;
    }
    return kHistoryUpgraded;
}

int HistoryLog::LogEvent(int kind, HistoryEntry* entry, int value, int detail, int code, int extra, int system) {
    HistoryEntry built{};
    HistoryEntry* e = entry;
    if (e) {
        e->kind = static_cast<uint16_t>((e->kind & 0xF000) | (kind & 0x0FFF));
    } else {
        built = systemEntry(kind, value, detail, code, extra, system != 0);
        e = &built;
    }
    e->time = entryTime_ ? *entryTime_ : nowStamp(clock_);

    const int64_t size = history_.isOpen() ? history_.size() : -1;
    if (size < static_cast<int64_t>(kHistoryHeaderSize)) {
        ++failedWrites_;
        messages_.ShowNotice(writeGuard_, mz("\x03zapisu historii zdarzeń"), kNoticeError);
        return -1;
    }
    // Always on an entry boundary, whatever an earlier failed write left.
    const int64_t at = entryOffset(wholeEntries(size));
    if (!history_.writeAtNoSync(at, e, kHistoryEntrySize)) {
        ++failedWrites_;
        history_.truncate(at);
        messages_.ShowNotice(writeGuard_, mz("\x03zapisu historii zdarzeń"), kNoticeError);
        return -1;
    }
    if (!history_.sync()) {
        ++failedWrites_;
        messages_.ShowNotice(writeGuard_, mz("\x03powtórnego otwarcia historii zdarzeń"), kNoticeError);
        return -1;
    }
    if (formatter_ && sink_) sink_->printEventLine(formatter_->formatLine(*e) + "\r\n");
    return 0;
}

int HistoryLog::probeWritable() {
    if (!history_.isOpen() || !history_.stillAtItsPath()) return -1;
    return history_.writeAt(0, kHeader, sizeof kHeader) ? 0 : -1;
}

} // namespace k4
