#include "history/file_copy.h"

#include "history/file_names.h"
#include "platform/file.h"

#include <unistd.h>
#include <vector>

namespace k4 {

bool copyFileDurably(const std::string& from, const std::string& to, std::string& error) {
    File in, out;
    if (!in.open(from, File::Mode::ReadOnly)) {
        error = in.errorText();
        return false;
    }
    if (!out.open(to, File::Mode::ReadWriteCreate) || !out.truncate(0)) {
        error = out.errorText();
        return false;
    }
    auto failed = [&](const File& f) {
        error = f.errorText();
        out.close();
        ::unlink(to.c_str());
        return false;
    };
    std::vector<char> block(64 * 1024);
    for (int64_t at = 0;;) {
        const int64_t n = in.readSomeAt(at, block.data(), block.size());
        if (n < 0) return failed(in);
        if (n == 0) break;
        if (!out.writeAtNoSync(at, block.data(), static_cast<size_t>(n))) return failed(out);
        at += n;
    }
    if (!out.sync()) return failed(out);
    out.close();
    syncDirectory(directoryOf(to));
    return true;
}

} // namespace k4
