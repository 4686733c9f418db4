#include "processing/process_report.h"

#include "processing_station.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::CallLog;
using test::kDialUpPath;
using test::kGprsPath;
using test::kGsmPath;
using test::kRadioLink;
using test::Logged;

constexpr int kNone = ReportProcessing::kNoFollowUp;

struct ProcessReport : ::testing::Test {
    test::ProcessingStation s;
};

TEST_F(ProcessReport, KnownSubscriberIsLoggedAndRaisedWithEveryField) {
    s.addSubscriber(1234);
    s.clock.advanceSeconds(5);
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath, 0, 777), kNone);

    const auto entries = s.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].time, nowStamp(s.clock));
    // Colour 4 above the report bits; path type 1 above the kind, base 2
    // above the code as received.
    EXPECT_EQ(s.logged(), (std::vector<Logged>{{0x40, 1234, 1, 0x0005, 0x1130, 0x2130}}));
    const uint32_t t = static_cast<uint32_t>(nowStamp(s.clock));
    const std::string bytes = {static_cast<char>(t), static_cast<char>(t >> 8), static_cast<char>(t >> 16),
                               static_cast<char>(t >> 24), '\x40', '\xD2', '\x04', '\x01', '\x05', '\x00',
                               '\x30', '\x11', '\x30', '\x21'};
    EXPECT_EQ(s.dir.read("logf").substr(kHistoryHeaderSize), bytes);

    ASSERT_EQ(s.alarms.count(), 1);
    const AlarmRecord& a = s.alarms[0];
    EXPECT_EQ(a.reserved, 0u);
    EXPECT_EQ(a.id, 1);
    EXPECT_EQ(a.time, static_cast<uint32_t>(static_cast<int32_t>(entries[0].time)));
    EXPECT_EQ(a.sentTime, 777u);
    EXPECT_EQ(a.subscriber, 1234);
    EXPECT_EQ(a.subsystem, 1);
    EXPECT_EQ(a.codeWord, 0x4130);
    EXPECT_EQ(a.sector, 5);
    EXPECT_EQ(a.path, kDialUpPath);
    EXPECT_EQ(a.flags, 0);
    EXPECT_EQ(a.service, 0);
    EXPECT_EQ(a.origCodeWord, 0x130);
    EXPECT_EQ(a.origSector, 5);
    EXPECT_EQ(a.forward, (std::array<uint8_t, 16>{}));
    EXPECT_EQ(s.calls, CallLog{}) << "no test, no arming event, not forwarding: nothing else is asked";
    EXPECT_EQ(s.stored(1234).alarm_opts.count, 1) << "the limiter counts even without a limit";
}

