// Two stations over two data directories may run on one machine; what keeps
// them from sharing a serial line is that a line open in one is refused to
// every other opener, in this process or another, until it is closed.
#include "platform/qt_serial_line.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace k4 {
namespace {

TEST(QtSerialLine, AnOpenLineIsRefusedToEveryOtherOpener) {
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);

    QtSerialLine first;
    ASSERT_TRUE(first.open(name, 9600)) << first.errorText();
    QtSerialLine second;
    EXPECT_FALSE(second.open(name, 9600)) << "a second port object of this station";

    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // Another station's process.
        QtSerialLine theirs;
        ::_exit(theirs.open(name, 9600) ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "another process opened the line too";

    first.close();
    EXPECT_TRUE(second.open(name, 9600)) << "free again once closed: " << second.errorText();
    second.close();
    ::close(master);
    ::close(slave);
}

} // namespace
} // namespace k4
