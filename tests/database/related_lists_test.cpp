#include "database/armers_lst.h"
#include "database/lines_list.h"
#include "database/persons_list.h"
#include "database/record_file_audit.h"
#include "database/subsys_lst.h"
#include "database/subsystem_editing.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::DatabaseTest;

int64_t inUse(const std::string& image, DbFile which) {
    const RecordFileDescriptor& d = descriptorOf(which);
    return AuditRecordImage(image, d.name, d.recordSize).inUse();
}

TEST_F(DatabaseTest, PersonsListEndsAtItsFirstZeroAndKeepsPlaceHolders) {
    Sbscrbr s(db);
    PersonsList persons(db.files(), s.record.persons);
    ASSERT_TRUE(persons.usable());
    std::strcpy(persons.person().name, "A");
    ASSERT_EQ(persons.AddEntry(0, 0), 0);
    std::strcpy(persons.person().name, "B");
    ASSERT_EQ(persons.AddEntry(0, 1), 0);
    ASSERT_EQ(persons.AddEntry(kPersonPlaceHolder, 1), 0); // A, -1, B
    EXPECT_EQ(persons.Count(), 3);
    EXPECT_EQ(s.record.persons[1], -1);
    EXPECT_EQ(persons.ReadEntry(1), -1);
    ASSERT_EQ(persons.ReadEntry(2), 0);
    EXPECT_STREQ(persons.person().name, "B");

    // A place-holder gets a record of its own when the person is stored.
    std::strcpy(persons.person().name, "C");
    ASSERT_EQ(persons.StoreEntry(1), 0);
    EXPECT_GT(s.record.persons[1], 0);
    ASSERT_EQ(persons.ReadEntry(1), 0);
    EXPECT_STREQ(persons.person().name, "C");
    // A real entry is rewritten in place, but only from its own buffer.
    std::strcpy(persons.person().name, "C2");
    ASSERT_EQ(persons.StoreEntry(1), 0);
    EXPECT_EQ(persons.StoreEntry(0), -1);
    ASSERT_EQ(persons.ReadEntry(1), 0);
    EXPECT_STREQ(persons.person().name, "C2");

    // A zero in the middle ends the list.
    const int32_t b = s.record.persons[2];
    s.record.persons[1] = 0;
    persons.Recount();
    EXPECT_EQ(persons.Count(), 1);
    s.record.persons[1] = b;
    persons.Recount();

    ui.boxes.clear(); // the refused rewrite above told the operator
    ui.answers = {BoxAnswer::No, BoxAnswer::Yes};
    EXPECT_EQ(persons.RemoveEntry(0), 1);
    EXPECT_EQ(persons.Count(), 3);
    EXPECT_EQ(persons.RemoveEntry(0), 0);
    EXPECT_EQ(persons.Count(), 2);
    EXPECT_EQ(shown(), (std::vector<std::string>{" Dane zostaną bezpowrotnie stracone!", " Dane zostaną bezpowrotnie stracone!"}));
    EXPECT_EQ(inUse(bytes("osoby"), DbFile::Osoby), 2); // B and C; A is free again
}

TEST_F(DatabaseTest, FullPersonsListRefusesNewEntries) {
    Sbscrbr s(db);
    for (auto& p : s.record.persons) p = -1;
    PersonsList persons(db.files(), s.record.persons);
    EXPECT_EQ(persons.Count(), 40);
    EXPECT_EQ(persons.RefuseWhenFull(), -1);
    EXPECT_EQ(persons.AddEntry(kPersonPlaceHolder, 0), -1);
    EXPECT_EQ(shown(), std::vector<std::string>{" Lista osób jest pełna"});
    EXPECT_EQ(persons.RemoveEntry(5), 0); // a place-holder goes without a question
    EXPECT_EQ(persons.RefuseWhenFull(), 0);
}

struct SubsystemsTest : DatabaseTest {
    Sbscrbr s{db};
    int32_t sectorOffset(LinesList& lines, int subsystem, int sector) {
        lines.ReadIndex(lines.Find(subsystem));
        return lines.subsystem().sectors[sector];
    }
};