TEST_F(ProcessReport, UnknownSubscribersAreLoggedMarkedAndRaisedInClass15) {
    struct Case {
        const char* name;
        int subscriber, flags, path;
        bool linkReduced;
        Logged entry;
        int alarms;
        uint8_t alarmFlags;
    } const cases[] = {
        {"not in the index", 4321, 0, kDialUpPath, false, {0x00, 4321, 1, 0x1005, 0x1130, 0x2130}, 1, 0x10},
        // 0x12A4 is 4772, a stored subscriber: the channel's mark forbids the look-up.
        {"hex number, never looked up", 0x12A4, 1, kDialUpPath, false, {0x04, 0x12A4, 1, 0x1005, 0x1130, 0x2130}, 1,
         0x18},
        {"index points at another number's record", 5555, 0, kDialUpPath, false,
         {0x00, 5555, 1, 0x1005, 0x1130, 0x2130}, 1, 0x10},
        {"index points at a freed record", 5557, 0, kDialUpPath, false, {0x00, 5557, 1, 0x1005, 0x1130, 0x2130}, 1,
         0x10},
        {"radio link: logged only", 4321, 0, kRadioLink, false, {0x00, 4321, 1, 0x1005, 0x2130, 0x3130}, 0, 0},
        {"radio link with Link NA: raised", 4321, 0, kRadioLink, true, {0x00, 4321, 1, 0x1005, 0x2130, 0x3130}, 1,
         0x10},
        {"serial base link", 4321, 0, Report::kPathSerialBase, false, {0x00, 4321, 1, 0x1005, 0x7130, 0x0130}, 1,
         0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(4772);
        const int32_t other = st.addSubscriber(5556);
        // "numer" says 5555 lives where 5556's record is.
        ASSERT_EQ(st.indexes.AddSubscriberKeys({5555, other, "X", "", "", "", "", ""}, true), 0);
        // 5557 was deleted but its number stayed in "numer".
        const int32_t freed = st.addSubscriber(5557);
        ASSERT_EQ(st.db.file(DbFile::Dane).FreeRecord(freed), 0);
        if (c.linkReduced) st.config.options = kOptLinkReduced;

        EXPECT_EQ(st.process(c.subscriber, 1, 0x130, 5, c.path, c.flags), kNone);
        EXPECT_EQ(st.logged(), std::vector<Logged>{c.entry});
        ASSERT_EQ(st.alarms.count(), c.alarms);
        if (c.alarms) {
            EXPECT_EQ(st.alarms[0].flags, c.alarmFlags);
            EXPECT_EQ(st.alarms[0].colour(), 15);
            EXPECT_EQ(st.alarms[0].code(), 0x130);
        }
        EXPECT_EQ(st.calls, CallLog{});
        EXPECT_EQ(st.stored(5556).alarm_opts.count, 0) << "no subscriber is charged for it";
        AlarmOpts freedOpts{};
        ASSERT_EQ(st.db.file(DbFile::Dane).ReadPart(freed, &freedOpts, kAlarmOptsOffset, sizeof freedOpts), 0);
        EXPECT_EQ(freedOpts.count, 0) << "nor is a freed record written";
    }
}

TEST_F(ProcessReport, CounterEventOfUnknownSendersNamesNoSubscriber) {
    // What a module path sends when the crowd of unknown senders trips its
    // limiter: subscriber -1 with the unknown mark.
    EXPECT_EQ(s.process(-1, 255, test::kSpecial[kSpecialAlarmCounter], 4095, kDialUpPath, Report::kUnknownSubscriber),
              kNone);
    EXPECT_EQ(s.logged(), (std::vector<Logged>{{0x94, -1, 255, 0x0FFF, 0x1309, 0x2309}}));
    ASSERT_EQ(s.alarms.count(), 1);
    EXPECT_EQ(s.alarms[0].codeWord, 0x9309);
    EXPECT_EQ(s.alarms[0].flags, AlarmRecord::kHexSubscriber) << "shown in hex, not as an unknown subscriber";
    EXPECT_EQ(s.calls, CallLog{});
}

TEST_F(ProcessReport, OwnEventListTranslatesWithItsOverrides) {
    struct Case {
        const char* name;
        int mode, baseFlags, subsystem, code, sector;
        Logged entry;
        int alarmSubsystem;
        uint16_t alarmCode;
        int alarmSector;
        uint8_t alarmFlags;
    } const cases[] = {
        {"colour override", 0, 0, 1, 0x0E1, 5, {0x90, 1234, 1, 0x0005, 0x1130, 0x20E1}, 1, 0x9130, 5, 0},
        {"no-sector override: the entry keeps the received sector", 0, 0, 1, 0x0E2, 5,
         {0x40, 1234, 1, 0x0005, 0x1130, 0x20E2}, 1, 0x4130, 4095, 0},
        {"sector override gives subsystem 0 to a report without one", 0, 0, 255, 0x0E3, 3,
         {0x40, 1234, 0, 0x0011, 0x1130, 0x20E3}, 0, 0x4130, 17, 0},
        {"not in the list", 0, 0, 1, 0x131, 5, {0x00, 1234, 1, 0x2005, 0x1131, 0x2131}, 1, 0xF131, 5, 0x20},
        {"receiving centre takes codes as received", 2, 0, 1, 0x0E1, 5, {0x00, 1234, 1, 0x2005, 0x10E1, 0x20E1}, 1,
         0xF0E1, 5, 0x20},
        {"receiving centre told to translate", 2, kBaseEventConversion, 1, 0x0E1, 5,
         {0x90, 1234, 1, 0x0005, 0x1130, 0x20E1}, 1, 0x9130, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        const int32_t list = st.ownList({
            LUT_ENTRY::make(0x0E1, 0x130, 9, true),
            LUT_ENTRY::make(0x0E2, 0x130, 0, false, 4095, true),
            LUT_ENTRY::make(0x0E3, 0x130, 0, false, 17, true),
            LUT_ENTRY::make(0x130, 0x130),
        });
        st.addSubscriber(1234, [&](SubscriberRecord& r) {
            r.alarm_list = list;
            r.lines[0] = st.subsystem(0, {17});
        });
        st.config.mode = static_cast<int16_t>(c.mode);
        st.config.bases[0].flags = static_cast<uint8_t>(c.baseFlags);

        EXPECT_EQ(st.process(1234, c.subsystem, c.code, c.sector, kDialUpPath), kNone);
        EXPECT_EQ(st.logged(), std::vector<Logged>{c.entry});
        ASSERT_EQ(st.alarms.count(), 1);
        EXPECT_EQ(st.alarms[0].subsystem, c.alarmSubsystem);
        EXPECT_EQ(st.alarms[0].codeWord, c.alarmCode);
        EXPECT_EQ(st.alarms[0].sector, c.alarmSector);
        EXPECT_EQ(st.alarms[0].origCode(), c.code);
        EXPECT_EQ(st.alarms[0].origSector, c.sector);
        EXPECT_EQ(st.alarms[0].flags, c.alarmFlags);
    }
}

TEST_F(ProcessReport, UnreadableOwnListMakesEveryCodeUnknownAndSaysSo) {
    s.addSubscriber(1234, [](SubscriberRecord& r) { r.alarm_list = 999'999; });
    // The timer runs under the box: the next report of the subscriber is
    // processed meanwhile and does not stack a second box.
    int nested = 0;
    s.ui.whileShown = [&](const BoxRequest&) {
        if (nested++ == 0) s.process(1234, 1, 0x130, 5, kDialUpPath);
    };
    s.process(1234, 1, 0x130, 5, kDialUpPath);
    const Logged unknown{0x40, 1234, 1, 0x2005, 0x1130, 0x2130};
    EXPECT_EQ(s.logged(), (std::vector<Logged>{unknown, unknown}));
    ASSERT_EQ(s.alarms.count(), 2);
    EXPECT_EQ(s.alarms[0].codeWord, 0xF130);
    EXPECT_EQ(s.alarms[0].flags, AlarmRecord::kUnknownEvent);
    EXPECT_EQ(s.shown(), std::vector<std::string>{" Błąd  odczytu listy zdarzeń abonenta 1234"});
}

TEST_F(ProcessReport, HistoryFailureDoesNotStopTheAlarm) {
    s.addSubscriber(1234);
    s.history.CloseHistory();
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), kNone);
    ASSERT_EQ(s.alarms.count(), 1);
    EXPECT_EQ(s.alarms[0].time, static_cast<uint32_t>(nowStamp(s.clock)));
    EXPECT_EQ(s.shown(), std::vector<std::string>{" Błąd  zapisu historii zdarzeń"});
}

TEST_F(ProcessReport, BlockadesSilenceTheSubscriberOrItsAlarms) {
    struct Case {
        const char* name;
        int kind, subsystem, code;
        std::vector<Logged> entries;
        int alarmColour; // -1: no alarm
    } const cases[] = {
        {"subscriber blocked: nothing", kBlockSubscriber, 1, 0x130, {}, -1},
        {"alarms blocked: logged as blocked", kBlockAlarms, 1, 0x130, {{0x42, 1234, 1, 0x0005, 0x1130, 0x2130}}, -1},
        {"timed alarm blockade: the same", kBlockAlarms | kBlockTimed, 1, 0x130,
         {{0x42, 1234, 1, 0x0005, 0x1130, 0x2130}}, -1},
        {"alarms blocked, unknown event: not marked, not raised", kBlockAlarms, 1, 0x131,
         {{0x00, 1234, 1, 0x2005, 0x1131, 0x2131}}, -1},
        {"alarms blocked, last report: still class 15", kBlockAlarms, 91, 0x130,
         {{0x4A, 1234, 91, 0x0005, 0x1130, 0x2130}}, 15},
        {"incomplete reports blocked: an ordinary alarm", kBlockIncomplete, 1, 0x130,
         {{0x40, 1234, 1, 0x0005, 0x1130, 0x2130}}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234);
        ASSERT_EQ(st.blockades.add(1234, c.kind), 0);
        const size_t before = st.entries().size(); // the blockade's own entry

        EXPECT_EQ(st.process(1234, c.subsystem, c.code, 5, kDialUpPath), kNone);
        auto logged = st.logged();
        logged.erase(logged.begin(), logged.begin() + static_cast<std::ptrdiff_t>(before));
        EXPECT_EQ(logged, c.entries);
        ASSERT_EQ(st.alarms.count(), c.alarmColour < 0 ? 0 : 1);
        if (c.alarmColour >= 0) {
            EXPECT_EQ(st.alarms[0].colour(), c.alarmColour);
        }
        EXPECT_EQ(st.stored(1234).alarm_opts.count, 1) << "the limiter counts a blocked subscriber too";
    }
}

TEST_F(ProcessReport, BlockedSubscriberStillTripsItsLimiterAndTheCounterEventIsLogged) {
    s.addSubscriber(1234, [](SubscriberRecord& r) {
        r.alarm_opts.limit = 2;
        r.alarm_opts.hours = 1;
        r.test_type1 = kTestFromReport;
    });
    ASSERT_EQ(s.blockades.add(1234, kBlockSubscriber), 0);
    const size_t before = s.entries().size();

    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), kNone);
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), kNone);
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), 1234);
    EXPECT_EQ(s.entries().size(), before);
    EXPECT_EQ(s.alarms.count(), 0);

    // The follow-up every channel sends: no look-up, no limiter, no tests.
    EXPECT_EQ(s.process(1234, 255, test::kSpecial[kSpecialAlarmCounter], 4095, kDialUpPath), kNone);
    const auto logged = s.logged();
    ASSERT_EQ(logged.size(), before + 1);
    EXPECT_EQ(logged.back(), (Logged{0x90, 1234, 255, 0x0FFF, 0x1309, 0x2309}));
    ASSERT_EQ(s.alarms.count(), 1);
    EXPECT_EQ(s.alarms[0].codeWord, 0x9309);
    EXPECT_EQ(s.alarms[0].flags, 0) << "the counter event is not an unknown subscriber";
    EXPECT_EQ(s.calls, CallLog{});
    EXPECT_EQ(s.stored(1234).alarm_opts.count, 1);
}

