#pragma once
// Reading a history file without changing it: the technician's tools and
// checks look at archives of every generation, and a file of the previous
// generation is converted in memory only.
#include "history/history_entry.h"

#include <functional>
#include <string>

namespace k4 {

enum class HistoryGeneration {
    Current,      // the 0xFB header, 14-byte entries
    Previous,     // no header, 16-byte entries
    Transitional, // ten equal bytes 0xFC..0xFF: no conversion exists
    Unknown,      // neither: not a history file
    Unreadable,   // cannot be opened or is shorter than a header
};

struct HistoryReadResult {
    HistoryGeneration generation = HistoryGeneration::Unreadable;
    int64_t entries = 0;    // whole entries handed out
    int64_t tornBytes = 0;  // bytes after the last whole entry, left out
    bool readError = false; // the file ended early while it was read
};

// Hands every whole entry in file order to the callback, which may stop the
// walk by returning false.
HistoryReadResult readHistoryFile(const std::string& path, const std::function<bool(const HistoryEntry&)>& each);

} // namespace k4
