#pragma once
// Entries of the previous generation of the history: no header, 16 bytes an
// entry, the system entries numbered from 256. A file of that generation is
// converted once, when it is first opened, and kept beside the new one.
#include "history/history_entry.h"

#include <cstddef>
#include <cstdint>

namespace k4 {

constexpr size_t kPreviousEntrySize = 16;

// One previous-generation entry in its current form.
HistoryEntry convertPreviousEntry(const uint8_t (&old)[kPreviousEntrySize]);

} // namespace k4