TEST_F(ProcessReport, RateLimiterReturnsTheNumberOnTheReportAfterTheLimit) {
    s.addSubscriber(1234, [](SubscriberRecord& r) {
        r.alarm_opts.limit = 3;
        r.alarm_opts.hours = 1;
    });
    for (int report = 1; report <= 3; ++report) {
        EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), kNone);
        EXPECT_EQ(s.stored(1234).alarm_opts.count, report);
        s.clock.advanceSeconds(60);
    }
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), 1234) << "the 4th report within the hour";
    const uint32_t restarted = static_cast<uint32_t>(nowStamp(s.clock));
    EXPECT_EQ(s.stored(1234).alarm_opts.count, 1);
    EXPECT_EQ(s.stored(1234).alarm_opts.start, restarted);
    EXPECT_EQ(s.entries().size(), 4u) << "the report that trips it is processed as usual";

    s.clock.advanceSeconds(3600);
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), kNone);
    EXPECT_EQ(s.stored(1234).alarm_opts.count, 2) << "exactly one window later it still counts";
    s.clock.advanceSeconds(1);
    EXPECT_EQ(s.process(1234, 1, 0x130, 5, kDialUpPath), kNone);
    EXPECT_EQ(s.stored(1234).alarm_opts.count, 1) << "a second later the window starts again";
    EXPECT_EQ(s.stored(1234).alarm_opts.start, restarted + 3601);
}