TEST_F(SubsystemsTest, ReplacingASubsystemAsksAndTakesItsSectorsAlong) {
    LinesList lines(db.files(), s.record.lines);
    ASSERT_TRUE(lines.usable());
    ASSERT_EQ(NewSubsystem(lines, 7, "Stary"), 0);
    SectorsList sectors(lines);
    ASSERT_EQ(NewSector(lines, sectors, 1, "A", "Drzwi"), 0);
    ASSERT_EQ(NewSector(lines, sectors, 2, "B", "Okno"), 0);
    const int32_t old = s.record.lines[7];
    const std::string before = bytes("linie") + bytes("sektory");

    ui.answers = {BoxAnswer::No};
    EXPECT_EQ(NewSubsystem(lines, 7, "Nowy"), 1);
    EXPECT_EQ(s.record.lines[7], old);
    EXPECT_EQ(bytes("linie") + bytes("sektory"), before);
    EXPECT_EQ(ui.boxes.back().text, " Podsystem o podanym numerze już istnieje.\nZastąpić go aktualnie wpisanym?");

    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(NewSubsystem(lines, 7, "Nowy"), 0);
    EXPECT_NE(s.record.lines[7], 0);
    EXPECT_EQ(inUse(bytes("linie"), DbFile::Linie), 1);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), 0);
    EXPECT_STREQ(lines.subsystem().line_desc, "Nowy");
    EXPECT_EQ(lines.subsystem().no, 7);
}

TEST_F(SubsystemsTest, CopiedSectorsAreIndependentOfTheirSource) {
    LinesList lines(db.files(), s.record.lines);
    ASSERT_EQ(NewSubsystem(lines, 3, "Zrodlo"), 0);
    SectorsList sectors(lines);
    ASSERT_EQ(NewSector(lines, sectors, 5, "X", "Sektor piec"), 0);
    ASSERT_EQ(NewSector(lines, sectors, 9, "Y", "Sektor dziewiec"), 0);
    const int32_t source5 = s.record.lines[3] ? sectorOffset(lines, 3, 5) : 0;

    ASSERT_EQ(NewSubsystem(lines, 4, "Kopia", 3), 0);
    const int32_t copy5 = sectorOffset(lines, 4, 5);
    EXPECT_NE(copy5, source5);
    EXPECT_NE(sectorOffset(lines, 4, 9), 0);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), 4);

    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(DeleteSubsystemEntry(lines, lines.Find(3)), 0);
    EXPECT_EQ(s.record.lines[3], 0);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), 2);
    ASSERT_EQ(lines.ReadIndex(lines.Find(4)), 0);
    SectorsList copies(lines);
    ASSERT_EQ(copies.ReadIndex(copies.Find(5)), 0);
    EXPECT_STREQ(copies.sector().sector_desc, "Sektor piec");

    // A subsystem replaced by a copy of its own sectors keeps them.
    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(NewSubsystem(lines, 4, "Znowu", 4), 0);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), 2);
    lines.ReadIndex(lines.Find(4));
    SectorsList again(lines);
    EXPECT_EQ(again.Count(), 2);

    const std::string before = bytes("linie");
    EXPECT_EQ(NewSubsystem(lines, 6, "Brak", 55), 1); // no such source
    EXPECT_EQ(bytes("linie"), before);
    EXPECT_EQ(s.record.lines[6], 0);
}

// "linie" refuses every append while its free chain loops on itself: the
// subsystem's record cannot be written, whatever was made for it before.
struct FailingSubsystemAppend {
    RecordFile& linie;
    int32_t head;
    explicit FailingSubsystemAppend(RecordFile& file) : linie(file), head(file.firstFree()) {
        const Int32Le self = head;
        EXPECT_EQ(linie.WritePart(head, &self, 0, sizeof self), 0);
    }
    ~FailingSubsystemAppend() {
        const Int32Le end = kNoFreeRecord;
        EXPECT_EQ(linie.WritePart(head, &end, 0, sizeof end), 0);
    }
};

