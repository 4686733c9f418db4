// A record file image of any content, worked on by a short script of the
// engine's operations: nothing may crash, hang or read outside the file, a
// damaged header must be refused, and a file that was sound before the
// script is sound after it.
//
// Input: byte 0 picks the record size the file is opened with, bytes 1..16
// are the script, the rest is the file image.
#include "database/record_file.h"
#include "database/record_file_audit.h"
#include "platform/file.h"
#include "messages/messages.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest&) override { return k4::BoxAnswer::Ok; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct NoHistory final : k4::HistorySink {
    int LogSystemEvent(int, int, int, int, int) override { return 0; }
};

const std::string& scratchDir() {
    static const std::string dir = [] {
        // Every write is synced; a memory file system keeps the runs fast.
        static char pattern[] = "/dev/shm/k4fuzz-record-XXXXXX";
        if (::access("/dev/shm", W_OK) != 0) std::memcpy(pattern, "/tmp/k4fuzz-record-XXXXXX\0", 27);
        std::string made(::mkdtemp(pattern));
        std::atexit([] {
            const std::string d(pattern);
            ::unlink((d + "/opis").c_str());
            ::unlink((d + "/opis.new").c_str());
            ::rmdir(d.c_str());
        });
        return made;
    }();
    return dir;
}

constexpr int kSizes[] = {12, 100, 256};
constexpr size_t kScript = 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 + kScript || size > 64 * 1024) return 0;
    const int recSize = kSizes[data[0] % 3];
    const uint8_t* script = data + 1;
    const std::string_view image(reinterpret_cast<const char*>(data + 1 + kScript), size - 1 - kScript);

    k4::DataDir dir(scratchDir());
    const std::string path = dir.file("opis");
    if (!k4::replaceFileDurably(path, image, nullptr)) return 0;
    const bool soundBefore = k4::AuditRecordImage(image, "opis", recSize).problems.empty();

    SilentUi ui;
    k4::Messages messages(ui);
    NoHistory history;
    k4::RecordFile file(dir, messages, history);
    if (file.Open("opis", recSize) != 0) {
        // Refused: the name or the size in the header is not this file's.
        if (image.size() >= 32 && std::memcmp(image.data() + 4, "opis\0", 5) == 0 &&
            static_cast<uint8_t>(image[21]) == (recSize & 0xFF) && static_cast<uint8_t>(image[22]) == (recSize >> 8))
            std::abort();
        return 0;
    }

    // Offsets the script names: a record of the file, or anything at all.
    const int64_t records = file.recordCount();
    auto offsetFrom = [&](uint8_t b) -> int32_t {
        if (b & 0x80) return static_cast<int32_t>(int32_t(b) * 7 - 300);
        return records > 0 ? static_cast<int32_t>(32 + (b % records) * recSize) : 32;
    };
    std::vector<int32_t> mine; // records appended by the script
    std::vector<uint8_t> record(static_cast<size_t>(recSize), 0xA5);
    std::string text(3000, 'T');
    std::string buffer(3000, '\0');
    for (size_t i = 0; i + 1 < kScript; i += 2) {
        const uint8_t op = script[i], arg = script[i + 1];
        const int32_t at = offsetFrom(arg);
        switch (op % 9) {
        case 0: {
            int32_t added = 0;
            if (file.CheckFreeHead() == 0 && file.AppendRecord(added, record.data()) == 0) mine.push_back(added);
            break;
        }
        case 1:
            if (file.CheckNotFree(at) == 0) file.FreeRecord(at);
            break;
        case 2: {
            int32_t first = 0;
            file.WriteChain(first, text.data(), 1 + arg * 11);
            break;
        }
        case 3: {
            int32_t end = at;
            const int length = file.ChainEnd(end, buffer.data());
            if (length > 0 && length <= static_cast<int>(buffer.size())) file.ReadChain(at, buffer.data(), length);
            break;
        }
        case 4:
            file.RewriteChain(at, text.data(), arg * 9);
            break;
        case 5: {
            int32_t first = at;
            file.FreeChain(first);
            break;
        }
        case 6:
            // Past the link: the record may have been freed by the script since.
            if (!mine.empty()) {
                const int field = 4 + arg % (recSize - 4);
                file.WritePart(mine[arg % mine.size()], "xyz", field, std::min(3, recSize - field));
            }
            break;
        case 7:
            file.ReadRecord(at, buffer.data());
            file.ReadPart(at, buffer.data(), arg % recSize, 4);
            break;
        case 8:
            file.ReadAt(at, buffer.data(), 64, arg);
            break;
        }
    }
    file.Close();

    std::string after;
    if (!k4::readWholeFile(path, after, nullptr)) std::abort();
    // The name and size in the header are never touched.
    if (after.size() < 32 || std::memcmp(after.data() + 4, image.data() + 4, 13) != 0 ||
        std::memcmp(after.data() + 21, image.data() + 21, 2) != 0)
        std::abort();
    if (soundBefore && !k4::AuditRecordImage(after, "opis", recSize).problems.empty()) std::abort();
    return 0;
}