TEST_F(ProcessReport, SubsystemAndSectorMarks) {
    struct Case {
        const char* name;
        int subsystem, code, sector;
        int flags;
        unsigned sectorWord;
        uint16_t alarmCode;
        CallLog calls;
    } const cases[] = {
        {"last report of subsystem 3", 93, 0x130, 5, 0x48, 0x0005, 0xF130, {}},
        {"last report of an unknown subsystem", 94, 0x130, 5, 0x48, 0x4005, 0xF130, {}},
        {"90 is the last report of subsystem 0", 90, 0x130, 5, 0x48, 0x4005, 0xF130, {}},
        {"unknown subsystem", 2, 0x130, 5, 0x40, 0x4005, 0x4130, {}},
        {"unknown sector", 1, 0x130, 6, 0x40, 0x8006, 0x4130, {}},
        {"sector out of range", 1, 0x130, 600, 0x40, 0x8258, 0x4130, {}},
        {"no sector", 1, 0x130, 4095, 0x40, 0x0FFF, 0x4130, {}},
        {"no subsystem", 255, 0x130, 4095, 0x40, 0x0FFF, 0x4130, {}},
        {"arming names a position, not a subsystem", 2, 0x401, 7, 0x20, 0x0007, 0x2401,
         {"updateArming -1 subscriber 1234 subsystem 2 sector 7", "checkTest -1 subscriber 1234 path 0"}},
        {"undefined code", 1, 0x555, 5, 0x00, 0x2005, 0xF555, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234, [&](SubscriberRecord& r) { r.lines[3] = st.subsystem(3, {5}); });

        EXPECT_EQ(st.process(1234, c.subsystem, c.code, c.sector, kDialUpPath), kNone);
        const auto logged = st.logged();
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(logged[0].flags, c.flags);
        EXPECT_EQ(logged[0].subsystem, c.subsystem) << "logged as received";
        EXPECT_EQ(logged[0].sector, c.sectorWord);
        ASSERT_EQ(st.alarms.count(), 1);
        EXPECT_EQ(st.alarms[0].codeWord, c.alarmCode);
        EXPECT_EQ(st.alarms[0].subsystem, c.subsystem);
        EXPECT_EQ(st.calls, c.calls);
    }
}

