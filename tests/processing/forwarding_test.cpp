// The forwarding of alarms over fake ways out: which paths are tried for
// which words and send types, what the operator is told and what is logged,
// and the waiting marks of the bases.
#include "processing/forwarding.h"

#include "baselink/forwarding_supervision.h"
#include "baselink/packet.h"
#include "config/config_block.h"
#include "database/index_page_cache.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "history/history_log_sink.h"
#include "processing/share_lst.h"
#include "shell/station_links.h"
#include "history/history_reader.h"
#include "processing/event_table.h"
#include "support/history_rig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

// Ways out that take everything unless told otherwise, and remember it.
class FakeChannels final : public ForwardingChannels {
public:
    struct RsFrame {
        int rsLink, subscriber, code, subsystem, sector;
        bool hex;
    };
    std::vector<RsFrame> rs;
    std::vector<std::pair<int, int>> polls; // slot, mode
    int rsResult = 0;
    int pollAnswer = 2;
    bool ready = true;
    std::map<int, int> kinds{{0, kKindOtr}, {1, kKindOng}, {7, kKindEthernetChannel}};
    FrameBuffer buffer;

    int sendRsFrame(int rsLink, uint16_t subscriber, bool hex, int code, int subsystem, int sector) override {
        rs.push_back({rsLink, subscriber, code, subsystem, sector, hex});
        return rsResult;
    }
    int sendRsTest(int rsLink, bool) override { return rsLink == 2 || rsLink == 3 ? 0 : -2; }
    int findPath(int kind, int) const override {
        for (const auto& [slot, k] : kinds)
            if (k == kind) return slot;
        return -1;
    }
    int pathKind(int slot) const override {
        auto it = kinds.find(slot);
        return it == kinds.end() ? -1 : it->second;
    }
    bool anyPath() const override { return !kinds.empty(); }
    bool pathReady(int) override { return ready; }
    int pollPath(int slot, int mode) override {
        polls.emplace_back(slot, mode);
        return pollAnswer;
    }
    int queueGprsBlock(int slot, uint8_t, int) override { return pollPath(slot, 2); }
    FrameBuffer& frame() override { return buffer; }
    void pauseMs(int) override {}
};

struct NoAdjuster final : ClockAdjuster {
    std::optional<std::string> moveBy(int64_t) override { return std::nullopt; }
};

class ForwardingRig : public test::HistoryRig {
public:
    ForwardingRig() {
        EXPECT_EQ(history.OpenHistory("logf"), kHistoryCurrent);
        std::memset(&config, 0, sizeof config);
        config.mode = 1;
        config.repeat_delay = 30;
        for (auto& b : config.bases) b.rsLink = 255;
        EventDef fire{};
        fire.code = 0x110;
        std::strcpy(fire.shortName, "POZAR");
        fire.classKind = 0x40 | 3;
        EventDef burglary{};
        burglary.code = 0x130;
        std::strcpy(burglary.shortName, "WLAM");
        burglary.classKind = 2;
        events.setRecords({fire, burglary});
        scheduler.setHandler(kSchedTest, [this](uint16_t key, uint8_t arg) {
            if (arg == kDelayedForwardArg) forwarder.delayedForward(key);
        });
    }
    ~ForwardingRig() { history.CloseHistory(); }

    AlarmRecord& raise(int subscriber, int code, int colour) {
        AlarmRecord a;
        a.subscriber = static_cast<int16_t>(subscriber);
        a.codeWord = codeWordOf(code, colour);
        a.origCodeWord = static_cast<uint16_t>(code);
        a.subsystem = 1;
        a.sector = 3;
        a.origSector = 3;
        a.path = 0;
        alarms.insert(a);
        return alarms[0];
    }
    Sbscrbr subscriber(uint16_t word1, uint16_t word2) {
        Sbscrbr s(db_);
        s.record.forw_flag1 = word1;
        s.record.forw_flag2 = word2;
        return s;
    }
    std::vector<HistoryEntry> logged(int kind) {
        std::vector<HistoryEntry> out;
        readHistoryFile(dir.file("logf"), [&](const HistoryEntry& e) {
            if (e.isSystem() && e.kindCode() == kind) out.push_back(e);
            return true;
        });
        return out;
    }
    std::string lastBox() const { return ui.boxes.empty() ? "" : ui.boxes.back().text; }
    void runFor(int seconds) {
        for (int i = 0; i < seconds * 10; ++i) {
            clock.advanceMs(100);
            scheduler.poll();
        }
    }

