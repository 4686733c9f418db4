#include "history/history_output.h"

#include "database/codepage.h"
#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/file_copy.h"
#include "history/file_names.h"

#include <cstdio>
#include <unistd.h>

namespace k4 {

namespace {

const char* const kHashes = "####################";

bool leftOutOfReduced(const HistoryEntry& e, const std::array<int, 10>& special) {
    auto isMissingTest = [&](int code) {
        return (special[0] != 0 && code == special[0]) || (special[7] != 0 && code == special[7]);
    };
    if (!e.isSystem()) return isMissingTest(e.kindCode());
    const int kind = e.kindCode();
    return (kind == 7 || kind == 8) && isMissingTest(e.code2 & 0x0FFF);
}

} // namespace

int Output(PLogList& list, int mode, const HistoryOutputParts& parts, Messages& messages) {
    File text;
    int64_t written = 0;
    if (mode == kOutputTextFile) {
        if (!text.open(parts.textPath, File::Mode::ReadWriteCreate) || !text.truncate(0)) {
            messages.ShowNotice(mz("\x03otwarcia tekstowego pliku historii"), kNoticeError);
            return -1;
        }
    }
    int result = 0;
    const int read = list.forEachMatch([&](const HistoryEntry& found, int indexInBlock) {
        HistoryEntry e = found;
        if (mode == kOutputReduced) {
            if (leftOutOfReduced(e, parts.specialCodes)) return true;
            if (!e.isSystem() || !isNoSubscriberKind(e.kindCode())) e.subscriber = 0;
        }
        std::string line = parts.format(e) + "\r\n";
        if (mode == kOutputTextFile) {
            ConvertCodePage(line, kCp1250);
            if (!text.writeAtNoSync(written, line.data(), line.size())) {
                messages.ShowNotice(mz("\x03zapisu tekstowego pliku historii"), kNoticeError);
                result = -1;
                return false;
            }
            written += static_cast<int64_t>(line.size());
            // An export of years of entries must not stop reception.
            if (indexInBlock == 0) messages.PollDuringWork(&text);
            return true;
        }
        if (parts.printLine(line) != 0) {
            result = -1;
            return false;
        }
        if (indexInBlock % 2 == 0) messages.PollDuringWork();
        return true;
    });
    if (read != 0) result = -1;
    if (mode == kOutputTextFile && result == 0 && !text.sync()) {
        messages.ShowNotice(mz("\x03zapisu tekstowego pliku historii"), kNoticeError);
        result = -1;
    }
    return result;
}

std::string historyPrintHeader() {
    char line[128];
    std::snprintf(line, sizeof line, "\r\n%s%8cWYDRUK HISTORII ZDARZEŃ%7c%s\r\n", kHashes, ' ', ' ', kHashes);
    return mz(line);
}

std::string reducedPrintHeader(const HistFilter& filter, const ReducedPrintSubscriber& subscriber,
                               const LocalDateTime& today) {
    char part[256];
    std::string text = mz("\r\nWydruk historii zdarzeń");
    if (filter.from != 0) {
        const LocalDateTime t = LocalFromStamp(filter.from);
        std::snprintf(part, sizeof part, " od %02d.%02d.%4.4d %02d:%02d", t.day, t.month, t.year, t.hour, t.minute);
        text += part;
    }
    if (filter.to != 0) {
        const LocalDateTime t = LocalFromStamp(filter.to);
        std::snprintf(part, sizeof part, " do %02d.%02d.%4.4d", t.day, t.month, t.year);
        text += part;
    }
    if (filter.subscriber != -1) {
        if (subscriber.found) {
            text += "\r\nDla abonenta: " + subscriber.name;
            std::snprintf(part, sizeof part, "\r\n%13c ", ' ');
            text += part + subscriber.town + " " + subscriber.address;
        } else {
            std::snprintf(part, sizeof part, "\r\nDla abonenta: %4.4d", filter.subscriber);
            text += part;
        }
        std::snprintf(part, sizeof part, "\r\nZ dnia: %02d.%02d.%4.4d", today.day, today.month, today.year);
        text += part;
    }
    return text + "\r\n\r\n";
}

std::string exportFileName(const std::string& directory, const LocalDateTime& now) {
    char stem[32];
    std::snprintf(stem, sizeof stem, "h%x%02d%02d%02d", now.month, now.day, now.hour, now.minute);
    const std::string base = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    std::string name = std::string(stem) + ".txt";
    for (char letter = 'a'; fileExists(base + name); ++letter) {
        if (letter > 'z') return {};
        name = std::string(stem) + letter + ".txt";
    }
    return name;
}

std::optional<std::string> exportTextFile(const std::string& textPath, const std::string& directory,
                                          const LocalDateTime& now, Messages& messages) {
    const std::string name = exportFileName(directory, now);
    if (name.empty()) {
        messages.ShowNotice(mz("\x03zapisu tekstowego pliku historii (zajęte nazwy a..z)"), kNoticeError);
        return std::nullopt;
    }
    std::string dir = directory;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    const std::string target = dir + "/" + name;
    std::string error;
    if (!copyFileDurably(textPath, target, error)) {
        ::unlink(target.c_str());
        messages.ShowNotice(mz("\x03kopiowania tekstowego pliku historii: " + error), kNoticeError);
        return std::nullopt;
    }
    ::unlink(textPath.c_str());
    messages.ShowNotice(mz("\x03Zapis pod nazwą: " + dir + "/" + name), kNoticeInfo);
    return target;
}

Stamp ParseDate(const std::string& date, const std::string* time, Messages& messages) {
    int year = 0, month = 0, day = 0;
    bool valid = std::sscanf(date.c_str(), "%4d.%2d.%d", &year, &month, &day) == 3;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (valid) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        valid = year > 1994 && year <= 2037 && day > 0 && month > 0 && month <= 12 &&
                day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    }
    if (!valid) {
        messages.ShowNotice(mz("\x03Podano niewłaściwą datę. Poprawny format to np. 1995.10.25"), kNoticeInfo);
        return -1;
    }
    LocalDateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    if (time) {
        int hours = -1, minutes = -1;
        if (std::sscanf(time->c_str(), "%2d:%2d", &hours, &minutes) != 2 || hours < 0 || hours > 23 ||
            minutes < 0 || minutes > 59) {
            messages.ShowNotice(mz("\x03Podano niewłaściwy czas. Poprawny format to np. 19:25"), kNoticeInfo);
            return -1;
        }
        t.hour = hours;
        t.minute = minutes;
    }
    return StampFromLocal(t);
}

} // namespace k4
