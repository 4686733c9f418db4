#include "baselink/module_bus.h"

#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

using Bytes = std::vector<uint8_t>;

struct ListedPorts final : SerialPortList {
    std::vector<std::string> names{"/dev/a", "/dev/b", "/dev/c"};
    std::vector<std::string> presentPorts() override { return names; }
};

struct ModuleBusTest : ::testing::Test {
    test::ManualClock clock;
    ListedPorts list;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{list, [this] {
                          auto line = std::make_unique<test::FakeSerialLine>(&clock);
                          lines.push_back(line.get());
                          return line;
                      }};
    FrameBuffer frame;
    TraceRing trace;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    ModuleBus bus{{ports, frame, trace, clock, messages}};

    ModuleBusTest() {
        ConfigBlock b{};
        b.inter_port = 1;
        b.data_port = 2;
        EXPECT_EQ(ports.OpenSerialPorts(b), 0);
        trace.setEnabled(true);
    }
    test::FakeSerialLine& interface() { return *lines[kComPort1]; }
    test::FakeSerialLine& data() { return *lines[kComPort2]; }
};

TEST_F(ModuleBusTest, SelectingASlot) {
    interface().send({0x03});
    EXPECT_EQ(bus.SelectModule(4), 0x03);
    EXPECT_EQ(interface().written, Bytes{5});
    EXPECT_EQ(bus.SelectModule(4), 0xFFFF) << "silent interface";
    EXPECT_EQ(bus.SelectModule(7), 1);
    interface().failWritesAfter = 0;
    EXPECT_EQ(bus.SelectModule(0), 0xFFFF);
}