    ConfigBlock config{};
    EventTable events;
    Scheduler scheduler{DataDir(dir.path()), clock, messages, history};
    AlarmsList alarms{config, history};
    FakeChannels channels;
    AlarmForwarder forwarder{{config, alarms, scheduler, history, messages, events, channels}};

    // A subscriber only in memory: the words are all forwarding reads.
    struct NoIndexFailure final : IndexFailure {
        void indexFailed(const std::string&, const std::string&, int64_t) override {}
    };
    HistoryLogSink sink{history};
    IndexPageCache cache;
    NoIndexFailure indexFailure;
    SubscriberIndexes indexes{DataDir(dir.path()), cache, indexFailure, messages};
    SubscriberIndexLink indexLink{indexes};
    ShareLst shared{DataDir(dir.path()), messages};
    NoSupervisedPaths supervised;
    SubscriberDatabase db_{DataDir(dir.path()), messages, sink, config, {indexLink, shared, supervised}};
};

TEST(Forwarding, AWordOnTheRadioOfBaseThreeForwardsThereOnly) {
    ForwardingRig rig;
    rig.config.bases[2].radio = 0x05;
    AlarmRecord& a = rig.raise(1001, 0x130, 2);
    a.forward[2] = 0x20;
    AlarmRecord copy = a;
    (void)copy;
    EXPECT_EQ(rig.forwarder.forward(2, a, kSendAutomatic), kForwardTr);
    EXPECT_TRUE(rig.channels.rs.empty());
    ASSERT_EQ(rig.channels.polls.size(), 1u);
    EXPECT_EQ(rig.channels.polls[0], (std::pair<int, int>{0, 3})) << "the long radio block";
    EXPECT_EQ(rig.channels.buffer[160], 5) << "the base's radio address first";
    EXPECT_EQ(a.forward[2], 0x22);
    EXPECT_TRUE(rig.config.bases[2].flags & kBaseAwaitsTr);
    EXPECT_EQ(rig.config.bases[2].trSubscriber, 1001);
    EXPECT_EQ(rig.config.bases[2].trAlarm, a.id);
    EXPECT_TRUE(rig.scheduler.exists(1001, kSchedChkOrder, 0x22));
    EXPECT_TRUE(rig.ui.boxes.empty()) << "automatic forwards are silent";
}

TEST(Forwarding, TheRefusalsAndMessagesOfForward) {
    struct Case {
        const char* what;
        uint8_t state;
        int type;
        std::function<void(ConfigBlock&)> setUp;
        const char* message;
        int result;
    };
    const std::vector<Case> cases = {
        {"already sent", 0x01, kSendAutomatic, {}, "Ten alarm został już wcześniej przesłany!", 0},
        {"no RS link", 0x10, kSendAutomatic, {}, "Brak RS-a w bazie 1", 0},
        {"no radio address", 0x20, kSendAutomatic, {}, "Brak numeru radia w bazie 1", 0},
        {"no GSM number", 0x40, kSendAutomatic, {}, "Brak numeru tel. GSM w bazie 1", 0},
        {"TE waits", 0x80, kSendAutomatic,
         [](ConfigBlock& c) {
             c.bases[0].ethAddress[0] = 10;
             c.bases[0].flags |= kBaseAwaitsTe;
         },
         "Trwa czekiwanie na zakończenie poprzedniego przesłania", 0},
        {"bad type", 0x10, 6, {}, "Nieprawidłowy typ przesłania alarmu", -1},
    };
    for (const Case& c : cases) {
        ForwardingRig rig;
        if (c.setUp) c.setUp(rig.config);
        AlarmRecord& a = rig.raise(1001, 0x130, 2);
        a.forward[0] = c.state;
        EXPECT_EQ(rig.forwarder.forward(0, a, c.type), c.result) << c.what;
        EXPECT_NE(rig.lastBox().find(c.message), std::string::npos) << c.what << ": " << rig.lastBox();
        EXPECT_TRUE(rig.logged(kHistoryNotForwarded).empty()) << c.what;
    }
}

