#include "shell/alarm_service.h"

#include "support/history_rig.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace k4 {
namespace {

// The windows of the sequence, answering from a script; while "open" each
// runs what the timer would do underneath (a new alarm arriving).
class ScriptedWindows final : public AlarmWindows {
public:
    int description = kServiceRemove;
    int service = kServiceKeep;
    uint16_t tick = 0; // steps the operator ticks in the service window
    bool refuse = false;
    std::function<void()> whileDescription, whileService;
    std::vector<int> described; // subscribers of the description windows made
    int serviceWindows = 0;

    std::unique_ptr<AlarmDescriptionWindow> createDescription(const AlarmRecord& alarm) override {
        if (refuse) return nullptr;
        described.push_back(alarm.subscriber);
        return std::make_unique<Window>(*this);
    }
    int runService(uint16_t& steps) override {
        ++serviceWindows;
        if (whileService) whileService();
        steps |= tick;
        return service;
    }

private:
    struct Window final : AlarmDescriptionWindow {
        explicit Window(ScriptedWindows& w) : windows(w) {}
        int run() override {
            if (windows.whileDescription) windows.whileDescription();
            return windows.description;
        }
        ScriptedWindows& windows;
    };
};

class Service : public ::testing::Test, protected test::HistoryRig {
protected:
    ConfigBlock config{};
    AlarmsList alarms{config, history};
    ScriptedWindows windows;
    AlarmService service{alarms, messages, windows};

    void SetUp() override { ASSERT_GE(history.OpenHistory("logf"), 0); }

    void raise(int subscriber) {
        AlarmRecord a;
        a.subscriber = static_cast<int16_t>(subscriber);
        a.codeWord = codeWordOf(0x130, 4);
        a.time = static_cast<uint32_t>(clock.unixTime());
        ASSERT_EQ(alarms.raiseAlarm(a, 0), 0);
    }
    std::vector<int> subscribers() const {
        std::vector<int> out;
        for (int i = 0; i < alarms.count(); ++i) out.push_back(alarms[i].subscriber);
        return out;
    }
    // (kind, subscriber) of every entry written after the start.
    std::vector<std::pair<int, int>> entries() const {
        const std::string bytes = dir.read("logf");
        std::vector<std::pair<int, int>> out;
        for (size_t at = kHistoryHeaderSize; at + kHistoryEntrySize <= bytes.size(); at += kHistoryEntrySize) {
            HistoryEntry e;
            std::memcpy(&e, bytes.data() + at, sizeof e);
            out.emplace_back(e.kindCode(), static_cast<int>(e.subscriber));
        }
        return out;
    }
};

struct SequenceCase {
    const char* what;
    int description;
    int service;
    bool arriveDuringDescription;
    bool arriveDuringService;
    std::vector<int> left; // subscribers still listed, newest first
    int serviceWindows;
};

TEST_F(Service, SequenceRemovesTheAlarmTheOperatorOpened) {
    const SequenceCase cases[] = {
        {"Usuń in the description", kServiceRemove, kServiceKeep, false, false, {200}, 0},
        {"Obsługa, then Usuń", kServiceOpen, kServiceRemove, false, false, {200}, 1},
        {"Obsługa, then Zostaw keeps it", kServiceOpen, kServiceKeep, false, false, {100, 200}, 1},
        {"new alarm during the description", kServiceRemove, kServiceKeep, true, false, {300, 200}, 0},
        {"new alarm during the service window", kServiceOpen, kServiceRemove, false, true, {300, 200}, 1},
        {"new alarms during both", kServiceOpen, kServiceRemove, true, true, {300, 300, 200}, 1},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.what);
        while (alarms.count() > 0) alarms.remove(0);
        raise(200);
        raise(100); // line 0, the one the operator picks
        windows.description = c.description;
        windows.service = c.service;
        windows.serviceWindows = 0;
        windows.whileDescription = c.arriveDuringDescription ? std::function<void()>([this] { raise(300); }) : nullptr;
        windows.whileService = c.arriveDuringService ? std::function<void()>([this] { raise(300); }) : nullptr;
        service.serviceSelected(0);
        EXPECT_EQ(subscribers(), c.left);
        EXPECT_EQ(windows.serviceWindows, c.serviceWindows);
        EXPECT_FALSE(service.running());
    }
}

TEST_F(Service, StepsAreKeptAndLoggedWithTheEndOfService) {
    raise(100);
    windows.description = kServiceOpen;
    windows.service = kServiceKeep;
    windows.tick = 0x05;
    service.serviceSelected(-1); // none selected: the first line
    ASSERT_EQ(alarms.count(), 1);
    EXPECT_TRUE(alarms[0].inService());
    EXPECT_EQ(alarms[0].service, 0x05);

    windows.tick = 0x80;
    windows.service = kServiceRemove;
    service.serviceSelected(0);
    EXPECT_EQ(alarms.count(), 0);
    // Opening twice starts the service once; the end comes once.
    int starts = 0, ends = 0;
    for (const auto& [kind, subscriber] : entries()) {
        starts += kind == kHistoryServiceStart;
        ends += kind == kHistoryServiceEnd;
    }
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
}

TEST_F(Service, EmptyListSaysSoAndAWindowThatCannotBeMadeChangesNothing) {
    service.serviceSelected(0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Brak alarmów");
    EXPECT_TRUE(windows.described.empty());

    raise(100);
    windows.refuse = true;
    service.serviceSelected(0);
    ASSERT_EQ(alarms.count(), 1);
    EXPECT_FALSE(alarms[0].inService()) << "the alarm stays new";
    EXPECT_FALSE(service.running()) << "the next double click works again";
}

TEST_F(Service, KeysRepeatedUnderTheEmptyListBoxStackNoSecondBox) {
    int repeats = 0;
    ui.whileShown = [&](const BoxRequest&) {
        // F9 held down: the key repeats while the box is on screen.
        if (++repeats <= 3) service.serviceSelected(-1);
    };
    service.serviceSelected(-1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Brak alarmów");
    EXPECT_FALSE(service.running());
    ui.whileShown = nullptr;
    service.serviceSelected(-1);
    EXPECT_EQ(ui.boxes.size(), 2u) << "once the box is closed the next press is answered again";
}

TEST_F(Service, SecondCallWhileTheWindowsAreOpenDoesNothing) {
    raise(200);
    raise(100);
    windows.whileDescription = [this] { service.serviceSelected(1); };
    service.serviceSelected(0);
    EXPECT_EQ(windows.described, std::vector<int>{100});
    EXPECT_EQ(subscribers(), std::vector<int>{200});
}

TEST(ShiftedAlarmLine, CountsTheAlarmsRaisedMeanwhileAcrossTheWrap) {
    EXPECT_EQ(shiftedAlarmLine(0, 10, 10, 3), 0);
    EXPECT_EQ(shiftedAlarmLine(1, 10, 12, 5), 3);
    EXPECT_EQ(shiftedAlarmLine(2, 254, 1, 64), 5) << "uint8 counter wrapped";
    EXPECT_EQ(shiftedAlarmLine(2, 10, 12, 4), -1) << "pushed out of the list";
}

} // namespace
} // namespace k4
