#pragma once
// Standard error of a station run as a service goes to the journal, one entry
// a line. The journal reads a "<N>" at the start of a line as the entry's
// priority (3 error, 4 warning, 5 notice, 6 information), so an error box
// of the headless station shows in red and `journalctl -p err` finds it. On
// a terminal or in a file the prefix would only be noise: it is written only
// when standard error is the journal's own stream (JOURNAL_STREAM names its
// device and inode).
#include <string>

namespace k4 {

enum class JournalPriority { Error = 3, Warning = 4, Notice = 5, Info = 6 };

// Whether standard error is the stream the journal gave this process.
bool stderrIsJournal();

// Every line of text (UTF-8) prefixed with its priority when written to the
// journal, as it is otherwise.
std::string journalLines(JournalPriority priority, const std::string& text, bool toJournal);

// One message on standard error, flushed at once.
void tellStderr(JournalPriority priority, const std::string& text);

} // namespace k4