TEST(Forwarding, NoPathChosenAsksForRsAndAFailureIsToldAndLogged) {
    ForwardingRig rig;
    rig.config.bases[0].rsLink = 2;
    rig.channels.rsResult = -1;
    AlarmRecord& a = rig.raise(1001, 0x130, 2);
    rig.ui.answers.push_back(BoxAnswer::Yes);
    EXPECT_EQ(rig.forwarder.forward(0, a, kSendOnRequest), kForwardRs << 4);
    EXPECT_NE(rig.ui.boxes[0].text.find("Abonent nie ma zaznaczonego toru przesłania! Przesłać w RS?"), std::string::npos);
    EXPECT_NE(rig.lastBox().find("Alarm z 1001 nie został wysłany przez RS !"), std::string::npos) << rig.lastBox();
    const auto failed = rig.logged(kHistoryNotForwarded);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].kind >> 12, 1);
    EXPECT_EQ(failed[0].subscriber, 1001);
    EXPECT_EQ(failed[0].subsystem, 1) << "the base number";
    EXPECT_EQ(failed[0].code2, 2);
    // On request a success is told.
    rig.channels.rsResult = 0;
    rig.ui.answers.push_back(BoxAnswer::Yes);
    EXPECT_EQ(rig.forwarder.forward(0, a, kSendOnRequest), kForwardRs);
    EXPECT_NE(rig.lastBox().find("Alarm został wysłany w RS "), std::string::npos);
    EXPECT_EQ(rig.logged(kHistoryForwarded).size(), 1u);
}

TEST(Forwarding, TheSectorNoneGoesAsZeroWhileTheAlarmKeepsIt) {
    ForwardingRig rig;
    rig.config.bases[0].rsLink = 3;
    AlarmRecord& a = rig.raise(1001, 0x130, 2);
    a.sector = 4095;
    a.origSector = 4095;
    a.subsystem = 255;
    a.forward[0] = 0x10;
    EXPECT_EQ(rig.forwarder.forward(0, a, kSendAutomatic), kForwardRs);
    ASSERT_EQ(rig.channels.rs.size(), 1u);
    EXPECT_EQ(rig.channels.rs[0].rsLink, 3);
    EXPECT_EQ(rig.channels.rs[0].sector, 0);
    EXPECT_EQ(rig.channels.rs[0].subsystem, 0);
    EXPECT_EQ(rig.channels.rs[0].code, 0x130);
    EXPECT_EQ(a.sector, 4095);
    EXPECT_EQ(a.forward[0], 0x01) << "RS done, no longer requested";
}

TEST(Forwarding, ModeOneForwardsAlarmsOnlyModeTwoEveryReport) {
    ForwardingRig rig;
    rig.config.bases[0].rsLink = 2;
    // A plain report: not in the list (id 0), not added.
    AlarmRecord plain;
    plain.subscriber = 1001;
    plain.codeWord = 0x130;
    plain.forward[0] = 0x10; // as processing fills it from the word
    Sbscrbr modeOne = rig.subscriber(0x0111, 0);
    rig.forwarder.forwardNewAlarm(modeOne, plain, false);
    EXPECT_TRUE(rig.channels.rs.empty());
    Sbscrbr modeTwo = rig.subscriber(0x0112, 0);
    rig.forwarder.forwardNewAlarm(modeTwo, plain, false);
    EXPECT_EQ(rig.channels.rs.size(), 1u);
}

