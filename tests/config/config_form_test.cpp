#include "config/config_form.h"

#include "baselink/path_types.h"
#include "config/config.h"
#include "config/start_config.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <cstddef>
#include <cstring>
#include <functional>

namespace k4 {
namespace {

class FakeSerial final : public SerialStartStep {
public:
    std::function<int(const ConfigBlock&)> open = [](const ConfigBlock&) { return 0; };
    int opened = 0, closed = 0;
    int sendDelay = -1, recvDelay = -1;
    int openSerialPorts(ConfigBlock& b) override {
        ++opened;
        return open(b);
    }
    void closeSerialPorts(const ConfigBlock&) override { ++closed; }
    void setLinkDelays(int send, int recv) override { sendDelay = send; recvDelay = recv; }
};

ConfigBlock sample(const std::string& dir) {
    ConfigBlock b{};
    std::strncpy(b.base_dir, dir.c_str(), sizeof b.base_dir - 1);
    b.mode = 0;
    b.inter_port = 1;
    b.data_port = 2;
    b.base1_port = 3;
    b.base2_port = 4;
    b.base1_speed = 9600;
    b.base2_speed = 2400;
    b.send_delay = 5;
    b.recv_delay = 3;
    b.no_line_delay = 15;
    b.repeat_delay = 60;
    b.periods = {4, 2, 12, 6, 11, 7, 5, 3};
    for (auto& t : b.tones) t[0] = 50;
    std::strcpy(b.town, "Lodz");
    return b;
}

// The offsets where two blocks differ.
std::vector<size_t> differences(const ConfigBlock& a, const ConfigBlock& b) {
    std::vector<size_t> out;
    const auto* x = reinterpret_cast<const uint8_t*>(&a);
    const auto* y = reinterpret_cast<const uint8_t*>(&b);
    for (size_t i = 0; i < sizeof a; ++i)
        if (x[i] != y[i]) out.push_back(i);
    return out;
}

TEST(ConfigForm, EachControlChangesItsOwnBytes) {
    const ConfigBlock block = sample("/x");
    const auto at = [](size_t offset, size_t width) {
        std::vector<size_t> v;
        for (size_t i = 0; i < width; ++i) v.push_back(offset + i);
        return v;
    };
    const struct {
        const char* control;
        std::function<void(ConfigFormState&)> change;
        std::vector<size_t> bytes;
    } cases[] = {
        {"Port Interface", [](ConfigFormState& s) { s.interPort = 3; }, at(offsetof(ConfigBlock, inter_port), 1)},
        {"Port Danych", [](ConfigFormState& s) { s.dataPort = 0; }, at(offsetof(ConfigBlock, data_port), 1)},
        {"GSM", [](ConfigFormState& s) { s.gsm = true; }, at(offsetof(ConfigBlock, options), 1)},
        {"Konw. wewn.", [](ConfigFormState& s) { s.optionBox = true; }, at(offsetof(ConfigBlock, options), 1)},
        {"Zwłoka odb.", [](ConfigFormState& s) { s.recvDelay = "7"; }, at(offsetof(ConfigBlock, recv_delay), 1)},
        {"Zwłoka nad.", [](ConfigFormState& s) { s.sendDelay = "9"; }, at(offsetof(ConfigBlock, send_delay), 1)},
        {"Alarm br. linii", [](ConfigFormState& s) { s.noLineDelay = "300"; },
         at(offsetof(ConfigBlock, no_line_delay), 2)},
        {"Zwłoka pow.", [](ConfigFormState& s) { s.repeatDelay = "61"; }, at(offsetof(ConfigBlock, repeat_delay), 1)},
        {"town", [](ConfigFormState& s) { s.town = "Lodzia"; }, at(offsetof(ConfigBlock, town) + 4, 2)},
        {"Program odbiorczy", [](ConfigFormState& s) { s.recvIp = "10.0.0.2"; },
         std::vector<size_t>{offsetof(ConfigBlock, recv_ip), offsetof(ConfigBlock, recv_ip) + 3}},
        {"marker F", [](ConfigFormState& s) { s.recvMarkF = true; }, at(offsetof(ConfigBlock, recv_mark), 1)},
        {"Tab. synopt.", [](ConfigFormState& s) { s.synopt = true; s.base2 = 2; },
         // base 2 gives its port to the synoptic table and runs at 9600
         std::vector<size_t>{offsetof(ConfigBlock, base2_port), offsetof(ConfigBlock, base2_speed),
                             offsetof(ConfigBlock, base2_speed) + 1, offsetof(ConfigBlock, synopt_port)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        ConfigFormState s = ConfigFormState::fromBlock(block);
        ConfigBlock copy = block;
        s.applyTo(copy);
        EXPECT_TRUE(differences(copy, block).empty()) << "an untouched form changes nothing";
        c.change(s);
        s.applyTo(copy);
        EXPECT_EQ(differences(copy, block), c.bytes);
    }
}

TEST(ConfigForm, TabsOptionBoxSpeedsAndDelays) {
    ConfigBlock block = sample("/x");
    block.options = 0x80; // inner conversion on, AA test type off
    ConfigFormState s = ConfigFormState::fromBlock(block);
    EXPECT_TRUE(s.optionBox);
    EXPECT_EQ(s.speed1, 2);
    s.layOutTab(kTabSending, block);
    EXPECT_FALSE(s.optionBox);
    s.optionBox = true;
    ConfigBlock copy = block;
    s.applyTo(copy);
    EXPECT_EQ(copy.options, 0xC0);
    EXPECT_EQ(copy.mode, 1);
    s.layOutTab(kTabStdRecv, copy);
    EXPECT_TRUE(s.optionBox);
    s.optionBox = false;
    s.recvDelay = s.sendDelay = s.noLineDelay = s.repeatDelay = "";
    s.applyTo(copy);
    EXPECT_EQ(copy.options, 0x40);
    EXPECT_EQ(copy.recv_delay, 3);
    EXPECT_EQ(copy.send_delay, 5);
    EXPECT_EQ(copy.no_line_delay, 15);
    EXPECT_EQ(copy.repeat_delay, 60);
    EXPECT_EQ(correctedRepeatDelay("300"), "60");
    EXPECT_EQ(correctedRepeatDelay("x"), "60");
    EXPECT_EQ(correctedRepeatDelay("255"), "255");
    EXPECT_EQ(ipToInt("192.168.001.020"), 0xC0A80114u);
    EXPECT_EQ(intToIp(0xC0A80114u), "192.168.1.20");
}

TEST(ConfigForm, MenusMasks) {
    const MenuChecks menus = {{false, true, false, true}, {false, false}, {true}};
    const std::array<uint8_t, 12> expected = {0, 1, 0, 0, 0, 0, 0x05, 0x03, 0x00, 0, 0, 0};
    EXPECT_EQ(menusBytes(menus), expected);
    test::TempDir dir;
    ASSERT_TRUE(writeMenus(DataDir(dir.path()), menus));
    EXPECT_EQ(dir.read("menus"), std::string(reinterpret_cast<const char*>(expected.data()), 12));
}

struct Applying : testing::Test {
    test::TempDir dir;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    FakeSerial serial;
    PathTypeTable pathTypes;
    Config config{DataDir(dir.path())};
    void SetUp() override {
        const ConfigBlock b = sample(DataDir(dir.path()).path());
        dir.write("conf", {reinterpret_cast<const char*>(&b), sizeof b});
        ASSERT_EQ(config.LoadConfig(1), 0);
    }
    ConfigBlock onDisk() const {
        ConfigBlock b;
        std::memcpy(&b, dir.read("conf").data(), sizeof b);
        return b;
    }
};

TEST_F(Applying, TownOnlySavesWithoutThePorts) {
    ConfigBlock copy = config.block();
    std::strcpy(copy.town, mz("Łódź").c_str());
    EXPECT_FALSE(applyWorkingCopy(config, copy, serial, pathTypes, messages));
    EXPECT_EQ(serial.opened + serial.closed, 0);
    EXPECT_EQ(Utf8FromMazovia(onDisk().town), "Łódź");
    EXPECT_EQ(serial.sendDelay, 5);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Applying, PortChangeRestartsThePorts) {
    ConfigBlock copy = config.block();
    copy.data_port = 4;
    EXPECT_TRUE(applyWorkingCopy(config, copy, serial, pathTypes, messages));
    EXPECT_EQ(serial.closed, 1);
    EXPECT_EQ(serial.opened, 1);
    EXPECT_EQ(onDisk().data_port, 4);
    EXPECT_EQ(config.block().data_port, 4);
}

TEST_F(Applying, PortsThatDoNotOpenBringTheOldSettingsBack) {
    serial.open = [](const ConfigBlock& b) { return b.data_port == 4 ? -1 : 0; };
    ConfigBlock copy = config.block();
    copy.data_port = 4;
    EXPECT_FALSE(applyWorkingCopy(config, copy, serial, pathTypes, messages));
    EXPECT_EQ(config.block().data_port, 2);
    EXPECT_EQ(onDisk().data_port, 2);
    EXPECT_EQ(serial.opened, 2) << "the old ports reopened";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Błąd konfiguracji RS");
}

// "conf" cannot be replaced (a directory stands in its place): the new
// ports are open all the same, so the caller must still rebuild its paths.
TEST_F(Applying, PortsRestartedButNotSavedStillCountAsARestart) {
    std::filesystem::remove(dir.file("conf"));
    std::filesystem::create_directory(dir.file("conf"));
    ConfigBlock copy = config.block();
    copy.data_port = 4;
    copy.send_delay = 7;
    EXPECT_TRUE(applyWorkingCopy(config, copy, serial, pathTypes, messages));
    EXPECT_EQ(config.block().data_port, 4) << "the new values stay in memory";
    EXPECT_EQ(serial.sendDelay, 7);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("zapisu konfiguracji. Konieczne ponowne uruchomienie programu"), std::string::npos)
        << ui.boxes[0].text;
}

TEST_F(Applying, AnUnchangedCopyDoesNothing) {
    const std::string before = dir.read("conf");
    EXPECT_FALSE(applyWorkingCopy(config, config.block(), serial, pathTypes, messages));
    EXPECT_EQ(dir.read("conf"), before);
    EXPECT_EQ(serial.sendDelay, -1);
}

} // namespace
} // namespace k4