TEST_F(ModuleBusTest, CheckingAModuleOfAType) {
    interface().send({0x01});
    data().send({0x55}); // stale input is cleared before the question
    data().replyAfterWrites(1, {0x70});
    EXPECT_EQ(bus.CheckModule(2, 0x70), 0);
    EXPECT_EQ(data().written, Bytes{0x00});

    interface().send({0x01});
    data().replyAfterWrites(2, {0x30, 0x31, 0x32});
    EXPECT_EQ(bus.CheckModule(2, 0x70), -1);
    EXPECT_EQ(trace.line(0), "diff 1: r:70 s:31");
    EXPECT_TRUE(data().input.empty());

    interface().send({0x01});
    EXPECT_EQ(bus.CheckModule(2, -1), 0) << "any type";
    interface().send({0x00});
    EXPECT_EQ(bus.CheckModule(2, -1), -1) << "bit 0 clear: nobody answers";
    EXPECT_EQ(bus.CheckModule(9, 0x70), 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ModuleBusTest, ABabblingSlotAsksForACheckOnlyOnceAtATime) {
    std::vector<int> babble(150, 0x00);
    interface().input.assign(babble.begin(), babble.end());
    int nested = -1;
    ui.whileShown = [&](const BoxRequest&) {
        if (nested < 0) {
            interface().input.assign(babble.begin(), babble.end());
            nested = bus.CheckModule(1, 0x10);
        }
    };
    EXPECT_EQ(bus.CheckModule(1, 0x10), -1);
    EXPECT_EQ(nested, -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Konieczne sprawdzenie pakietów");
}

TEST_F(ModuleBusTest, ReceivingBlocks) {
    struct Case { std::vector<int> bytes; int result; Bytes answer; };
    const std::vector<Case> cases = {
        {{1, 2, 3, 6, 0xCA}, 0, {0xCA}},
        {{1, 2, 3, 6, 0xFE}, 0x60, {0xCA}},
        {{1, 2, 3, 6}, 0x0F, {0xCA}},
        {{1, 2, 3, 7}, 0x40, {0xFE}},
        {{1, 2, 3}, 0x20, {}},
        {{1, 2}, 0x10, {}},
    };
    for (const auto& c : cases) {
        data().input.assign(c.bytes.begin(), c.bytes.end());
        data().written.clear();
        EXPECT_EQ(bus.ReceiveBlock(3), c.result);
        EXPECT_EQ(data().written, c.answer) << c.result;
    }
    // The refused block keeps both checksums after it for the trace.
    EXPECT_EQ(frame[0], 1);
    data().send({1, 2, 3, 7});
    bus.ReceiveBlock(3);
    EXPECT_EQ(frame[3], 7);
    EXPECT_EQ(frame[4], 6);
}

TEST_F(ModuleBusTest, ChunkedBlockFollowsItsFirstByte) {
    std::vector<int> block;
    for (int i = 0; i < 32; ++i) block.push_back(i == 0 ? 1 : i);
    int sum = 0;
    for (int b : block) sum += b;
    block.push_back(sum & 0xFF);
    block.push_back(0xCA);
    data().input.assign(block.begin(), block.end());
    EXPECT_EQ(bus.ReceiveChunkedBlock(), 0);
    EXPECT_EQ(frame[31], 31);
    EXPECT_EQ(frame[32], 0) << "two chunks only";

    std::vector<int> cut(16 + 5, 1); // the second chunk stops after five bytes
    data().input.assign(cut.begin(), cut.end());
    EXPECT_EQ(bus.ReceiveChunkedBlock(), 1 * 4096 + 5 * 256 + 0x10);

    // Even a first byte of 200 reads ten chunks at most.
    std::vector<int> many(160, 0xC8);
    data().input.assign(many.begin(), many.end());
    data().send({static_cast<int>((160 * 0xC8) & 0xFF), 0xCA});
    EXPECT_EQ(bus.ReceiveChunkedBlock(), 0);
}

TEST_F(ModuleBusTest, SendingBlocks) {
    frame[160] = 0x11;
    frame[161] = 0x22;
    data().replyAfterWrites(3, {0xCA});
    EXPECT_EQ(bus.SendBlockFrom160(2), 0);
    EXPECT_EQ(data().written, (Bytes{0x11, 0x22, 0x33}));
    data().replyAfterWrites(6, {0xFE});
    EXPECT_EQ(bus.SendBlockFrom160(2), 0x3FE);
    EXPECT_EQ(bus.SendBlockFrom160(2), 0x2FF);
    data().failWritesAfter = 1;
    EXPECT_EQ(bus.SendBlockFrom160(2), 0x101);
    data().failWritesAfter = 2;
    EXPECT_EQ(bus.SendBlockFrom160(2), 0x200);

    data().failWritesAfter = -1;
    data().written.clear();
    frame[180] = 5;
    data().replyAfterWrites(2, {0xCA});
    EXPECT_EQ(bus.SendBlockFrom180(1), 0);
    EXPECT_EQ(bus.SendBlockFrom180(1), 0x200);
    data().failWritesAfter = 0;
    EXPECT_EQ(bus.SendBlockFrom180(1), -1);

    data().failWritesAfter = -1;
    data().written.clear();
    const uint8_t counted[] = {3, 0x40, 0x41};
    data().replyAfterWrites(4, {0xCA});
    EXPECT_EQ(bus.SendCountedBlock(counted), 0);
    EXPECT_EQ(data().written, (Bytes{3, 0x40, 0x41, 0x84}));
}

TEST_F(ModuleBusTest, PortSearchFindsThePairAndSavesIt) {
    test::TempDir dir;
    ConfigBlock stored{};
    dir.write("conf", std::string(reinterpret_cast<const char*>(&stored), sizeof stored));
    Config config{DataDir(dir.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);

    // The modules sit behind interface /dev/c and data /dev/a, in slot 2.
    int selected = -1;
    interface().respond = [&](test::FakeSerialLine& line, uint8_t slot) {
        selected = slot - 1;
        line.send({line.openedDevice == "/dev/c" && selected == 2 ? 0x01 : 0x00});
    };
    data().respond = [&](test::FakeSerialLine& line, uint8_t) {
        if (interface().openedDevice == "/dev/c" && line.openedDevice == "/dev/a" && selected == 2)
            line.send({0x70});
    };
    EXPECT_EQ(bus.PortAutotest(config), 0);
    EXPECT_EQ(config.block().inter_port, 3);
    EXPECT_EQ(config.block().data_port, 1);
    ConfigBlock saved;
    std::memcpy(&saved, dir.read("conf").data(), sizeof saved);
    EXPECT_EQ(saved.inter_port, 3);
    EXPECT_EQ(saved.data_port, 1);
    EXPECT_TRUE(interface().opened);
    EXPECT_TRUE(data().opened);
    ASSERT_EQ(ui.waits.size(), 1u);
    EXPECT_EQ(ui.waits[0], "Trwa testowanie portów.");
    EXPECT_FALSE(ui.waitVisible);

    // With no modules anywhere no pair works and both ports end closed.
    interface().respond = [](test::FakeSerialLine& line, uint8_t) { line.send({0x00}); };
    data().respond = nullptr;
    EXPECT_EQ(bus.PortAutotest(config), -1);
    EXPECT_FALSE(interface().opened);
    EXPECT_FALSE(data().opened);
}

} // namespace
} // namespace k4