TEST(Forwarding, AFireGoesOnAfterTheDelayUnlessTakenInHand) {
    ForwardingRig rig;
    rig.config.bases[0].rsLink = 2;
    Sbscrbr manual = rig.subscriber(0x0110, 0);
    AlarmRecord& fire = rig.raise(1001, 0x110, 3);
    fire.forward[0] = 0x10;
    rig.forwarder.forwardNewAlarm(manual, fire, true);
    EXPECT_TRUE(fire.state() & AlarmRecord::kStateFireForwardPending);
    EXPECT_TRUE(rig.scheduler.exists(fire.id, kSchedTest, kDelayedForwardArg));
    rig.runFor(29);
    EXPECT_TRUE(rig.channels.rs.empty());
    rig.runFor(2);
    EXPECT_EQ(rig.channels.rs.size(), 1u);
    EXPECT_FALSE(rig.alarms[0].state() & AlarmRecord::kStateFireForwardPending);

    // A second fire the operator calls false before the delay.
    AlarmRecord& second = rig.raise(1002, 0x110, 3);
    second.forward[0] = 0x10;
    rig.forwarder.forwardNewAlarm(manual, second, true);
    rig.forwarder.cancelDelayed(second);
    rig.runFor(40);
    EXPECT_EQ(rig.channels.rs.size(), 1u);
    // A burglary in manual mode waits for the operator.
    AlarmRecord& burglary = rig.raise(1003, 0x130, 2);
    rig.forwarder.forwardNewAlarm(manual, burglary, true);
    EXPECT_FALSE(rig.scheduler.exists(burglary.id, kSchedTest, kDelayedForwardArg));
}

TEST(Forwarding, TheDescriptionButtonsAndAnAlarmAlreadyGone) {
    ForwardingRig rig;
    rig.config.bases[4].rsLink = 2;
    AlarmRecord& a = rig.raise(1001, 0x130, 2);
    a.forward[4] = 0x10;
    EXPECT_EQ(rig.forwarder.forwardNow(0, 3), 0) << "no second base";
    EXPECT_TRUE(rig.channels.rs.empty());
    EXPECT_EQ(rig.forwarder.forwardNow(0, 2), kForwardRs);
    EXPECT_EQ(rig.forwarder.forwardNow(5, 2), -1);
    EXPECT_NE(rig.lastBox().find("Alarm został już usunięty z listy alarmów i nie może być wysłany!"), std::string::npos);
}

TEST(Forwarding, GsmForwardOverGprsQueuesTheBlockForTheBase) {
    ForwardingRig rig;
    rig.channels.kinds = {{5, kKindGprs}};
    BaseEntry& b = rig.config.bases[1];
    b.gprsAddress[0] = 10;
    b.gprsAddress[3] = 7;
    b.gsmParam = 3;
    AlarmRecord& a = rig.raise(1234, 0x130, 2);
    a.forward[1] = 0x40;
    EXPECT_EQ(rig.forwarder.forward(1, a, kSendAutomatic), kForwardTg);
    const FrameBuffer& f = rig.channels.buffer;
    EXPECT_EQ(f[180], 17);
    EXPECT_EQ(f[181], 10);
    EXPECT_EQ(f[184], 7);
    EXPECT_EQ(f[185], kForwardBlockType);
    EXPECT_EQ(f[187], 0x12);
    EXPECT_EQ(f[188], 0x34);
    EXPECT_EQ(f[190], 0x13);
    EXPECT_EQ(f[191], 0x00);
    EXPECT_EQ(f[192], 0x03);
    EXPECT_EQ(f[195], 3);
    EXPECT_EQ(f[199], 1) << "the base's index";
    EXPECT_EQ(b.tgAlarm, a.id);
}

