#include "config/config.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

namespace k4 {
namespace {

std::string imageOf(const ConfigBlock& b) { return {reinterpret_cast<const char*>(&b), sizeof b}; }

ConfigBlock sampleBlock() {
    ConfigBlock b{};
    b.mode = 1;
    b.inter_port = 1;
    b.data_port = 2;
    std::strcpy(b.town, "Radom");
    for (int i = 0; i < kBaseEntries; ++i) {
        b.bases[i].flags = 0x10;
        b.bases[i].rsLink = static_cast<uint8_t>(i);
        b.bases[i].teAlarm = static_cast<uint8_t>(0xE0 + i);
    }
    return b;
}

// A file of the previous generation: the general part and sixteen 35-byte
// entries, entry i marked by its first and last byte.
std::string previousGeneration() {
    std::string image(kConfigPreviousSize, '\0');
    ConfigBlock b = sampleBlock();
    std::memcpy(image.data(), &b, kConfigGeneralSize);
    for (int i = 0; i < kBaseEntries; ++i) {
        image[kConfigGeneralSize + 35 * i] = static_cast<char>(0x10 + i);     // flags
        image[kConfigGeneralSize + 35 * i + 34] = static_cast<char>(0x50 + i); // tgAlarm
    }
    return image;
}

TEST(Config, FullLoadTakesTheWholeBlock) {
    test::TempDir dir;
    dir.write("conf", imageOf(sampleBlock()));
    Config config{DataDir(dir.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);
    EXPECT_FALSE(config.loadedPreviousLayout());
    EXPECT_EQ(std::memcmp(&config.block(), imageOf(sampleBlock()).data(), kConfigSize), 0);
}

TEST(Config, GeneralLoadLeavesTheBaseTableAlone) {
    test::TempDir dir;
    dir.write("conf", imageOf(sampleBlock()));
    Config config{DataDir(dir.path())};
    config.block().bases[3].rsLink = 77;
    config.block().mode = 9;
    ASSERT_EQ(config.LoadConfig(0), 0);
    EXPECT_EQ(config.block().mode, 1);
    EXPECT_EQ(config.block().bases[3].rsLink, 77);
}

TEST(Config, MissingOrShortFileFailsAndChangesNothing) {
    struct Case { const char* name; size_t size; int full; };
    for (const Case c : {Case{"missing", 0, 1}, Case{"short full", 978, 1},
                         Case{"short general", 418, 0}, Case{"empty", 0, 0}}) {
        test::TempDir dir;
        if (std::string(c.name) != "missing") dir.write("conf", std::string(c.size, '\x01'));
        Config config{DataDir(dir.path())};
        config.block().mode = 3;
        EXPECT_EQ(config.LoadConfig(c.full), -1) << c.name;
        EXPECT_EQ(config.block().mode, 3) << c.name;
        EXPECT_FALSE(config.lastError().empty()) << c.name;
        EXPECT_EQ(dir.read("conf").size(), c.size) << c.name;
    }
}

TEST(Config, PreviousGenerationMovesBaseEntriesTo43ByteSpacing) {
    test::TempDir dir;
    dir.write("conf", previousGeneration());
    Config config{DataDir(dir.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);
    EXPECT_TRUE(config.loadedPreviousLayout());
    EXPECT_EQ(config.block().mode, 1);
    EXPECT_STREQ(config.block().town, "Radom");
    for (int i = 0; i < kBaseEntries; ++i) {
        const BaseEntry& e = config.block().bases[i];
        EXPECT_EQ(e.flags, 0x10 + i);
        EXPECT_EQ(e.tgAlarm, 0x50 + i);
        // The Ethernet fields the old layout lacked start empty.
        EXPECT_EQ(e.ethAddress[0], 0);
        EXPECT_EQ(e.teAlarm, 0);
    }
    // Only the next full save writes the new size; a general save keeps 979.
    ASSERT_EQ(config.SaveConfig(0), 0);
    EXPECT_EQ(dir.read("conf").size(), kConfigPreviousSize);
    ASSERT_EQ(config.SaveConfig(1), 0);
    const std::string saved = dir.read("conf");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(static_cast<uint8_t>(saved[kConfigGeneralSize + 43 * 5]), 0x15);
    EXPECT_EQ(static_cast<uint8_t>(saved[kConfigGeneralSize + 43 * 5 + 34]), 0x55);
}

TEST(Config, GeneralSaveWritesOnlyTheGeneralPart) {
    test::TempDir dir;
    dir.write("conf", imageOf(sampleBlock()));
    Config config{DataDir(dir.path())};
    ASSERT_EQ(config.LoadConfig(1), 0);
    config.block().mode = 2;
    config.block().bases[0].rsLink = 99;
    ASSERT_EQ(config.SaveConfig(0), 0);
    ConfigBlock onDisk;
    const std::string saved = dir.read("conf");
    ASSERT_EQ(saved.size(), kConfigSize);
    std::memcpy(&onDisk, saved.data(), kConfigSize);
    EXPECT_EQ(onDisk.mode, 2);
    EXPECT_EQ(onDisk.bases[0].rsLink, 0);
    ASSERT_EQ(config.SaveConfig(1), 0);
    std::memcpy(&onDisk, dir.read("conf").data(), kConfigSize);
    EXPECT_EQ(onDisk.bases[0].rsLink, 99);
}

TEST(Config, SaveNeedsAnInstalledFileAndKeepsItsPermissions) {
    test::TempDir dir;
    Config config{DataDir(dir.path())};
    EXPECT_EQ(config.SaveConfig(1), -1);
    struct stat st {};
    EXPECT_NE(::stat(dir.file("conf").c_str(), &st), 0) << "conf is never created by a save";

    dir.write("conf", imageOf(sampleBlock()));
    ::chmod(dir.file("conf").c_str(), 0600);
    ASSERT_EQ(config.SaveConfig(1), 0);
    ASSERT_EQ(::stat(dir.file("conf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(::stat(dir.file("conf.new").c_str(), &st), 0) << "no temporary file left behind";
}

} // namespace
} // namespace k4
