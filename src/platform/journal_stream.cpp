#include "platform/journal_stream.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace k4 {

bool stderrIsJournal() {
    const char* stream = std::getenv("JOURNAL_STREAM");
    if (!stream) return false;
    unsigned long long device = 0, inode = 0;
    if (std::sscanf(stream, "%llu:%llu", &device, &inode) != 2) return false;
    struct stat st {};
    if (::fstat(2, &st) != 0) return false;
    // The variable is inherited: only the very stream it names counts, not
    // a file a parent's stderr was redirected to.
    return static_cast<unsigned long long>(st.st_dev) == device && static_cast<unsigned long long>(st.st_ino) == inode;
}

std::string journalLines(JournalPriority priority, const std::string& text, bool toJournal) {
    std::string body = text;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.pop_back();
    if (!toJournal) return body + "\n";
    const std::string prefix = "<" + std::to_string(static_cast<int>(priority)) + ">";
    std::string out = prefix;
    for (char c : body) {
        if (c == '\r') continue;
        out += c;
        if (c == '\n') out += prefix;
    }
    return out + "\n";
}

void tellStderr(JournalPriority priority, const std::string& text) {
    const std::string lines = journalLines(priority, text, stderrIsJournal());
    std::fwrite(lines.data(), 1, lines.size(), stderr);
    std::fflush(stderr);
}

} // namespace k4
