#pragma once
// What the history window makes of its list: a printout, the reduced
// printout for a subscriber's own use, and the text file the operator takes
// away. All three walk the matching entries of the whole file, not only the
// listable ones, and keep the station receiving meanwhile.
#include "history/plog_list.h"
#include "platform/clock.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace k4 {

enum : int {
    kOutputReduced = 0,  // "Wydruk &A."
    kOutputPrint = 1,    // "&Wydruk"
    kOutputTextFile = 2, // "Plik &txt": "log_txt.tmp" in CP1250
};

struct HistoryOutputParts {
    // The text line of an entry (Mazovia, no line end).
    std::function<std::string(const HistoryEntry&)> format;
    // One line on the open listing: 0, or -1 when the printer failed.
    std::function<int(const std::string&)> printLine;
    // Special codes 0 "BRAK TESTU" and 7 "BRAK ODP. NA T.M." are left out
    // of the reduced printout.
    std::array<int, 10> specialCodes{};
    // Where mode 2 writes.
    std::string textPath;
};

// 0, or -1 after a read, print or write error (shown).
int Output(PLogList& list, int mode, const HistoryOutputParts& parts, Messages& messages);

// The heading of "&Wydruk".
std::string historyPrintHeader();

// Who the reduced printout is for, when the filter names a subscriber.
struct ReducedPrintSubscriber {
    int number = -1;
    bool found = false;
    std::string name, town, address; // Mazovia
};
// The heading of "Wydruk &A.".
std::string reducedPrintHeader(const HistFilter& filter, const ReducedPrintSubscriber& subscriber,
                               const LocalDateTime& today);

// "h%x%02d%02d%02d.txt" of the month (hexadecimal), day, hour and minute;
// a second export in the same minute gets a letter before ".txt". Empty
// when a..z are all taken.
std::string exportFileName(const std::string& directory, const LocalDateTime& now);

// Copies the finished text file into the directory under the export name,
// durably, tells the operator the name and removes the temporary file.
// The path written, or nothing (the failure shown).
std::optional<std::string> exportTextFile(const std::string& textPath, const std::string& directory,
                                          const LocalDateTime& now, Messages& messages);

// A date "year.month.day" and an optional time "hours:minutes" as a stamp,
// or -1 after telling the operator what is wrong.
Stamp ParseDate(const std::string& date, const std::string* time, Messages& messages);

} // namespace k4
