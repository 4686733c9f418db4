#include "history/link_status.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_names.h"
#include "history/history_log.h"
#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace k4 {

LinkStatusFile::LinkStatusFile(const DataDir& dir, Messages& messages, const Clock& clock)
    : dir_(dir), messages_(messages), clock_(clock) {}

std::string LinkStatusFile::statusLine(const LocalDateTime& now, int sourceKind, const LinkStatusRecord& r) {
    char number[16];
    std::snprintf(number, sizeof number, r.hexNumber ? "%4.4X" : "%4.4d", r.subscriber & 0xFFFF);
    char line[160];
    std::snprintf(line, sizeof line,
                  "%2.2d.%02d.%02d\t %02d:%02d:%02d\t %s\t %2.2X.\t %3.3X.\t %3.3X.\t %1.1X\t %1.1X\t %3.3d,%1.1d\t %3.3d\t p%2.2X",
                  twoDigitYear(now.year) % 100, now.month, now.day, now.hour, now.minute, now.second, number,
                  r.subsystem, r.code, r.sector, r.quality1, r.quality2, r.quality3 / 10, r.quality3 % 10,
                  r.quality4 * 10, sourceKind);
    return line;
}

void LinkStatusFile::LinkStatus(int sourceKind, const LinkStatusRecord& record) {
    if (record.quality1 == 0xFF) return;
    File file;
    if (!file.open(path(), File::Mode::ReadWriteCreate)) return;
    const int64_t end = file.size();
    if (end < 0) return;
    const std::string line = statusLine(localNow(clock_), sourceKind, record) + "\n";
    file.writeAt(end, line.data(), line.size());
}

int LinkStatusFile::RollLinkStatus(int year, int month, const std::string& directory) {
    char name[32];
    std::snprintf(name, sizeof name, "link_%02d_%02d.txt", twoDigitYear(year) % 100, month % 100);
    std::string target;
    if (directory.empty()) target = dir_.file(name);
    else if (directory.front() == '/') target = directory + "/" + name;
    else target = dir_.file(directory + "/" + name);

    if (fileExists(target)) {
        messages_.ShowNotice(mz("\x03Podany plik statusu istnieje"), kNoticeInfo);
        return -1;
    }
    const std::string source = path();
    if (!fileExists(source)) return 0;
    if (::rename(source.c_str(), target.c_str()) == 0) {
        syncDirectory(directoryOf(target));
        return 0;
    }
    if (errno != EXDEV) return -1;
    // Another file system: copy, and drop the original only once the copy is safe.
    std::string text;
    if (!readWholeFile(source, text, nullptr) || !replaceFileDurably(target, text, nullptr)) return -1;
    ::unlink(source.c_str());
    return 0;
}

} // namespace k4
