#include "maintenance/auto_dump.h"

#include "database/stamp.h"
#include "database/text_edge.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace k4 {

namespace fs = std::filesystem;

namespace {

constexpr int kDumpHour = 0;
constexpr int kDumpMinute = 30;

// Made when missing; false when it is not a directory that can be used.
bool usableDirectory(const std::string& dir) {
    if (dir.empty()) return false;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) fs::create_directories(dir, ec);
    return fs::is_directory(dir, ec);
}

} // namespace

const char* dumpDayName(int weekday) {
    static const char* const names[7] = {"Nie", "Pon", "Wto", "Sro", "Czw", "Pia", "Sob"};
    return names[((weekday % 7) + 7) % 7];
}

std::string dumpMonthName(int year, int month) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d_%02d", year % 10000, month % 100);
    return name;
}

int64_t nextDumpTime(int64_t unixNow) {
    const time_t now = static_cast<time_t>(unixNow);
    std::tm local {};
    localtime_r(&now, &local);
    local.tm_mday += 1;
    local.tm_hour = kDumpHour;
    local.tm_min = kDumpMinute;
    local.tm_sec = 0;
    // The zone decides whether that night is summer or winter time.
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local));
}

AutoDump::AutoDump(const ConfigBlock& config, const Clock& clock, Messages& messages, Scheduler& scheduler,
                   HistoryLog& history, DatabaseBackup& backup)
    : config_(config), clock_(clock), messages_(messages), scheduler_(scheduler), history_(history),
      backup_(backup) {}

void AutoDump::install() {
    scheduler_.setHandler(kSchedSaveBase, [this](uint16_t, uint8_t) { run(false, false); });
}

std::string AutoDump::dumpDirectory() const {
    const std::string stored(config_.autosave_dir, strnlen(config_.autosave_dir, sizeof config_.autosave_dir));
    std::string dir = Utf8FromMazovia(stored);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return backup_.resolve(dir);
}

int AutoDump::run(bool scheduleOnly, bool disabling) {
    const int64_t now = clock_.unixTime();
    const int64_t delay = std::max<int64_t>(1, nextDumpTime(now) - now);
    if (scheduleOnly) {
        scheduler_.cancel(0, kSchedSaveBase, 0);
        if (disabling) return 0;
        const std::string dir = dumpDirectory();
        if (!usableDirectory(dir) || backup_.isBaseDirectory(dir)) {
            messages_.ShowNotice(mz("Zatrzymanie autozapisu - zły katalog"), kNoticeInfo);
            return -1;
        }
    }
    // The next night is booked first: a dump that fails tonight is tried
    // again tomorrow.
    if (scheduler_.schedule(static_cast<int>(delay), 0, kSchedSaveBase, 0) != 0) return -1;
    if (scheduleOnly) return 0;
    return dumpNow();
}

int AutoDump::dumpInto(const std::string& directory, int year, int month, int options) {
    if (!usableDirectory(directory) || backup_.Backup(directory, true) != 0) {
        messages_.ShowNotice(mz("zapisu bazy\n" + directory), kNoticeError);
        return -1;
    }
    return history_.ExtractMonth(year, month, options, directory) == 0 ? 0 : -1;
}

int AutoDump::dumpNow() {
    const std::string root = dumpDirectory();
    if (root.empty()) {
        messages_.ShowNotice(mz("zapisu bazy"), kNoticeError);
        return -1;
    }
    const LocalDateTime today = localNow(clock_);
    int result = 0;
    if (today.day == 1) {
        const int year = today.month == 1 ? today.year - 1 : today.year;
        const int month = today.month == 1 ? 12 : today.month - 1;
        const std::string finished = root + "/" + dumpMonthName(year, month);
        // A month already saved keeps its first copy. The copy is made under
        // another name and takes the month's name only when whole, so a
        // night that failed half-way is made again the next night.
        std::error_code ec;
        if (!fs::exists(finished, ec)) {
            const std::string making = finished + ".nowy";
            if (dumpInto(making, year, month, 0) != 0) {
                result = -1;
            } else {
                fs::rename(making, finished, ec);
                if (ec) {
                    messages_.ShowNotice(mz("zapisu bazy\n" + finished + ": " + copyFailureReason(ec.value())),
                                         kNoticeError);
                    result = -1;
                }
            }
        }
    }
    if (dumpInto(root + "/" + dumpDayName(today.weekday), today.year, today.month, kExtractFixedLogf) != 0)
        result = -1;
    return result;
}

} // namespace k4
