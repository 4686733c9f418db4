// An index file of any content: opening it, looking keys up, walking it both
// ways and changing it must end (refused or done) without reading or writing
// outside its pages.
#include "database/index_file.h"
#include "platform/file.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

struct Refuse final : k4::IndexFailure {
    void indexFailed(const std::string& message, const std::string&, int64_t) override {
        throw std::runtime_error(message);
    }
};

const std::string& scratchDir() {
    static const std::string dir = [] {
        static char pattern[] = "/tmp/k4fuzz-index-XXXXXX";
        std::string made(::mkdtemp(pattern));
        std::atexit([] {
            const std::string d(pattern);
            ::unlink((d + "/nazwa").c_str());
            ::unlink((d + "/nazwa.new").c_str());
            ::rmdir(d.c_str());
        });
        return made;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    k4::DataDir dir(scratchDir());
    if (!k4::replaceFileDurably(dir.file("nazwa"), std::string_view(reinterpret_cast<const char*>(data), size), nullptr))
        return 0;
    k4::IndexPageCache cache;
    Refuse refuse;
    try {
        k4::IndexHandle index(cache, refuse);
        if (index.OpenIndex(dir, "nazwa", true) != 0) return 0;
        k4::IndexKey key;
        int steps = 0;
        // Keys of the file itself, inner pages' among them: deleting them
        // walks down to successors and refills pages the input made.
        std::vector<k4::IndexKey> present;
        for (int r = index.First(key); r == k4::kIndexFound && steps < 5000; r = index.Next(key)) {
            if (steps % 3 == 0 && present.size() < 64) present.push_back(key);
            ++steps;
        }
        for (int r = index.Last(key); r == k4::kIndexFound && steps < 10000; r = index.Prev(key)) ++steps;
        index.FindKey("KOWAL", key);
        index.FindFrom("M", key);
        index.InsertKey("NOWAK", 32);
        index.DeleteKey("NOWAK", 32);
        for (auto it = present.rbegin(); it != present.rend(); ++it) index.DeleteKey(it->text, it->value);
        index.CloseIndex();
    } catch (const std::runtime_error&) {
        // refused: what a damaged index must give
    }
    return 0;
}
