// Subsystems and sectors edited in place in "Podsystemy", with the records
// in "linie" and "sektory" read back from the files: a number moved to a
// free slot, a taken number refused, a change declined, a sector moved with
// its subsystem's array rewritten; and the whole life of a subsystem made,
// copied, edited and deleted.
#include "database/lines_list.h"
#include "database/record_file_audit.h"
#include "database/subsystem_editing.h"
#include "database/subsystem_in_place.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

using test::DatabaseTest;
using test::int32At;

int64_t inUse(const std::string& image, DbFile which) {
    const RecordFileDescriptor& d = descriptorOf(which);
    return AuditRecordImage(image, d.name, d.recordSize).inUse();
}

struct InPlace : DatabaseTest {
    Sbscrbr subscriber{db};
    LinesList lines{db.files(), subscriber.record.lines};

    InPlace() {
        EXPECT_EQ(NewSubsystem(lines, 3, "Parter"), 0);
        {
            SectorsList sectors(lines);
            EXPECT_EQ(NewSector(lines, sectors, 1, "CZ", "Drzwi"), 0);
            EXPECT_EQ(NewSector(lines, sectors, 2, "PIR", "Hol"), 0);
        }
        EXPECT_EQ(NewSubsystem(lines, 7, "Piwnica"), 0);
    }
    // The subsystem record at an offset of "linie" as the file holds it.
    SubsystemRecord onDisk(int32_t offset) const {
        SubsystemRecord r{};
        const std::string image = bytes("linie");
        std::memcpy(&r, image.data() + offset, sizeof r);
        return r;
    }
    SectorRecord sectorOnDisk(int32_t offset) const {
        SectorRecord r{};
        const std::string image = bytes("sektory");
        std::memcpy(&r, image.data() + offset, sizeof r);
        return r;
    }
    void select(int number) { ASSERT_EQ(lines.ReadIndex(lines.Find(number)), 0); }
};

TEST_F(InPlace, ASubsystemMovesToAFreeNumberAndIsRefusedATakenOne) {
    select(3);
    const int32_t offset = subscriber.record.lines[3];
    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(StoreEditedSubsystem(lines, 5, "Parter i hol"), 0);
    EXPECT_EQ(subscriber.record.lines[5], offset);
    EXPECT_EQ(subscriber.record.lines[3], 0);
    EXPECT_EQ(onDisk(offset).no, 5);
    EXPECT_STREQ(onDisk(offset).line_desc, "Parter i hol");
    EXPECT_EQ(lines.Find(5), 0);
    EXPECT_EQ(lines.currentPosition(), offset) << "the moved subsystem stays selected";

    const std::string before = bytes("linie");
    ui.boxes.clear();
    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(StoreEditedSubsystem(lines, 7, "Parter i hol"), 1);
    EXPECT_EQ(shown().back(), " Podsystem o takim numerze już istnieje.\nZapis nie zostanie dokonany!");
    EXPECT_EQ(bytes("linie"), before);
    EXPECT_EQ(subscriber.record.lines[5], offset);
    EXPECT_EQ(lines.subsystem().no, 5) << "the buffer shows the subsystem as stored";
}

TEST_F(InPlace, NothingChangedAsksNothingAndADeclinedEditShowsTheStoredOne) {
    select(7);
    EXPECT_EQ(StoreEditedSubsystem(lines, 7, "Piwnica"), 0);
    EXPECT_TRUE(ui.boxes.empty());

    select(3);
    SectorsList sectors(lines);
    ASSERT_EQ(sectors.ReadIndex(sectors.Find(2)), 0);
    const std::string before = bytes("sektory");
    std::strcpy(sectors.sector().sector_desc, "typed over the buffer");
    ui.answers = {BoxAnswer::No};
    EXPECT_EQ(StoreEditedSector(lines, sectors, 2, "PIR", "Korytarz"), 1);
    EXPECT_EQ(shown().back(), " Dane zostały zmienione!\nZapisać je?");
    EXPECT_EQ(bytes("sektory"), before);
    EXPECT_STREQ(sectors.sector().sector_desc, "Hol");
}

TEST_F(InPlace, AMovedSectorRewritesItsSubsystemsArray) {
    select(3);
    const int32_t subsystem = subscriber.record.lines[3];
    SectorsList sectors(lines);
    ASSERT_EQ(sectors.ReadIndex(sectors.Find(2)), 0);
    const int32_t offset = sectors.currentPosition();
    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(StoreEditedSector(lines, sectors, 12, "PIR", "Korytarz"), 0);
    EXPECT_EQ(onDisk(subsystem).sectors[12], offset);
    EXPECT_EQ(onDisk(subsystem).sectors[2], 0);
    EXPECT_EQ(sectorOnDisk(offset).no, 12);
    EXPECT_STREQ(sectorOnDisk(offset).sector_desc, "Korytarz");
    EXPECT_EQ(sectors.Count(), 2);

    ui.answers = {BoxAnswer::Yes};
    const std::string before = bytes("linie") + bytes("sektory");
    EXPECT_EQ(StoreEditedSector(lines, sectors, 1, "PIR", "Korytarz"), 1);
    EXPECT_EQ(shown().back(), " Sektor o takim numerze już istnieje.\nZapis nie zostanie dokonany!");
    EXPECT_EQ(bytes("linie") + bytes("sektory"), before);
}

TEST_F(InPlace, SubsystemsCopiedEditedAndDeletedKeepLinieAndSektoryInStep) {
    const int64_t sectorsBefore = inUse(bytes("sektory"), DbFile::Sektory);
    ASSERT_EQ(NewSubsystem(lines, 9, "Kopia parteru", 3), 0);
    const int32_t copy = subscriber.record.lines[9];
    const int32_t source = subscriber.record.lines[3];
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), sectorsBefore + 2) << "the copy has sectors of its own";
    for (int s : {1, 2}) {
        EXPECT_NE(onDisk(copy).sectors[s], onDisk(source).sectors[s]);
        EXPECT_EQ(sectorOnDisk(onDisk(copy).sectors[s]).no, s);
    }

    // The copy's sector edited: the source's stays as it was.
    select(9);
    SectorsList sectors(lines);
    ASSERT_EQ(sectors.ReadIndex(sectors.Find(1)), 0);
    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(StoreEditedSector(lines, sectors, 1, "CZ", "Brama"), 0);
    EXPECT_STREQ(sectorOnDisk(onDisk(copy).sectors[1]).sector_desc, "Brama");
    EXPECT_STREQ(sectorOnDisk(onDisk(source).sectors[1]).sector_desc, "Drzwi");

    // The source deleted with its sectors: the copies stay intact.
    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(DeleteSubsystemEntry(lines, lines.Find(3)), 0);
    EXPECT_EQ(subscriber.record.lines[3], 0);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), sectorsBefore);
    EXPECT_STREQ(sectorOnDisk(onDisk(copy).sectors[2]).sector_desc, "Hol");

    // A sector of the copy deleted: its slot and record go.
    select(9);
    SectorsList again(lines);
    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(DeleteSectorEntry(lines, again, again.Find(2)), 0);
    EXPECT_EQ(onDisk(copy).sectors[2], 0);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), sectorsBefore - 1);
}

} // namespace
} // namespace k4
