#include "baselink/base_link.h"

#include "database/stamp.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

#include <map>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes chars(const std::string& text) { return {text.begin(), text.end()}; }
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct FixedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}; }
};

struct RecordedReports final : ReportProcessor {
    std::vector<Report> reports;
    int processReport(const Report& r) override {
        reports.push_back(r);
        return 0;
    }
};

struct RecordedHistory final : PreparedEntryLog {
    std::vector<std::pair<int, PreparedEntry>> entries;
    int logPreparedEntry(int kind, const PreparedEntry& entry) override {
        entries.emplace_back(kind, entry);
        return 0;
    }
};

struct PhoneBook final : PhoneOwnerLookup {
    std::map<std::string, int> owners;
    std::optional<int> ownerOfPhone(const std::string& phone) override {
        auto it = owners.find(phone);
        if (it == owners.end()) return std::nullopt;
        return it->second;
    }
};

// Keeps what it is given in memory; a test can make the disk fail.
struct RecordedIntake final : FrameIntake {
    bool storing = true;
    std::vector<std::vector<uint8_t>> taken;
    std::vector<int64_t> processedRecords;
    std::optional<IntakeTicket> take(IntakeChannel channel, int, std::span<const uint8_t> bytes) override {
        EXPECT_EQ(channel, IntakeChannel::BaseFrame);
        if (!storing) return std::nullopt;
        taken.emplace_back(bytes.begin(), bytes.end());
        return IntakeTicket{static_cast<int64_t>(taken.size()), 0};
    }
    void processed(const IntakeTicket& ticket) override { processedRecords.push_back(ticket.record); }
};

// The 0x13 record of a transmitter whose clock shows the given stamp.
Bytes stampRecord(Stamp stamp) {
    const LocalDateTime t = LocalFromStamp(stamp);
    char text[64];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", t.year - 2000, t.month, t.day, t.hour,
                  t.minute, t.second);
    return Bytes{0x13} + chars(text);
}

int32_t longOf(const PreparedEntry& e) {
    return static_cast<int32_t>(e[5] | e[6] << 8 | e[7] << 16 | uint32_t(e[8]) << 24);
}

