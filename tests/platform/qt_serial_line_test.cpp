#include "platform/qt_serial_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace k4 {
namespace {

// A pseudo-terminal pair: the station opens the slave as its port, the test
// plays the device on the master.
struct PtyPair {
    int master = -1;
    int slave = -1;
    std::string slaveName;
    PtyPair() {
        char name[128] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) slaveName = name;
    }
    ~PtyPair() {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }
    void write(std::initializer_list<uint8_t> bytes) const {
        for (uint8_t b : bytes) ASSERT_EQ(::write(master, &b, 1), 1);
    }
    std::string readAvailable() const {
        std::string out;
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        char buffer[64];
        for (int tries = 0; tries < 50; ++tries) {
            ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) out.append(buffer, static_cast<size_t>(n));
            else if (!out.empty()) break;
            else ::usleep(10000);
        }
        return out;
    }
};

TEST(QtSerialLine, ReadsAndWritesBytesOnAPseudoTerminal) {
    PtyPair pty;
    ASSERT_FALSE(pty.slaveName.empty());
    QtSerialLine line;
    // Setting the modem lines fails on a pseudo-terminal; the line opens all the same.
    ASSERT_TRUE(line.open(pty.slaveName, 9600)) << line.errorText();
    EXPECT_TRUE(line.isConnected());
    pty.write({0x0A, 0x00, 0x0D, 0x17});
    std::string got;
    for (int i = 0; i < 4; ++i) {
        auto b = line.readByte();
        ASSERT_TRUE(b.has_value());
        got += static_cast<char>(*b);
    }
    EXPECT_EQ(got, std::string("\x0A\x00\x0D\x17", 4));
    EXPECT_FALSE(line.readByte().has_value()) << "nothing more: the read gives up";
    EXPECT_TRUE(line.writeByte(0x0A));
    EXPECT_TRUE(line.writeByte(0x0D));
    EXPECT_EQ(pty.readAvailable(), "\x0A\x0D");
    pty.write({0x55, 0x56});
    ::usleep(20000);
    line.clearInput();
    EXPECT_FALSE(line.readByte().has_value());
    line.close();
    EXPECT_FALSE(line.isOpen());
}

TEST(QtSerialLine, DeviceThatGoesAwayIsNoLongerConnected) {
    PtyPair pty;
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.slaveName, 9600));
    // The far end hangs up, as a pulled USB adapter does.
    ::close(pty.master);
    pty.master = -1;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(line.readByte().has_value());
    EXPECT_FALSE(line.isConnected());
    EXPECT_FALSE(line.takeError()) << "a lost device is not an error of the line";
    EXPECT_FALSE(line.writeByte(0x0A));
}

TEST(QtSerialLine, LineComesBackWhenItsDeviceReturns) {
    char dir[] = "/tmp/k4pty-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/baza";
    auto first = std::make_unique<PtyPair>();
    ASSERT_EQ(::symlink(first->slaveName.c_str(), link.c_str()), 0);
    QtSerialLine line;
    ASSERT_TRUE(line.open(link, 9600));
    first.reset(); // the device goes away
    EXPECT_FALSE(line.readByte().has_value());
    EXPECT_FALSE(line.isConnected());
    PtyPair second; // and comes back under the same name
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(second.slaveName.c_str(), link.c_str()), 0);
    EXPECT_TRUE(line.isConnected());
    second.write({0x42});
    EXPECT_EQ(line.readByte(), std::optional<uint8_t>(0x42));
    ::unlink(link.c_str());
    ::rmdir(dir);
}

TEST(QtSerialLine, MissingDeviceDoesNotOpen) {
    QtSerialLine line;
    EXPECT_FALSE(line.open("/dev/k4-no-such-port", 9600));
    EXPECT_FALSE(line.errorText().empty());
    EXPECT_FALSE(line.isConnected());
    EXPECT_FALSE(line.readByte().has_value());
    EXPECT_FALSE(line.writeByte(1));
}

TEST(SystemSerialPortList, EnvironmentListIsTheListInItsOrder) {
    ::setenv("KESTREL4_SERIAL_PORTS", "/tmp/k4-b:/tmp/k4-a::/dev/ttyS9", 1);
    SystemSerialPortList list;
    EXPECT_EQ(list.presentPorts(), (std::vector<std::string>{"/tmp/k4-b", "/tmp/k4-a", "/dev/ttyS9"}));
    ::unsetenv("KESTREL4_SERIAL_PORTS");
    EXPECT_FALSE(SystemSerialPortList::fromEnvironment().has_value());
}

} // namespace
} // namespace k4
