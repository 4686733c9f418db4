// A file bigger than the removable medium goes on in parts, medium after
// medium, each but the last with its marker; the restore reads the parts
// back in order. The medium is a small file system of its own where the test
// may mount one, else a directory whose free space the test counts.
#include "maintenance/file_copy.h"

#include "maintenance_fixture.h"
#include "support/small_tmpfs.h"

#include <memory>

namespace k4 {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kMediumBytes = 64 * 1024;

struct Medium {
    std::unique_ptr<test::SmallTmpfs> tmpfs;
    test::TempDir plain;
    std::string path;

    explicit Medium(test::FakeVolumes& volumes) {
        tmpfs = std::make_unique<test::SmallTmpfs>(kMediumBytes);
        if (tmpfs->mounted()) {
            path = tmpfs->path();
        } else {
            path = plain.path();
            volumes.capacity = kMediumBytes;
        }
        volumes.removableDir = path;
    }
    // The operator takes the medium out: what it holds goes to its shelf.
    std::map<std::string, std::string> takeOut() {
        auto files = test::readFiles(path);
        for (const auto& [name, bytes] : files) fs::remove(path + "/" + name);
        return files;
    }
    void putIn(const std::map<std::string, std::string>& files) {
        takeOut();
        test::writeFiles(path, files);
    }
};

TEST(MultiPartCopy, AFileBiggerThanTheMediumGoesInPartsAndComesBackWhole) {
    test::BackupRig rig;
    Medium medium(rig.volumes);
    const std::string original = test::randomBytes(150000, 11);
    test::writeFile(rig.data.file("dane"), original);
    FileCopier& copier = rig.backup.copier();

    std::vector<std::map<std::string, std::string>> shelf;
    rig.ui.whileShown = [&](const BoxRequest& box) {
        if (box.text == "Włóż kolejną dyskietkę.") shelf.push_back(medium.takeOut());
    };
    ASSERT_EQ(copier.CopyOut("dane", medium.path, rig.data.file("dane"), false), 0) << rig.shown();
    shelf.push_back(medium.takeOut());

    ASSERT_GE(shelf.size(), 3u);
    std::string joined;
    for (size_t n = 0; n < shelf.size(); ++n) {
        const bool last = n + 1 == shelf.size();
        char marker[16];
        std::snprintf(marker, sizeof marker, "dane.r%02zu", n);
        EXPECT_EQ(shelf[n].count(marker), last ? 0u : 1u) << "medium " << n;
        EXPECT_EQ(shelf[n].size(), last ? 1u : 2u) << "medium " << n;
        if (!last) EXPECT_EQ(shelf[n].at(marker), "");
        joined += shelf[n].at("dane");
    }
    EXPECT_EQ(joined, original);

    // Back, medium after medium as the copy asks for them.
    size_t next = 0;
    medium.putIn(shelf[next++]);
    rig.ui.boxes.clear();
    rig.ui.whileShown = [&](const BoxRequest& box) {
        if (box.text == "Włóż kolejną dyskietkę." && next < shelf.size()) medium.putIn(shelf[next++]);
    };
    ASSERT_EQ(copier.CopyIn(rig.elsewhere.file("dane"), "dane", medium.path), 0) << rig.shown();
    EXPECT_EQ(next, shelf.size());
    EXPECT_EQ(test::readFile(rig.elsewhere.file("dane")), original);
}

TEST(MultiPartCopy, TheSameMediumLeftInIsNotTakenForTheNextPart) {
    test::BackupRig rig;
    Medium medium(rig.volumes);
    test::writeFile(rig.data.file("dane"), test::randomBytes(100000, 12));
    FileCopier& copier = rig.backup.copier();
    std::vector<std::map<std::string, std::string>> shelf;
    rig.ui.whileShown = [&](const BoxRequest& box) {
        if (box.text == "Włóż kolejną dyskietkę.") shelf.push_back(medium.takeOut());
    };
    ASSERT_EQ(copier.CopyOut("dane", medium.path, rig.data.file("dane"), false), 0) << rig.shown();
    medium.putIn(shelf.front());
    rig.ui.boxes.clear();
    rig.ui.whileShown = nullptr; // the operator never changes it
    EXPECT_EQ(copier.CopyIn(rig.elsewhere.file("dane"), "dane", medium.path), -1);
    EXPECT_NE(rig.shown().find("Dyskietka nie zawiera kolejnej części kopiowanego pliku"), std::string::npos);
}

TEST(MultiPartCopy, AnAutomaticCopyIsNotSplitAndAFixedDiskRefusesTheFile) {
    for (bool removable : {true, false}) {
        test::BackupRig rig;
        Medium medium(rig.volumes);
        if (!removable) rig.volumes.removableDir.clear();
        test::writeFile(rig.data.file("dane"), test::randomBytes(100000, 13));
        const bool silent = removable; // nobody there to change the medium
        EXPECT_EQ(rig.backup.copier().CopyOut("dane", medium.path, rig.data.file("dane"), silent), -1);
        EXPECT_TRUE(test::readFiles(medium.path).empty()) << "nothing half-written is left";
        EXPECT_NE(rig.shown().find("Ilość dostępnego miejsca wynosi"), std::string::npos) << rig.shown();
        EXPECT_NE(rig.shown().find("Kopiowanie zostaje porzucone."), std::string::npos);
    }
}

} // namespace
} // namespace k4

namespace k4 {
namespace {

// The inputs are served between the blocks of a copy; a report that changes
// the file meanwhile makes the copy start again, so the copy is of one state
// of the file, never half of two.
TEST(ServedCopy, AFileChangedBetweenBlocksIsCopiedAgainWhole) {
    test::BackupRig rig;
    const std::string first = test::randomBytes(5 * kCopyBlock + 100, 21);
    std::string second = first;
    second[10] = static_cast<char>(second[10] ^ 0x55); // a record near the start changes
    test::writeFile(rig.data.file("dane"), first);
    int polls = 0;
    rig.messages.setInputPoll([&] {
        if (++polls == 2) {
            std::fstream f(rig.data.file("dane"), std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(10);
            f.put(second[10]);
        }
    });
    rig.backup.setServingInputs(true);
    const std::string target = rig.elsewhere.file("kopia");
    fs::create_directories(target);
    ASSERT_EQ(rig.backup.copier().CopyOut("dane", target, rig.data.file("dane"), true), 0) << rig.shown();
    EXPECT_GT(polls, 5) << "served between the blocks, and again after the restart";
    EXPECT_EQ(test::readFile(target + "/dane"), second);
}

} // namespace
} // namespace k4
