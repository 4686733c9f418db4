#include "baselink/serial_ports.h"

#include "support/fake_serial_line.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

struct ListedPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {"/dev/a", "/dev/b", "/dev/c", "/dev/d", "/dev/e"}; }
};

struct SerialPortsTest : ::testing::Test {
    ListedPorts list;
    std::vector<test::FakeSerialLine*> lines;
    SerialPorts ports{list, [this] {
                          auto line = std::make_unique<test::FakeSerialLine>();
                          lines.push_back(line.get());
                          return line;
                      }};
    ConfigBlock config{};
    SerialPortsTest() {
        config.inter_port = 1;
        config.data_port = 2;
        config.base1_port = 3;
        config.base2_port = 4;
        config.base1_speed = 2400;
        config.base2_speed = 4800;
    }
    // "device@baud" of each port object, "-" when closed.
    std::vector<std::string> state() const {
        std::vector<std::string> out;
        for (auto* l : lines) out.push_back(l->opened ? l->openedDevice + "@" + std::to_string(l->openedBaud) : "-");
        return out;
    }
};

using State = std::vector<std::string>;

TEST_F(SerialPortsTest, EachModeOpensItsPorts) {
    struct Case { int mode; int led; State expected; };
    const std::vector<Case> cases = {
        {0, 0, {"/dev/a@9600", "/dev/b@9600", "-", "-"}},
        {0, 5, {"/dev/a@9600", "/dev/b@9600", "-", "/dev/e@4800"}},
        {1, 0, {"/dev/a@9600", "/dev/b@9600", "/dev/c@2400", "/dev/d@4800"}},
        {1, 5, {"/dev/a@9600", "/dev/b@9600", "/dev/c@2400", "/dev/e@4800"}},
        {2, 0, {"/dev/d@4800", "/dev/b@2400", "-", "-"}},
        {3, 0, {"/dev/a@9600", "/dev/b@9600", "/dev/c@2400", "-"}},
    };
    for (const auto& c : cases) {
        ConfigBlock b = config;
        b.mode = static_cast<int16_t>(c.mode);
        b.synopt_port = static_cast<int8_t>(c.led);
        ASSERT_EQ(ports.OpenSerialPorts(b), 0) << ports.lastError();
        EXPECT_EQ(state(), c.expected) << "mode " << c.mode << " led " << c.led;
        ports.CloseSerialPorts(b);
        EXPECT_EQ(state(), State(4, "-")) << "mode " << c.mode << " led " << c.led;
    }
}

TEST_F(SerialPortsTest, AnLedPortTakesTheSecondBasesPlaceInTheBlock) {
    config.mode = 0;
    config.synopt_port = 5;
    ASSERT_EQ(ports.OpenSerialPorts(config), 0);
    EXPECT_EQ(config.base2_port, 0);
}

TEST_F(SerialPortsTest, AnyPortThatFailsFailsTheWhole) {
    config.mode = 1;
    config.inter_port = 9; // no ninth port
    EXPECT_EQ(ports.OpenSerialPorts(config), -1);
    EXPECT_NE(ports.lastError().find("COM9"), std::string::npos);
    ports.CloseSerialPorts(config);
    EXPECT_EQ(state(), State(4, "-"));

    config.inter_port = 1;
    lines[kComPort2]->refuseOpen = true;
    EXPECT_EQ(ports.OpenSerialPorts(config), -1);
    config.mode = 7;
    EXPECT_EQ(ports.OpenSerialPorts(config), -1);
}

TEST_F(SerialPortsTest, LinkDelaysArriveFromTheConfiguration) {
    EXPECT_EQ(ports.pacingMs(), 5) << "until the configuration is read";
    ports.setLinkDelays(7, 2);
    EXPECT_EQ(ports.pacingMs(), 7);
    EXPECT_EQ(ports.recvDelay(), 2);
}

} // namespace
} // namespace k4