TEST_F(ProcessReport, CodeOutsideTwelveBitsIsOnlyLogged) {
    s.addSubscriber(1234, [](SubscriberRecord& r) { r.test_type1 = kTestFromReport; });
    s.config.mode = 1;
    EXPECT_EQ(s.process(1234, 1, 0x1130, 5, kDialUpPath), kNone);
    EXPECT_EQ(s.process(1234, 1, 0x1000 | test::kSpecial[kSpecialUserTest], 5, kDialUpPath), kNone);
    EXPECT_EQ(s.process(1234, 1, -1, 5, kDialUpPath), kNone);
    EXPECT_EQ(s.logged(), (std::vector<Logged>{{0x00, 1234, 1, 0x2005, 0x1130, 0x2130},
                                               {0x00, 1234, 1, 0x2005, 0x1603, 0x2603},
                                               {0x00, 1234, 1, 0x2005, 0x1FFF, 0x2FFF}}));
    EXPECT_EQ(s.alarms.count(), 0);
    EXPECT_EQ(s.calls, CallLog{}) << "no test, no user-test answer, no forwarding";
}

TEST_F(ProcessReport, RepeatWithinAMinuteIsDroppedFromTheListButForwardedAsNotAdded) {
    s.addSubscriber(1234, [](SubscriberRecord& r) { r.forw_flag1 = 0x0121; });
    s.config.options = kOptBlockRepeatedAlarms;
    s.config.mode = 1;
    s.process(1234, 1, 0x130, 5, kDialUpPath);
    s.clock.advanceSeconds(59);
    s.process(1234, 1, 0x130, 5, kDialUpPath);
    s.clock.advanceSeconds(1);
    s.process(1234, 1, 0x130, 5, kDialUpPath);

    EXPECT_EQ(s.entries().size(), 3u) << "the history holds every report";
    ASSERT_EQ(s.alarms.count(), 2);
    EXPECT_EQ(s.alarms[0].time - s.alarms[1].time, 60u);
    EXPECT_EQ(s.calls, (CallLog{"forward subscriber 1234 alarm 1 added 1", "forward subscriber 1234 alarm 0 added 0",
                                "forward subscriber 1234 alarm 2 added 1"}));
}