struct BaseLinkTest : ::testing::Test {
    test::ManualClock clock{1'781'000'000};
    FixedPorts portList;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{portList, [this] {
                          auto line = std::make_unique<test::FakeSerialLine>(&clock);
                          lines.push_back(line.get());
                          return line;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    ConfigBlock config{};
    RecordedReports reports;
    RecordedHistory history;
    PhoneBook phones;
    RecordedIntake intake;
    BaseLink link{{ports, frame, trace, clock, messages, config, reports, history, phones, intake}};

    BaseLinkTest() {
        config.mode = 2;
        config.data_port = 1;
        config.base1_speed = 9600;
        trace.setEnabled(true);
        EXPECT_EQ(ports.OpenSerialPorts(config), 0);
    }
    test::FakeSerialLine& base() { return *lines[kComPort2]; }
    std::vector<std::string> traceLines() const {
        std::vector<std::string> out;
        for (int i = 0; i < trace.nextSlot(); ++i) out.push_back(trace.line(i));
        return out;
    }
};

const Bytes kAccepted{0x0A, 0x0D};
const Bytes kRefused{0x0E, 0x0D};

TEST_F(BaseLinkTest, LinkTestIsAcceptedAndReportsNothing) {
    base().send({0x0A, 0x00, 0x0D, 0x17});
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(base().written, kAccepted);
    EXPECT_TRUE(reports.reports.empty());
}

TEST_F(BaseLinkTest, ReportFrameBecomesOneReport) {
    base().send(test::baseFrame(Bytes{0x11} + chars("21234") + Bytes{0x14} + chars("13A01005")));
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(base().written, kAccepted);
    ASSERT_EQ(reports.reports.size(), 1u);
    const Report& r = reports.reports[0];
    EXPECT_EQ(r.subscriber, 1234);
    EXPECT_EQ(r.code, 0x13A);
    EXPECT_EQ(r.subsystem, 0x01);
    EXPECT_EQ(r.sector, 0x005);
    EXPECT_EQ(r.path, -8);
    EXPECT_EQ(r.flags, 0);
    EXPECT_EQ(r.sentTime, 0);
    EXPECT_FALSE(r.text.has_value());
}

TEST_F(BaseLinkTest, RecordDecoding) {
    struct Case { Bytes records; int subscriber, code, subsystem, sector; };
    const std::vector<Case> cases = {
        {Bytes{0x11} + chars("10123") + Bytes{0x15} + chars("130"), 123, 0x130, 255, 4095},
        {Bytes{0x12, 0x00, 0x01, 0x02, 0x03, 0x15, 0x01, 0x03, 0x0A}, 123, 0x13A, 255, 4095},
        {Bytes{0x12} + chars("12A4") + Bytes{0x14} + chars("30201005"), 0x12A4, 0x302, 0x01, 0x005},
        {Bytes{0x12} + chars("0042") + Bytes{0x17} + chars("99") + Bytes{0x15} + chars("E10"), 42, 0xE10, 255, 4095},
    };
    for (const auto& c : cases) {
        reports.reports.clear();
        base().send(test::baseFrame(c.records));
        EXPECT_EQ(link.PollBaseLink(), 0);
        ASSERT_EQ(reports.reports.size(), 1u);
        const Report& r = reports.reports[0];
        EXPECT_EQ(r.subscriber, c.subscriber);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.subsystem, c.subsystem);
        EXPECT_EQ(r.sector, c.sector);
    }
}

TEST_F(BaseLinkTest, FramesThatAreAnsweredButNotReported) {
    const std::vector<Bytes> frames = {
        // the filler frame of a transmitting centre's test
        Bytes{0x11} + chars("AAAAA") + Bytes{0x14} + chars("AAAAAAAA"),
        // an unknown record type
        Bytes{0x12} + chars("0001") + Bytes{0x16, 0x01, 0x02},
        // a record cut off by the end of the frame
        Bytes{0x12} + chars("0001") + Bytes{0x14} + chars("130"),
    };
    for (const auto& records : frames) {
        base().written.clear();
        base().send(test::baseFrame(records));
        link.PollBaseLink();
        EXPECT_EQ(base().written, kAccepted);
    }
    EXPECT_TRUE(reports.reports.empty());
}

TEST_F(BaseLinkTest, FillerFrameHasItsKnownBytes) {
    BaseLink::putFillerFrame(frame);
    EXPECT_EQ(test::baseFrame(Bytes{0x11} + chars("AAAAA") + Bytes{0x14} + chars("AAAAAAAA")),
              (Bytes{0x0A, 0x0F, 0x11, 0x41, 0x41, 0x41, 0x41, 0x41, 0x14, 0x41, 0x41, 0x41, 0x41, 0x41,
                     0x41, 0x41, 0x41, 0x0D, 0x98}));
}

TEST_F(BaseLinkTest, WrongChecksumIsRefusedAndTheNextFrameReadNormally) {
    base().send(test::baseFrame(Bytes{0x12} + chars("0001") + Bytes{0x15} + chars("130"), 1));
    base().send(test::baseFrame(Bytes{0x12} + chars("0002") + Bytes{0x15} + chars("130")));
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_EQ(base().written, kRefused);
    EXPECT_TRUE(reports.reports.empty());
    EXPECT_EQ(traceLines().back().rfind("odb -10 09 12 30 30 30 31 15 31 33 30 ", 0), 0u);
    base().written.clear();
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(base().written, kAccepted);
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(reports.reports[0].subscriber, 2);
}

TEST_F(BaseLinkTest, NoiseBeforeTheFrameIsSkippedAndTraced) {
    base().send({0x41, 0xFF});
    base().send({0x0A, 0x00, 0x0D, 0x17});
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(traceLines(), (std::vector<std::string>{"odbx 41", "odbx FF"}));
    trace.setEnabled(false);
    base().send({0x42, 0x0A, 0x00, 0x0D, 0x17});
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(trace.nextSlot(), 2) << "nothing is traced while tracing is off";
}

TEST_F(BaseLinkTest, ReadFailuresTable) {
    const int gap = test::FakeSerialLine::kGap;
    struct Case {
        std::vector<int> bytes;
        int writesBeforeFailure;
        int result;
        Bytes answer;
    };
    const std::vector<Case> cases = {
        {{gap}, -1, -1, {}},                                  // no length
        {{0x02, 0x12, gap, 0x30}, -1, -2, {}},                // a record byte late
        {{0x00, gap}, -1, -3, {}},                            // no terminator
        {{0x01, 0x12, 0x0C, 1, 2, 3}, -1, -4, {}},            // not CR; the burst is discarded
        {{0x00, 0x0D, gap}, -1, -5, {}},                      // no checksum
        {{0x00, 0x0D, 0x17}, 0, -6, {}},                      // acceptance cannot be written
        {{0x00, 0x0D, 0x17}, 1, -7, {0x0A}},
        {{0x00, 0x0D, 0x18}, 0, -8, {}},
        {{0x00, 0x0D, 0x18}, 1, -9, {0x0E}},
        {{0x00, 0x0D, 0x18}, -1, -10, {0x0E, 0x0D}},
        {{159}, -1, -11, {}},                                 // too long: nothing answered
    };
    for (const auto& c : cases) {
        base().input.assign(c.bytes.begin(), c.bytes.end());
        base().written.clear();
        base().failWritesAfter = c.writesBeforeFailure;
        EXPECT_EQ(link.ReadBaseFrame(kComPort2), c.result);
        EXPECT_EQ(base().written, c.answer) << c.result;
        if (c.result == -4) {
            EXPECT_TRUE(base().input.empty()) << "the rest of the burst is discarded";
        }
    }
    base().failWritesAfter = -1;
    EXPECT_TRUE(reports.reports.empty());
}

// A frame the disk cannot take is not accepted: the base hears nothing,
// keeps the report and repeats it; nothing of it is processed.
TEST_F(BaseLinkTest, FrameThatCannotBeStoredIsLeftUnansweredAndTheRepeatIsTaken) {
    const Bytes frame = test::baseFrame(Bytes{0x11} + chars("21234") + Bytes{0x14} + chars("13A01005"));
    intake.storing = false;
    base().send(frame);
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_TRUE(base().written.empty());
    EXPECT_TRUE(reports.reports.empty());
    EXPECT_TRUE(intake.processedRecords.empty());

    intake.storing = true;
    base().send(frame);
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(base().written, kAccepted);
    ASSERT_EQ(intake.taken.size(), 1u);
    EXPECT_EQ(intake.taken[0], Bytes(frame.begin() + 1, frame.end() - 2)) << "L and the records are stored";
    EXPECT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(intake.processedRecords, std::vector<int64_t>{1});
}

// Stored, but the answer could not be written: the base may have heard
// enough to delete the report, so it is processed all the same.
TEST_F(BaseLinkTest, StoredFrameWhoseAnswerFailedIsStillProcessed) {
    base().failWritesAfter = 1;
    base().send(test::baseFrame(Bytes{0x12} + chars("0042") + Bytes{0x15} + chars("130")));
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_EQ(base().written, Bytes{0x0A});
    EXPECT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(intake.processedRecords.size(), 1u);
    base().failWritesAfter = -1;
}

// A frame taken before a crash is processed at the next start as if it came
// then: the transmitter's clock is compared with the time it was received.
TEST_F(BaseLinkTest, StoredFrameIsCheckedAgainstItsReceiveTime) {
    const Stamp received = nowStamp(clock) - 3600;
    const Bytes frame = test::baseFrame(Bytes{0x10} + chars("600100200") + stampRecord(received - 30) +
                                        Bytes{0x12} + chars("0007") + Bytes{0x15} + chars("130"));
    phones.owners = {{"600100200", 7}};
    EXPECT_EQ(link.processStoredFrame(Bytes(frame.begin() + 1, frame.end() - 2), received), 0);
    EXPECT_TRUE(history.entries.empty()) << "30 s off when it came, not an hour";
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_EQ(reports.reports[0].subscriber, 7);
    EXPECT_TRUE(base().written.empty()) << "nothing is answered again";

    for (const Bytes& bad : {Bytes{}, Bytes{0x03, 0x15}, Bytes{0x01, 0x15, 0x30}}) {
        EXPECT_EQ(link.processStoredFrame(bad, received), 255);
    }
    EXPECT_EQ(reports.reports.size(), 1u);
}

TEST_F(BaseLinkTest, TooLongFrameLeavesItsBytesToTheNextHunt) {
    Bytes frame{0x0A, 159};
    for (int i = 0; i < 30; ++i) frame.push_back(0x30);
    base().send(frame);
    base().send({0x0A, 0x00, 0x0D, 0x17});
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_TRUE(base().written.empty());
    EXPECT_EQ(link.PollBaseLink(), 0);
    EXPECT_EQ(base().written, kAccepted);
}

TEST_F(BaseLinkTest, TwoReceivingBasesArePolledOnAlternateTicksFromComPort1) {
    ports.CloseSerialPorts(config);
    config.base2_port = 2;
    config.base2_speed = 4800;
    ASSERT_EQ(ports.OpenSerialPorts(config), 0);
    EXPECT_EQ(lines[kComPort1]->openedBaud, 4800);
    std::vector<int> polled;
    for (int tick = 0; tick < 4; ++tick) {
        link.PollBaseLink();
        polled.push_back(link.lastPort());
    }
    EXPECT_EQ(polled, (std::vector<int>{kComPort1, kComPort2, kComPort1, kComPort2}));
}

TEST_F(BaseLinkTest, LostPortIsReportedOncePerLoss) {
    base().connected = false;
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_EQ(link.PollBaseLink(), 255);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Blokada RS bazy odbiorczej - nieprawidłowy wpis w konfiguracji");
    base().connected = true;
    base().send({0x0A, 0x00, 0x0D, 0x17});
    EXPECT_EQ(link.PollBaseLink(), 0) << "polling resumes when the port is back";
    base().connected = false;
    link.PollBaseLink();
    EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(BaseLinkTest, SerialErrorWhileHuntingLocksTheLinkForTheRun) {
    base().errorOnNextRead = true;
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_TRUE(link.locked());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Blokada RS bazy odbiorczej - nieprawidłowy wpis w konfiguracji (po poprawie konieczne "
              "ponowne uruchomienie programu)");
    base().send({0x0A, 0x00, 0x0D, 0x17});
    EXPECT_EQ(link.PollBaseLink(), 255);
    EXPECT_FALSE(base().input.empty()) << "a locked link reads nothing";
}

TEST_F(BaseLinkTest, PhoneCheck) {
    phones.owners = {{"600100200", 7}, {"600100300", 8}};
    const Bytes subscriber7 = Bytes{0x12} + chars("0007") + Bytes{0x15} + chars("130");
    const Bytes stamp = stampRecord(nowStamp(clock));
    for (const auto& [phone, kind] : std::vector<std::pair<std::string, int>>{
             {"600100200", 0}, {"600100300", kHistoryPhoneOfOther}, {"511222333", kHistoryPhoneUnknown}}) {
        history.entries.clear();
        base().send(test::baseFrame(Bytes{0x10} + chars(phone) + stamp + subscriber7));
        EXPECT_EQ(link.PollBaseLink(), 0);
        if (kind == 0) {
            EXPECT_TRUE(history.entries.empty()) << phone;
        } else {
            ASSERT_EQ(history.entries.size(), 1u) << phone;
            EXPECT_EQ(history.entries[0].first, kind);
            EXPECT_EQ(longOf(history.entries[0].second), std::stol(phone));
            EXPECT_EQ(history.entries[0].second[4], 0x01);
            EXPECT_EQ(history.entries[0].second[12], 0);
            EXPECT_EQ(history.entries[0].second[13], 0);
        }
    }
    EXPECT_EQ(reports.reports.size(), 3u) << "every one of them is still reported";
}

TEST_F(BaseLinkTest, ClockCheckOfTheTransmitterStamp) {
    phones.owners = {{"600100200", 7}};
    auto frameSentAt = [&](int64_t offsetSeconds) {
        return test::baseFrame(Bytes{0x10} + chars("600100200") +
                               stampRecord(static_cast<Stamp>(nowStamp(clock) - offsetSeconds)) +
                               Bytes{0x12} + chars("0007") + Bytes{0x15} + chars("130"));
    };
    struct Case { int64_t offset; bool logged; int magnitude; uint8_t sign; };
    for (const Case c : {Case{90, false, 0, 0}, Case{-90, false, 0, 0}, Case{150, true, 2, 0},
                         Case{-150, true, 2, 0x4}, Case{5000 * 60, true, 5000 & 0xFFF, 0x1},
                         Case{-5000 * 60, true, 5000 & 0xFFF, 0x2}}) {
        history.entries.clear();
        base().send(frameSentAt(c.offset));
        EXPECT_EQ(link.PollBaseLink(), 0);
        if (!c.logged) {
            EXPECT_TRUE(history.entries.empty()) << c.offset;
            continue;
        }
        ASSERT_EQ(history.entries.size(), 1u) << c.offset;
        const auto& [kind, e] = history.entries[0];
        EXPECT_EQ(kind, kHistoryClockSkew);
        EXPECT_EQ(longOf(e), nowStamp(clock) - c.offset);
        EXPECT_EQ(e[12] | (e[13] & 0x0F) << 8, c.magnitude) << c.offset;
        EXPECT_EQ(e[11] >> 4, c.sign) << c.offset;
    }
}

TEST_F(BaseLinkTest, SendingAFrameAndItsAnswers) {
    const Bytes expected = test::baseFrame(Bytes{0x11} + chars("20042") + Bytes{0x14} + chars("13A01005"));
    struct Case { std::vector<int> answer; int result; };
    for (const Case& c : {Case{{0x0A, 0x0D}, 0}, Case{{0x0E, 0x0D}, -5}, Case{{0x0A, 0x0A}, -4},
                         Case{{}, 0xFFFF + 100}, Case{{0x33, 1, 2}, 0x33 + 100}}) {
        BaseLink::putForwardFrame(frame, 42, false, 0x13A, 1, 5);
        base().written.clear();
        base().send({0x55, 0x56}); // stale bytes are emptied before sending
        base().replyAfterWrites(expected.size(), c.answer);
        EXPECT_EQ(link.SendBaseFrame(kComPort2), c.result);
        EXPECT_EQ(base().written, expected);
        EXPECT_TRUE(base().input.empty());
    }
    BaseLink::putForwardFrame(frame, 0x12A4, true, 0xFFF, 0xAB, 0x123);
    base().written.clear();
    base().replyAfterWrites(19, {0x0A, 0x0D});
    EXPECT_EQ(link.SendBaseFrame(kComPort2), 0);
    EXPECT_EQ(base().written, test::baseFrame(Bytes{0x11} + chars("212A4") + Bytes{0x14} + chars("FFFAB123")));
}

TEST_F(BaseLinkTest, ForwardingGivesUpAfterThreeUnansweredAttempts) {
    BaseLink::putEmptyFrame(frame);
    EXPECT_EQ(link.ForwardFrame(kComPort2), -1);
    EXPECT_EQ(base().written.size(), 3u * 4u);
    EXPECT_EQ(traceLines(), (std::vector<std::string>(3, "forw. err. 10063 ")));
    base().written.clear();
    base().replyAfterWrites(4, {0x0E, 0x0D});
    base().replyAfterWrites(8, {0x0A, 0x0D});
    EXPECT_EQ(link.ForwardFrame(kComPort2), 0) << "refused once, then accepted";
    EXPECT_EQ(base().written, (Bytes{0x0A, 0x00, 0x0D, 0x17, 0x0A, 0x00, 0x0D, 0x17}));
}

TEST_F(BaseLinkTest, ModeZeroAndOneDoNotPollTheBaseLink) {
    for (int mode : {0, 1}) {
        config.mode = static_cast<int16_t>(mode);
        base().send({0x0A, 0x00, 0x0D, 0x17});
        EXPECT_EQ(link.PollBaseLink(), 255);
    }
    config.mode = 3;
    EXPECT_EQ(link.PollBaseLink(), 255) << "mode 3 without base 1 polls nothing";
}

} // namespace
} // namespace k4