TEST(Forwarding, ADemonstrationIsNeverForwarded) {
    ForwardingRig rig;
    rig.config.bases[0].rsLink = 2;
    AlarmRecord& a = rig.raise(1001, 0x130, 2);
    a.origCodeWord |= AlarmRecord::kStateDemonstration << 12;
    a.forward[0] = 0x10;
    EXPECT_EQ(rig.forwarder.forward(0, a, kSendOnRequest), 0);
    EXPECT_TRUE(rig.channels.rs.empty());
}

TEST(ForwardingSupervisionDialog, BlockingAndFreeingTheRsTestOfLinkOne) {
    ForwardingRig rig;
    rig.config.base1_port = 3;
    rig.config.bases[0].rsLink = 2;
    NoAdjuster adjuster;
    int saves = 0;
    ForwardingSupervision s({rig.config, [&] { ++saves; return 0; }, rig.alarms, rig.scheduler, rig.history,
                             rig.messages, rig.clock, rig.forwarder, rig.channels, adjuster});
    s.startTests();
    EXPECT_TRUE(rig.scheduler.exists(0, kSchedTestForw, kTestPathRs));
    ASSERT_EQ(s.endReceptionTests(true, false, false), 0);
    EXPECT_FALSE(rig.scheduler.exists(0, kSchedTestForw, kTestPathRs));
    EXPECT_EQ(rig.config.options2 & kOpt2BlockBase1Test, kOpt2BlockBase1Test);
    ASSERT_EQ(rig.logged(kHistoryRsTestOff).size(), 1u);
    EXPECT_EQ(rig.logged(kHistoryRsTestOff)[0].subscriber, 1);
    EXPECT_EQ(saves, 1);
    // Freed: the test runs at once and schedules the next one.
    ASSERT_EQ(s.endReceptionTests(false, false, false), 0);
    EXPECT_EQ(rig.config.options2 & kOpt2BlockBase1Test, 0);
    EXPECT_TRUE(rig.scheduler.exists(0, kSchedTestForw, kTestPathRs));
    EXPECT_EQ(rig.logged(kHistoryRsTestOn).size(), 1u);
    EXPECT_EQ(saves, 2);
}

TEST(ForwardingSupervisionDialog, WithoutABaseOnLinkOneTheBlockAlwaysStays) {
    ForwardingRig rig;
    rig.config.base1_port = 3;
    NoAdjuster adjuster;
    ForwardingSupervision s({rig.config, [] { return 0; }, rig.alarms, rig.scheduler, rig.history, rig.messages,
                             rig.clock, rig.forwarder, rig.channels, adjuster});
    s.startTests();
    EXPECT_EQ(rig.config.options2 & kOpt2BlockBase1Test, kOpt2BlockBase1Test);
    s.endReceptionTests(false, false, false);
    EXPECT_EQ(rig.config.options2 & kOpt2BlockBase1Test, kOpt2BlockBase1Test);
}

TEST(ForwardingSupervisionDialog, AManualSendWithAnEmptySubscriberSendsSubscriberZero) {
    ForwardingRig rig;
    rig.config.base1_port = 3;
    rig.config.bases[0].rsLink = 2;
    NoAdjuster adjuster;
    ForwardingSupervision s({rig.config, [] { return 0; }, rig.alarms, rig.scheduler, rig.history, rig.messages,
                             rig.clock, rig.forwarder, rig.channels, adjuster});
    s.sendReceptionTest(0, 0, 0x130, 0);
    ASSERT_EQ(rig.channels.rs.size(), 1u);
    EXPECT_EQ(rig.channels.rs[0].subscriber, 0);
    EXPECT_EQ(rig.channels.rs[0].sector, 0) << "the received sector: the base takes codes unconverted";
    EXPECT_EQ(rig.logged(kHistoryTestForwarded).size(), 1u);
    // RS to a base without a serial link: nothing happens.
    s.sendReceptionTest(1, 5, 0x130, 0);
    EXPECT_EQ(rig.channels.rs.size(), 1u);
}

} // namespace
} // namespace k4