TEST_F(ProcessReport, DemonstrationReports) {
    const int32_t list = s.ownList({LUT_ENTRY::make(0x0E1, 0x130, 9, true)});
    s.addSubscriber(1234, [&](SubscriberRecord& r) {
        r.alarm_list = list;
        r.alarm_opts.limit = 1;
        r.alarm_opts.hours = 1;
        r.test_type1 = kTestFromReport;
        r.forw_flag1 = 0x0121;
    });
    s.config.mode = 1;

    EXPECT_EQ(s.process(1234, 1, 0, 5, kDialUpPath, Report::kDemonstration), kNone);
    EXPECT_TRUE(s.entries().empty()) << "code 0 shows nothing";

    for (int i = 0; i < 2; ++i) EXPECT_EQ(s.process(1234, 1, 0x0E1, 5, kDialUpPath, Report::kDemonstration), kNone);
    EXPECT_EQ(s.process(5002, 11, 0x130, 42, Report::kPathDemonstration, Report::kDemonstration), kNone);

    // Written under kind 0x45 with the translated code in code2 and the
    // system bit set; the unknown one from path -1 has path type 0.
    const Logged demo{0x91, 1234, 1, 0x0005, 0x1045, 0x2130};
    EXPECT_EQ(s.logged(), (std::vector<Logged>{demo, demo, {0x01, 5002, 11, 0x102A, 0x0045, 0x0130}}));
    ASSERT_EQ(s.alarms.count(), 3);
    EXPECT_EQ(s.alarms[2].codeWord, 0x9130);
    EXPECT_EQ(s.alarms[2].origCodeWord, 0x10E1) << "demonstration state above the received code";
    EXPECT_EQ(s.alarms[0].codeWord, 0xF130);
    EXPECT_EQ(s.alarms[0].origCodeWord, 0x1130);
    EXPECT_EQ(s.alarms[0].flags, AlarmRecord::kUnknownSubscriber);
    EXPECT_EQ(s.calls, CallLog{}) << "no tests, no arming, no forwarding";
    EXPECT_EQ(s.stored(1234).alarm_opts.count, 0) << "the limiter never sees a demonstration";
}

TEST_F(ProcessReport, LinkTestsOfARadioLinkRestartThePeriodicTest) {
    struct Case {
        int code;
        bool linkReduced;
        size_t entries;
        int counted;
    } const cases[] = {{0x1E0, false, 1, 1}, {0x9E0, false, 1, 1}, {0x1E0, true, 0, 0}, {0x9E0, true, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code << (c.linkReduced ? " Link NA" : ""));
        test::ProcessingStation st;
        st.addSubscriber(1234);
        if (c.linkReduced) st.config.options = kOptLinkReduced;
        EXPECT_EQ(st.process(1234, 255, c.code, 4095, kRadioLink), kNone);
        EXPECT_EQ(st.calls, CallLog{"checkTest 5 subscriber 1234 path 1"});
        ASSERT_EQ(st.entries().size(), c.entries);
        if (c.entries) {
            EXPECT_EQ(st.logged()[0].kind, 0x2000u | c.code);
        }
        EXPECT_EQ(st.stored(1234).alarm_opts.count, c.counted);
    }
}

