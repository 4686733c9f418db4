#include "admin/admin_commands.h"
#include "admin/installation.h"

#include "config/config.h"
#include "config/start_config.h"
#include "baselink/path_types.h"
#include "database/codepage.h"
#include "operators/scramble.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace k4::admin {
namespace {

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun run(const Args& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = runAdmin(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(AdminInit, MakesAnInstallationTheStationCanStartOn) {
    test::TempDir tmp;
    const std::string dir = tmp.file("centrum");
    CommandRun r = run({"init", dir});
    ASSERT_EQ(r.status, 0) << r.err;

    Config config{DataDir(dir)};
    ASSERT_EQ(config.LoadConfig(1), 0);
    const ConfigBlock& b = config.block();
    EXPECT_EQ(b.mode, 0);
    EXPECT_EQ(b.inter_port, 1);
    EXPECT_EQ(b.data_port, 2);
    EXPECT_EQ(b.event_printer, 0);
    EXPECT_EQ(b.report_printer, 0);
    EXPECT_EQ(b.send_delay, 5);
    EXPECT_EQ(b.recv_delay, 3);
    EXPECT_EQ(b.no_line_delay, 15);
    EXPECT_EQ(b.repeat_delay, 60);
    EXPECT_EQ(b.periods.tk, 3);
    EXPECT_EQ(b.periods.tr, 10);
    EXPECT_EQ(unscrambledText(b.super_pass), kFreshSupervisorPassword);
    EXPECT_EQ(std::memcmp(b.tones[15], kDefaultToneProfile, kToneProfileSize), 0);
    EXPECT_STREQ(b.base_dir, DataDir(dir).path().c_str());

    // Its start changes nothing on disk: the directory and settings are its own.
    const std::string before = tmp.read("centrum/conf");
    struct Serial : SerialStartStep {
        int openSerialPorts(ConfigBlock&) override { return 0; }
        void closeSerialPorts(const ConfigBlock&) override {}
        void setLinkDelays(int, int) override {}
    } serial;
    PathTypeTable pathTypes;
    EXPECT_EQ(StartConfig(config, 1, serial, pathTypes), kStartConfigOk);
    EXPECT_EQ(tmp.read("centrum/conf"), before);

    const std::string steps = tmp.read("centrum/obsluga.txt");
    EXPECT_EQ(steps.substr(0, 3), "4\r\n");
    size_t lines = 0;
    for (size_t at = 0; (at = steps.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 9u);
}

TEST(AdminInit, RefusesAnExistingInstallationWithoutForce) {
    test::TempDir tmp;
    ASSERT_EQ(run({"init", tmp.path()}).status, 0);
    tmp.write("conf", "mine");
    CommandRun refused = run({"init", tmp.path()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos);
    EXPECT_EQ(tmp.read("conf"), "mine");
    EXPECT_EQ(run({"init", tmp.path(), "--force"}).status, 0);
    EXPECT_EQ(tmp.read("conf").size(), kConfigSize);
}

TEST(AdminConfShow, PrintsEveryFieldThenTheSystemParameters) {
    test::TempDir tmp;
    ASSERT_EQ(run({"init", tmp.path()}).status, 0);
    CommandRun r = run({"conf", "show", tmp.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* expected : {"mode = 0 (Standard)\n", "inter_port = 1\n", "repeat_delay = 60\n",
                                 "send_delay = 5\n", "no_line_delay = 15\n", "tones[0] = 54 1A 54 1A 54 1A 54\n",
                                 "bases[15] = flags 0x00", "BAZA ZWYKŁA (4.2.13)\n",
                                 "Port interface'u: COM1 9600\n", "Miejsce na dysku: "})
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected;

    CommandRun missing = run({"conf", "show", tmp.file("nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("conf"), std::string::npos);
}

TEST(AdminConfSet, SetsTheLineFieldsAndRefusesTheRestWhole) {
    test::TempDir tmp;
    ASSERT_EQ(run({"init", tmp.path()}).status, 0);
    CommandRun r =
        run({"conf", "set", "mode=2", "data_port=1", "base2_port=2", "options=0x04", "base2_speed=4800", tmp.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    Config config{DataDir(tmp.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);
    EXPECT_EQ(config.block().mode, 2);
    EXPECT_EQ(config.block().data_port, 1);
    EXPECT_EQ(config.block().base2_port, 2);
    EXPECT_EQ(config.block().options, 0x04);
    EXPECT_EQ(config.block().base2_speed, 4800);

    // One bad pair refuses the whole command: nothing is written.
    const std::string before = tmp.read("conf");
    for (const Args& bad : {Args{"conf", "set", "mode=4", tmp.path()}, Args{"conf", "set", "colour=1", tmp.path()},
                            Args{"conf", "set", "data_port=1", "mode=x", tmp.path()},
                            Args{"conf", "set", "mode", "data_port=1", tmp.path()},
                            // Only the speeds a base runs at, only COM1 to COM4.
                            Args{"conf", "set", "base1_speed=1234", tmp.path()},
                            Args{"conf", "set", "send_speed=19200", tmp.path()},
                            Args{"conf", "set", "data_port=0", tmp.path()},
                            Args{"conf", "set", "base2_port=5", tmp.path()}}) {
        EXPECT_EQ(run(bad).status, 2) << bad[2];
        EXPECT_EQ(tmp.read("conf"), before);
    }
    EXPECT_EQ(run({"conf", "set", "mode=1", tmp.file("nowhere")}).status, 1);
}

TEST(AdminConfBase, SetsAReceivingBaseAndRefusesImpossibleValues) {
    test::TempDir tmp;
    ASSERT_EQ(run({"init", tmp.path()}).status, 0);
    CommandRun r = run({"conf", "base", "2", "name=Centrum~2", "radio=13", "gsm=600100200", "gsm_ack=2", "rs=1",
                        "eth=192.168.1.20", "eth_ack=3", tmp.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    Config config{DataDir(tmp.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);
    const BaseEntry& e = config.block().bases[1];
    EXPECT_STREQ(e.name, "Centrum~2");
    EXPECT_EQ(e.radio, 0x13);
    EXPECT_STREQ(e.gsmNumber, "600100200");
    EXPECT_EQ(e.gsmParam, 2);
    EXPECT_EQ(e.rsLink, 2);
    EXPECT_EQ(e.ethAddress[0], 192);
    EXPECT_EQ(e.ethAddress[3], 20);
    EXPECT_EQ(e.ethParam, 3);
    const std::string before = tmp.read("conf");
    for (const Args& bad : {Args{"conf", "base", "17", "radio=12", tmp.path()},
                            Args{"conf", "base", "1", "rs=7", tmp.path()},
                            Args{"conf", "base", "1", "radio=1x", tmp.path()},
                            Args{"conf", "base", "1", "eth=300.1.1.1", tmp.path()},
                            Args{"conf", "base", "1", "gsm_ack=9", tmp.path()},
                            Args{"conf", "base", "1", "colour=1", tmp.path()}}) {
        EXPECT_EQ(run(bad).status, 2) << bad[3];
        EXPECT_EQ(tmp.read("conf"), before);
    }
}

TEST(AdminConvert, ConvertsBetweenAnyTwoPages) {
    const std::string cp852 = "\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE\r\n";
    const std::string iso = "\xA1\xC6\xCA\xA3\xD1\xD3\xA6\xAC\xAF\xB1\xE6\xEA\xB3\xF1\xF3\xB6\xBC\xBF\r\n";
    CommandRun r = run({"convert", "--from", "1", "--to", "2"}, cp852);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, iso);
    EXPECT_EQ(run({"convert", "--from", "2", "--to", "3"}, iso).out, "ACELNOSZZacelnoszz\r\n");

    test::TempDir tmp;
    tmp.write("lista.txt", std::string("a\0\xA4", 3));
    EXPECT_EQ(run({"convert", "--from", "1", "--to", "0", tmp.file("lista.txt")}).out,
              std::string("a\0\x8F", 3));
    EXPECT_EQ(run({"convert", "--from", "5", "--to", "0"}).status, 2);
    EXPECT_EQ(run({"convert", "--to", "0"}).status, 2);
    EXPECT_EQ(run({"convert", "--from", "0", "--to", "4", tmp.file("brak")}).status, 1);
}

TEST(Admin, EveryCommandAnswersHelp) {
    for (const Args& args : {Args{"--help"}, Args{"init", "--help"}, Args{"conf", "show", "--help"},
                             Args{"convert", "--help"}}) {
        CommandRun r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("kestrel4-admin"), std::string::npos);
    }
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"nonsense"}).status, 2);
}

} // namespace
} // namespace k4::admin
