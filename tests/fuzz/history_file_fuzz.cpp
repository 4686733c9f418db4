// A history file of any content, as "logf" and as an archive: opening it
// (with the upgrade of an older generation), printing every entry, copying a
// month out of it, reading it without a change and appending to it must end, refused or done, without a
// read or write outside the entries.
#include "baselink/path_types.h"
#include "history/history_log.h"
#include "history/history_reader.h"
#include "platform/file.h"
#include "platform/operator_ui.h"
#include "processing/event_table.h"
#include "processing/event_text.h"
#include "messages/messages.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct SilentUi final : k4::OperatorUi {
    k4::BoxAnswer showBox(const k4::BoxRequest& box) override { return box.defaultButton; }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};

struct FixedClock final : k4::Clock {
    int64_t unixTime() const override { return 1'780'000'000; }
    uint64_t tickMs() const override { return 1000; }
    void sleepMs(int) override {}
};

const char* const kNames[] = {"logf", "logf.old", "logf.tmp", "26_05.log", "26_05.old", "26_05.log.new"};

const std::string& scratchDir() {
    static const std::string dir = [] {
        static char pattern[] = "/tmp/k4fuzz-history-XXXXXX";
        std::string made(::mkdtemp(pattern));
        std::atexit([] {
            const std::string d(pattern);
            for (const char* name : kNames) ::unlink((d + "/" + name).c_str());
            ::rmdir(d.c_str());
        });
        return made;
    }();
    return dir;
}

void printAll(k4::File& file, k4::EventFormatter& formatter) {
    const int64_t n = k4::wholeEntries(file.size());
    for (int64_t i = 0; i < n && i < 4096; ++i) {
        k4::HistoryEntry e;
        if (!file.readAt(k4::entryOffset(i), &e, sizeof e)) return;
        (void)formatter.formatEvent(e);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    k4::DataDir dir(scratchDir());
    for (const char* name : kNames) ::unlink(dir.file(name).c_str());
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    SilentUi ui;
    k4::Messages messages(ui);
    FixedClock clock;
    bool suspended = false;
    k4::EventTable events;
    events.setRecords({});
    k4::PathTypeTable pathTypes;
    k4::EventFormatter formatter(events, pathTypes);

    if (!k4::replaceFileDurably(dir.file("26_05.log"), bytes, nullptr)) return 0;
    // Read as the technician's tool reads it, with nothing written.
    int64_t lines = 0;
    (void)k4::readHistoryFile(dir.file("26_05.log"), [&](const k4::HistoryEntry& e) {
        (void)formatter.formatEvent(e);
        return ++lines < 4096;
    });
    {
        k4::HistoryLog archive(dir, messages, clock, suspended);
        (void)archive.OpenHistory("26_05.log");
    }

    if (!k4::replaceFileDurably(dir.file("logf"), bytes, nullptr)) return 0;
    k4::HistoryLog log(dir, messages, clock, suspended);
    log.setEventPrinting(&formatter, nullptr);
    if (log.OpenHistory("logf") < 0) return 0;
    printAll(log.historyFile(), formatter);
    (void)log.LogEvent(67, 0x1234, 0x56, 0x789, 0xAB);
    (void)log.ExtractMonth(2026, 5, 0);
    return 0;
}