TEST_F(SubsystemsTest, AFailedNewSubsystemLeavesTheSelectedOneAsItWas) {
    for (int copyFrom : {3, -1}) {
        SCOPED_TRACE(copyFrom < 0 ? "&Zapisz" : "&Kopiuj sektory z: 3");
        Sbscrbr subscriber(db);
        LinesList lines(db.files(), subscriber.record.lines);
        ASSERT_EQ(NewSubsystem(lines, 1, "Parter"), 0);
        ASSERT_EQ(NewSubsystem(lines, 3, "Zrodlo"), 0);
        {
            SectorsList sectors(lines);
            ASSERT_EQ(NewSector(lines, sectors, 5, "X", "Piec"), 0);
            ASSERT_EQ(NewSector(lines, sectors, 9, "Y", "Dziewiec"), 0);
        }
        ASSERT_EQ(NewSubsystem(lines, 8, "Zapas"), 0);
        ui.answers = {BoxAnswer::Yes};
        ASSERT_EQ(DeleteSubsystemEntry(lines, lines.Find(8)), 0); // a free record in "linie"
        const std::string sourceOnDisk = bytes("linie").substr(static_cast<size_t>(subscriber.record.lines[3]), 2143);
        const int64_t sectorsInUse = inUse(bytes("sektory"), DbFile::Sektory);

        // The operator has subsystem 1 selected when "&Nowy" fails.
        ASSERT_EQ(lines.ReadIndex(lines.Find(1)), 0);
        const Base::State selected = lines.state();
        {
            FailingSubsystemAppend refusing(file(DbFile::Linie));
            EXPECT_EQ(NewSubsystem(lines, 7, "Kopia", copyFrom), -1);
        }
        EXPECT_EQ(subscriber.record.lines[7], 0);
        EXPECT_EQ(lines.currentPosition(), selected.current);
        EXPECT_EQ(lines.loadedPosition(), selected.loaded);
        EXPECT_TRUE(std::equal(selected.buffer.begin(), selected.buffer.end(), lines.buffer()))
            << "the buffer is subsystem 1's again";
        EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), sectorsInUse) << "no copy is left behind";

        // The next sector goes where the operator sees it: into subsystem 1,
        // never over the source of the failed copy.
        SectorsList sectors(lines);
        ASSERT_EQ(NewSector(lines, sectors, 2, "CZ", "Drzwi"), 0);
        EXPECT_EQ(bytes("linie").substr(static_cast<size_t>(subscriber.record.lines[3]), 2143), sourceOnDisk);
        ASSERT_EQ(lines.ReadIndex(lines.Find(1)), 0);
        EXPECT_STREQ(lines.subsystem().line_desc, "Parter");
        EXPECT_NE(lines.subsystem().sectors[2], 0);
        ui.boxes.clear();
    }
}

TEST_F(SubsystemsTest, LimitsOfTheSubsystemList) {
    LinesList lines(db.files(), s.record.lines);
    EXPECT_EQ(NewSubsystem(lines, 100, "Za duzy"), 1);
    EXPECT_EQ(ui.boxes.back().text, " Liczba poza dozwolonym zakresem (0 - 99)");
    for (auto& slot : s.record.lines) slot = 32; // a hundred subsystems
    lines.Recount();
    EXPECT_EQ(NewSubsystem(lines, 5, "Pelna"), 1);
    EXPECT_EQ(ui.boxes.back().text, " Lista jest pełna");
}

TEST_F(SubsystemsTest, ReplacingAndDeletingSectorsRewritesTheSubsystem) {
    LinesList lines(db.files(), s.record.lines);
    ASSERT_EQ(NewSubsystem(lines, 1, "Parter"), 0);
    SectorsList sectors(lines);
    ASSERT_EQ(NewSector(lines, sectors, 8, "A", "Pierwszy"), 0);
    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(NewSector(lines, sectors, 8, "B", "Drugi"), 0);
    EXPECT_EQ(ui.boxes.back().text, " Sektor o podanym numerze już istnieje.\nZastąpić go aktualnie wpisanym?");
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), 1);
    // The subsystem record on disk names the new sector.
    const int32_t inFile = sectorOffset(lines, 1, 8);
    SectorsList reread(lines);
    ASSERT_EQ(reread.ReadIndex(0), 0);
    EXPECT_STREQ(reread.sector().sector_desc, "Drugi");
    EXPECT_EQ(reread.currentPosition(), inFile);

    ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(DeleteSectorEntry(lines, reread, 0), 0);
    EXPECT_EQ(ui.boxes.back().text, " Dane o sektorze zostaną usunięte!");
    EXPECT_EQ(sectorOffset(lines, 1, 8), 0);
    EXPECT_EQ(inUse(bytes("sektory"), DbFile::Sektory), 0);
    int subsystems = 0, sectorCount = -1;
    EXPECT_EQ(lines.Count(subsystems, sectorCount), 0);
    EXPECT_EQ(subsystems, 1);
    EXPECT_EQ(sectorCount, 0);
}