TEST_F(ProcessReport, TestsAndArmingFollowTheReport) {
    struct Case {
        const char* name;
        uint8_t testType;
        int matched, code;
        CallLog calls;
    } const cases[] = {
        {"report restarts a T7 test; arming applied once", kTestFromReport, 1, 0x401,
         {"checkTest 0 subscriber 1234 path 0", "updateArming -1 subscriber 1234 subsystem 1 sector 5"}},
        {"T7 not matched: the arming event as usual", kTestFromReport, 0, 0x402,
         {"checkTest 0 subscriber 1234 path 0", "updateArming -2 subscriber 1234 subsystem 1 sector 5",
          "checkTest -2 subscriber 1234 path 0"}},
        {"a centre event is no sign of life", kTestFromReport, 1, 0x300, {}},
        {"periodic test", 0, 0, 0x602, {"checkTest 5 subscriber 1234 path 0"}},
        {"arming test", 0, 0, 0x606, {"checkTest 6 subscriber 1234 path 0"}},
        {"arming without T7", 0, 0, 0x401,
         {"updateArming -1 subscriber 1234 subsystem 1 sector 5", "checkTest -1 subscriber 1234 path 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234, [&](SubscriberRecord& r) { r.test_type2 = c.testType; });
        st.tests.result = c.matched;
        st.process(1234, 1, c.code, 5, kDialUpPath);
        EXPECT_EQ(st.calls, c.calls);
    }
}

TEST_F(ProcessReport, UserTestsAndProbeAnswersGoToTheirPaths) {
    struct Case {
        const char* name;
        int subscriber, special, path;
        CallLog calls;
    } const cases[] = {
        {"user test over a switched path is answered", 1234, kSpecialUserTest, kDialUpPath,
         {"order 3 subscriber 1234 path 3"}},
        {"user test over GSM is not", 1234, kSpecialUserTest, kGsmPath, {}},
        {"user test of an unknown subscriber is not", 4321, kSpecialUserTest, kDialUpPath, {}},
        {"probe answer", 1234, kSpecialProbeAnswer, kDialUpPath, {"probe answered path 3 subscriber 1234"}},
        {"probe answer of an unknown subscriber", 4321, kSpecialProbeAnswer, kGsmPath,
         {"probe answered path 4 subscriber 4321"}},
        {"probe answer from a local source", 1234, kSpecialProbeAnswer, Report::kPathSerialBase, {}},
        {"probe answer on an empty slot", 1234, kSpecialProbeAnswer, 12, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234);
        st.process(c.subscriber, 1, test::kSpecial[c.special], 5, c.path);
        EXPECT_EQ(st.calls, c.calls);
        EXPECT_EQ(st.entries().size(), 1u);
    }
}

TEST_F(ProcessReport, GsmPathFlagFollowsThePathOfGprsCapableSubscribers) {
    struct Case {
        const char* name;
        bool hasIp;
        uint8_t before;
        int path, code;
        uint8_t after;
    } const cases[] = {
        {"GSM with an address: set", true, 0x00, kGsmPath, 0x130, 0x80},
        {"GSM without an address: cleared", false, 0x81, kGsmPath, 0x130, 0x01},
        {"GPRS with an address: cleared", true, 0x83, kGprsPath, 0x130, 0x03},
        {"GPRS without an address: left", false, 0x80, kGprsPath, 0x130, 0x80},
        {"dial-up: left", true, 0x00, kDialUpPath, 0x130, 0x00},
        {"centre event over GSM: left", true, 0x00, kGsmPath, 0x300, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234, [&](SubscriberRecord& r) {
            r.ip = c.hasIp ? 0x0100A8C0 : 0x01000000; // only the first byte tells
            r.test_state = c.before;
            r.arm_state[3] = 0x5A;
        });
        st.process(1234, 1, c.code, 5, c.path);
        const SubscriberRecord r = st.stored(1234);
        EXPECT_EQ(r.test_state, c.after);
        EXPECT_EQ(r.arm_state[3], 0x5A) << "the rest of the state block is kept";
        EXPECT_TRUE(st.shown().empty());
    }
}

TEST_F(ProcessReport, ForwardingStateComesFromBothWordsOnlyInTheTransmittingMode) {
    struct Case {
        const char* name;
        int mode;
        uint16_t word1, word2;
        int path;
        std::array<uint8_t, 3> forward; // bases 1 to 3
        bool forwarded;
    } const cases[] = {
        {"base 3 on TR, second word off", 1, 0x0322, 0x0000, kDialUpPath, {0x00, 0x00, 0x20}, true},
        {"words out of range go to bases 1 and 2", 1, 0x0051, 0x11A2, kDialUpPath, {0x50, 0xA0, 0x00}, true},
        {"both words on one base", 1, 0x0311, 0x0341, kDialUpPath, {0x00, 0x00, 0x50}, true},
        {"a local source is not forwarded", 1, 0x0322, 0x0000, Report::kPathSerialBase, {0, 0, 0}, false},
        {"standard mode does not forward", 0, 0x0322, 0x0000, kDialUpPath, {0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ProcessingStation st;
        st.addSubscriber(1234, [&](SubscriberRecord& r) {
            r.forw_flag1 = c.word1;
            r.forw_flag2 = c.word2;
        });
        st.config.mode = static_cast<int16_t>(c.mode);
        st.process(1234, 1, 0x130, 5, c.path);
        ASSERT_EQ(st.alarms.count(), 1);
        for (size_t b = 0; b < 3; ++b) EXPECT_EQ(st.alarms[0].forward[b], c.forward[b]) << "base " << b + 1;
        ASSERT_EQ(st.forwarding.alarms.size(), c.forwarded ? 1u : 0u);
        if (c.forwarded) {
            EXPECT_EQ(st.calls, CallLog{"forward subscriber 1234 alarm 1 added 1"});
            EXPECT_EQ(st.forwarding.alarms[0].forward, st.alarms[0].forward);
        }
    }
}

TEST_F(ProcessReport, PlainReportIsForwardedAsNotAdded) {
    s.addSubscriber(1234, [](SubscriberRecord& r) { r.forw_flag1 = 0x0122; });
    s.config.mode = 1;
    s.process(1234, 1, test::kSpecial[kSpecialPeriodicTest], 5, kDialUpPath);
    EXPECT_EQ(s.alarms.count(), 0);
    EXPECT_EQ(s.calls, (CallLog{"checkTest 5 subscriber 1234 path 0", "forward subscriber 1234 alarm 0 added 0"}));
    ASSERT_EQ(s.forwarding.alarms.size(), 1u);
    EXPECT_EQ(s.forwarding.alarms[0].forward[0], 0x20);
}

TEST_F(ProcessReport, EachCallComesAtItsStep) {
    s.addSubscriber(1234, [](SubscriberRecord& r) {
        r.test_type1 = kTestFromReport;
        r.forw_flag1 = 0x0121;
    });
    s.config.mode = 1;
    s.recorder.moment = [this] {
        return test::format(" [entries %d, alarms %d]", static_cast<int>(s.entries().size()), s.alarms.count());
    };
    s.process(1234, 1, 0x401, 5, kDialUpPath, 0, 0, "T");
    s.process(1234, 1, test::kSpecial[kSpecialUserTest], 5, kDialUpPath);
    s.process(1234, 255, 0x1E0, 4095, kRadioLink);
    EXPECT_EQ(s.calls, (CallLog{
                           // state and tests after the entry, before the alarm
                           "checkTest 0 subscriber 1234 path 0 [entries 1, alarms 0]",
                           "updateArming -1 subscriber 1234 subsystem 1 sector 5 [entries 1, alarms 0]",
                           "checkTest -1 subscriber 1234 path 0 [entries 1, alarms 0]",
                           // the text and the forwarding know the alarm's identifier
                           "text path 3 \"T\" alarm 1 [entries 1, alarms 1]",
                           "forward subscriber 1234 alarm 1 added 1 [entries 1, alarms 1]",
                           // the answer to a user test follows its entry
                           "order 3 subscriber 1234 path 3 [entries 2, alarms 1]",
                           "checkTest 0 subscriber 1234 path 0 [entries 2, alarms 1]",
                           "forward subscriber 1234 alarm 0 added 0 [entries 2, alarms 1]",
                           // a link test restarts the test before anything is written
                           "checkTest 5 subscriber 1234 path 1 [entries 2, alarms 1]",
                           "checkTest 0 subscriber 1234 path 1 [entries 3, alarms 1]",
                           "forward subscriber 1234 alarm 0 added 0 [entries 3, alarms 1]",
                       }));
}

TEST_F(ProcessReport, AttachedTextWaitsInThePathsQueue) {
    s.addSubscriber(1234);
    s.process(1234, 1, 0x130, 5, kDialUpPath, 0, 0, "ALARM STREFA 5");
    ASSERT_EQ(s.alarms.count(), 1);
    EXPECT_EQ(s.alarms[0].flags, AlarmRecord::kTextToConfirm);
    EXPECT_EQ(s.calls, CallLog{"text path 3 \"ALARM STREFA 5\" alarm 1"});
    ASSERT_EQ(s.scheduler.count(), 1);
    EXPECT_EQ(s.scheduler.entry(0).type(), kSchedTestAck);
    EXPECT_EQ(s.scheduler.entry(0).key, kDialUpPath);
    EXPECT_EQ(s.scheduler.entry(0).arg(), 17);
    EXPECT_EQ(s.scheduler.headRemainingMs(), 30'000);

    // A text without a path to answer on is dropped; a full queue gets no timer.
    s.process(1234, 1, 0x130, 5, Report::kPathSerialBase, 0, 0, "X");
    EXPECT_EQ(s.alarms[0].flags, 0);
    s.texts.sequence = -1;
    s.process(1234, 1, 0x131, 5, kDialUpPath, 0, 0, "Y");
    EXPECT_EQ(s.scheduler.count(), 1);
    EXPECT_EQ(s.calls.back(), "text path 3 \"Y\" alarm 3");
}

} // namespace
} // namespace k4
