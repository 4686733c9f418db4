// The life of a station process over its data directory: one station per
// directory, a failed start reported to the system as a failure, and no
// "loc_edit" left behind by any run that owned the directory.
#include "shell/station_process.h"

#include "platform/file.h"
#include "platform/single_instance.h"
#include "shell/headless_runner.h"
#include "shell/station.h"
#include "support/fake_serial_line.h"
#include "support/manual_clock.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

struct NoPorts final : SerialPortList {
    std::vector<std::string> presentPorts() override { return {}; }
};

TEST(StationProcess, AFailedStartEndsWithAFailureAndLeavesNoLocEdit) {
    test::TempDir dir; // no installation: the start fails at "conf"
    dir.write("loc_edit", ""); // left by a station that died in supervisor mode
    test::ScriptedOperatorUi ui;
    test::ManualClock clock;
    NoPorts ports;
    const int status = runAsOnlyStation(ui, DataDir(dir.path()), [&] {
        Station station({DataDir(dir.path()), ui, clock, ports, [] { return std::make_unique<test::FakeSerialLine>(); },
                         [](int) { FAIL() << "no fatal fault expected"; }});
        return runHeadless(station);
    });
    EXPECT_NE(status, 0) << "the system must see the start failed";
    EXPECT_FALSE(fileExists(dir.file("loc_edit")));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "\n\nNiepoprawna inicjalizacja programu\n");
}

TEST(StationProcess, ASecondStationOnTheDirectoryTouchesNothing) {
    test::TempDir dir;
    dir.write("loc_edit", ""); // the first station is in supervisor mode
    SingleInstance first(dir.file("Kestrel4.lock"));
    ASSERT_TRUE(first.acquire());
    test::ScriptedOperatorUi ui;
    bool ran = false;
    EXPECT_EQ(runAsOnlyStation(ui, DataDir(dir.path()), [&] {
                  ran = true;
                  return 0;
              }),
              1);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(fileExists(dir.file("loc_edit"))) << "the running station's mark stays";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Program został już uruchomiony!");
}

TEST(StationProcess, TheRunsStatusIsGivenBackAndLocEditGoesAfterAnyRun) {
    for (int status : {0, 1, 3}) {
        test::TempDir dir;
        dir.write("loc_edit", "");
        test::ScriptedOperatorUi ui;
        EXPECT_EQ(runAsOnlyStation(ui, DataDir(dir.path()), [&] { return status; }), status);
        EXPECT_FALSE(fileExists(dir.file("loc_edit"))) << "status " << status;
    }
}

} // namespace
} // namespace k4