TEST_F(DatabaseTest, ArmingSchedulePositions) {
    Sbscrbr s(db);
    SubsysLst plans(db.files(), s.record.arm_plans);
    ASSERT_TRUE(plans.usable());
    plans.schedule().days[0].arm_time = 22 * 60;
    ASSERT_EQ(plans.SavePosition(2, kPanelSubsystemBit | 4), 0);
    const int32_t first = s.record.arm_plans[2];
    // Saved again: the same record, rewritten, nothing left without owner.
    ASSERT_EQ(plans.ReadPosition(2), 0);
    plans.schedule().days[0].arm_time = 23 * 60;
    ASSERT_EQ(plans.SavePosition(2, kPanelSubsystemBit | 4), 0);
    EXPECT_EQ(s.record.arm_plans[2], first);
    EXPECT_EQ(inUse(bytes("uzbroj"), DbFile::Uzbroj), 1);
    ASSERT_EQ(plans.ReadPosition(2), 0);
    EXPECT_EQ(plans.schedule().days[0].arm_time, 23 * 60);
    EXPECT_EQ(plans.schedule().identification, 0x84);

    // Copying an empty position changes nothing and says so.
    const std::string before = bytes("uzbroj");
    EXPECT_EQ(plans.CopyToPosition(6, 2), -1);
    EXPECT_EQ(shown(), std::vector<std::string>{" Błąd  kopiowania danych o Wyłączeniach/Załączeniach"});
    EXPECT_EQ(s.record.arm_plans[2], first);
    EXPECT_EQ(bytes("uzbroj"), before);

    ASSERT_EQ(plans.CopyToPosition(2, 3), 0);
    EXPECT_NE(s.record.arm_plans[3], 0);
    EXPECT_NE(s.record.arm_plans[3], first);
    ui.answers = {BoxAnswer::No};
    EXPECT_EQ(plans.CopyPosition(2, 3), 0); // declined: nothing changes
    EXPECT_EQ(inUse(bytes("uzbroj"), DbFile::Uzbroj), 2);
    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(plans.CopyPosition(2, 3), 0); // replaced: the old copy is freed
    EXPECT_EQ(inUse(bytes("uzbroj"), DbFile::Uzbroj), 2);

    Uint16Le mask = 0;
    EXPECT_TRUE(plans.TickPosition(3, true, mask));
    EXPECT_FALSE(plans.TickPosition(4, true, mask)); // no schedule there
    EXPECT_EQ(mask, 0x0008);
    ui.answers = {BoxAnswer::No};
    EXPECT_EQ(plans.RemovePosition(3, mask), -1);
    EXPECT_EQ(mask, 0x0008);
    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(plans.RemovePosition(3, mask), 0);
    EXPECT_EQ(mask, 0);
    EXPECT_EQ(s.record.arm_plans[3], 0);
    EXPECT_EQ(ui.boxes.back().text, " Wszelkie dane o podsystemie zostaną usunięte!");
    EXPECT_EQ(inUse(bytes("uzbroj"), DbFile::Uzbroj), 1);
}

TEST(ArmersLst, CodesStayAscendingAndUnique) {
    ArmersTab armers[kArmerSlots] = {};
    ArmersLst list(armers, false);
    EXPECT_EQ(list.AddCode(30), 0);
    EXPECT_EQ(list.AddCode(10), 0);
    EXPECT_EQ(list.AddCode(20), 1);
    EXPECT_EQ(list.AddCode(10), 0); // already there
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(armers[0].code, 10);
    EXPECT_EQ(armers[2].code, 30);
    EXPECT_EQ(list.Toggle(1, 9), 0);
    EXPECT_EQ(armers[1].mask, 0x0200);
    EXPECT_EQ(list.Toggle(1, 9), 0);
    EXPECT_EQ(armers[1].mask, 0);
    EXPECT_EQ(list.Toggle(3, 0), -1);
    ArmersLst viewing(armers, true);
    EXPECT_EQ(viewing.Count(), 3);
    EXPECT_EQ(viewing.Toggle(0, 0), -1);
    EXPECT_EQ(viewing.AddCode(5), -1);
}

} // namespace
} // namespace k4
