// A queue file "events" of any content: loading it, running the queue far
// into the future, changing it and saving it again must never read or write
// outside the queue, and the queue must stay in due order.
#include "database/stamp.h"
#include "history/history_log.h"
#include "platform/file.h"
#include "platform/operator_ui.h"
#include "processing/scheduler.h"
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

struct SteppedClock final : k4::Clock {
    int64_t unix = 1'780'000'000;
    uint64_t tick = 1000;
    int64_t unixTime() const override { return unix; }
    uint64_t tickMs() const override { return tick; }
    void sleepMs(int ms) override { advance(ms); }
    void advance(int64_t ms) {
        tick += static_cast<uint64_t>(ms);
        unix += ms / 1000;
    }
};

const char* const kNames[] = {"events", "events.new", "logf"};

const std::string& scratchDir() {
    static const std::string dir = [] {
        static char pattern[] = "/tmp/k4fuzz-events-XXXXXX";
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    k4::DataDir dir(scratchDir());
    for (const char* name : kNames) ::unlink(dir.file(name).c_str());
    if (!k4::replaceFileDurably(dir.file("events"), std::string_view(reinterpret_cast<const char*>(data), size),
                                nullptr))
        return 0;

    SilentUi ui;
    k4::Messages messages(ui);
    SteppedClock clock;
    // The stamp of the file decides how much has passed; take it as written
    // a little while ago so that its entries are not all stale.
    if (size >= 4) clock.unix = k4::UnixFromStamp(static_cast<int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                                    (static_cast<uint32_t>(data[3]) << 24))) + 30;
    bool suspended = false;
    k4::HistoryLog log(dir, messages, clock, suspended);
    log.OpenHistory("logf");
    k4::Scheduler scheduler(dir, clock, messages, log);
    int dispatched = 0;
    for (int type = 1; type < k4::kSchedulerTypes; ++type)
        if (type != k4::kSchedSaveEvents) scheduler.setHandler(type, [&](uint16_t, uint8_t) { ++dispatched; });
    scheduler.load();
    if (scheduler.count() > k4::kSchedulerCapacity) std::abort();
    for (int i = 0; i < 64 && scheduler.count() > 0; ++i) {
        clock.advance(20'000'000);
        scheduler.poll();
    }
    scheduler.schedule(5, 3, 3, 1);
    scheduler.cancel(3, 3, 0);
    scheduler.schedule(-7, 0xFFFF, 5, 2);
    scheduler.save();
    scheduler.load();
    return 0;
}
