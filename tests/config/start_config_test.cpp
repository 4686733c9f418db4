#include "config/start_config.h"

#include "baselink/path_types.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

class FakeSerial final : public SerialStartStep {
public:
    int openResult = 0;
    int opened = 0, closed = 0;
    int sendDelay = -1, recvDelay = -1;
    int openSerialPorts(ConfigBlock&) override { ++opened; return openResult; }
    void closeSerialPorts(const ConfigBlock&) override { ++closed; }
    void setLinkDelays(int send, int recv) override { sendDelay = send; recvDelay = recv; }
};

ConfigBlock installed(const std::string& dir) {
    ConfigBlock b{};
    std::strncpy(b.base_dir, dir.c_str(), sizeof b.base_dir - 1);
    b.send_delay = 5;
    b.recv_delay = 3;
    b.periods = {4, 2, 12, 6, 11, 7, 5, 3};
    b.periods_irregular = 1;
    for (auto& t : b.tones) t[0] = 50;
    for (auto& base : b.bases) base.flags = 0x1E;
    return b;
}

ConfigBlock onDisk(const test::TempDir& dir) {
    ConfigBlock b;
    std::memcpy(&b, dir.read("conf").data(), sizeof b);
    return b;
}

struct StartConfigTest : ::testing::Test {
    test::TempDir dir;
    FakeSerial serial;
    PathTypeTable pathTypes;
    void install(const ConfigBlock& b) { dir.write("conf", {reinterpret_cast<const char*>(&b), sizeof b}); }
};

TEST_F(StartConfigTest, HandsSettingsOnAndClearsRunTimeFlags) {
    install(installed(DataDir(dir.path()).path()));
    const std::string before = dir.read("conf");
    Config config{DataDir(dir.path())};
    ASSERT_EQ(StartConfig(config, 1, serial, pathTypes), kStartConfigOk);
    EXPECT_EQ(serial.opened, 1);
    EXPECT_EQ(serial.sendDelay, 5);
    EXPECT_EQ(serial.recvDelay, 3);
    EXPECT_EQ(config.block().bases[7].flags, 0x10);
    // Dial-up and GSM periods are minutes in the file and seconds in the paths.
    EXPECT_EQ(pathTypes[kPathDialUp].probePeriod, 240);
    EXPECT_EQ(pathTypes[kPathDialUp].probeRetry, 120);
    EXPECT_EQ(pathTypes[kPathRadio].probePeriod, 12);
    EXPECT_EQ(pathTypes[kPathFixed].probeRetry, 7);
    EXPECT_EQ(pathTypes[kPathGsm].probePeriod, 300);
    EXPECT_EQ(pathTypes[kPathGsm].probeRetry, 180);
    EXPECT_TRUE(pathTypes[kPathEthernet].irregular);
    EXPECT_EQ(dir.read("conf"), before) << "a start that changes nothing writes nothing";
}

TEST_F(StartConfigTest, MovedInstallationTakesTheNewDirectory) {
    install(installed("/old/place"));
    Config config{DataDir(dir.path())};
    ASSERT_EQ(StartConfig(config, 1, serial, pathTypes), kStartConfigOk);
    EXPECT_STREQ(onDisk(dir).base_dir, DataDir(dir.path()).path().c_str());
}

TEST_F(StartConfigTest, SameDirectoryInOtherCaseIsTheSameInstallation) {
    std::string upper = DataDir(dir.path()).path();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    install(installed(upper));
    Config config{DataDir(dir.path())};
    ASSERT_EQ(StartConfig(config, 1, serial, pathTypes), kStartConfigOk);
    EXPECT_STREQ(onDisk(dir).base_dir, upper.c_str());
}

TEST_F(StartConfigTest, NoPeriodsStoresTheCurrentOnesAndNoTonesGetsDefaults) {
    ConfigBlock b = installed(DataDir(dir.path()).path());
    b.periods = {};
    b.tones[0][0] = 0;
    install(b);
    Config config{DataDir(dir.path())};
    ASSERT_EQ(StartConfig(config, 1, serial, pathTypes), kStartConfigOk);
    const ConfigBlock saved = onDisk(dir);
    EXPECT_EQ(saved.periods.tk, 3); // 180 s
    EXPECT_EQ(saved.periods.tkr, 2);
    EXPECT_EQ(saved.periods.tr, 10);
    EXPECT_EQ(saved.periods.tgr, 2);
    for (const auto& profile : saved.tones)
        EXPECT_EQ(std::memcmp(profile, kDefaultToneProfile, kToneProfileSize), 0);
}

TEST_F(StartConfigTest, FailuresGiveTheirCodes) {
    Config missing{DataDir(dir.path())};
    EXPECT_EQ(StartConfig(missing, 1, serial, pathTypes), kStartConfigFileFailed);
    EXPECT_EQ(serial.opened, 0);

    install(installed(DataDir(dir.path()).path()));
    serial.openResult = -1;
    Config config{DataDir(dir.path())};
    EXPECT_EQ(StartConfig(config, 1, serial, pathTypes), kStartConfigPortsFailed);
    EXPECT_EQ(serial.closed, 1) << "ports that did open are closed again";
    EXPECT_EQ(serial.sendDelay, -1);
}

} // namespace
} // namespace k4
