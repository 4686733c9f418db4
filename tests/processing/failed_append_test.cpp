// An append that fails in the middle of an edit: a new subscriber saved from
// the card, a person stored, a schedule given to a position and a sector
// added. Each leaves its file, the arrays in the subscriber record and the
// indexes exactly as they were before the step.
#include "processing_station.h"

#include "database/lines_list.h"
#include "database/persons_list.h"
#include "database/subscriber_card_save.h"
#include "database/subsys_lst.h"
#include "database/subsystem_editing.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

// The file's free chain made to loop on itself: every append is refused
// while this lives. A free record is made for it first.
struct FailingAppend {
    RecordFile& file;
    int32_t head = 0;
    explicit FailingAppend(RecordFile& f) : file(f) {
        std::vector<uint8_t> blank(static_cast<size_t>(f.recordSize()));
        int32_t at = 0;
        EXPECT_EQ(file.AppendRecord(at, blank.data()), 0);
        EXPECT_EQ(file.FreeRecord(at), 0);
        head = file.firstFree();
    }
    void arm() {
        const Int32Le self = head;
        EXPECT_EQ(file.WritePart(head, &self, 0, sizeof self), 0);
    }
    ~FailingAppend() {
        const Int32Le end = kNoFreeRecord;
        EXPECT_EQ(file.WritePart(head, &end, 0, sizeof end), 0);
    }
};

TEST(FailedAppend, EachEditStepLeavesTheStoreAsItWas) {
    const char* const steps[] = {"new subscriber", "new person", "position schedule", "new sector"};
    for (const char* step : steps) {
        SCOPED_TRACE(step);
        test::ProcessingStation st;
        const int32_t existing = st.addSubscriber(12);
        Sbscrbr s(st.db, AtOffset{existing});
        ASSERT_TRUE(s.valid);
        PersonsList persons(st.db.files(), s.record.persons);
        LinesList lines(st.db.files(), s.record.lines);
        ASSERT_EQ(lines.ReadIndex(lines.Find(1)), 0);
        SectorsList sectors(lines);
        SubsysLst plans(st.db.files(), s.record.arm_plans);
        const std::string name = std::string(step) == "new subscriber" ? "dane"
                                 : std::string(step) == "new person"   ? "osoby"
                                 : std::string(step) == "new sector"   ? "sektory"
                                                                       : "uzbroj";
        RecordFile& file = name == "dane"    ? st.db.file(DbFile::Dane)
                           : name == "osoby" ? st.db.file(DbFile::Osoby)
                           : name == "sektory" ? st.db.file(DbFile::Sektory)
                                               : st.db.file(DbFile::Uzbroj);
        FailingAppend failing(file);
        const SubscriberRecord recordBefore = s.record;
        const std::string files = st.dir.read("dane") + st.dir.read("osoby") + st.dir.read("linie") +
                                  st.dir.read("sektory") + st.dir.read("uzbroj") + st.dir.read("numer");
        const Base::State linesBefore = lines.state();
        failing.arm();

        if (name == "dane") {
            Sbscrbr fresh(st.db, ByNumber{13});
            EXPECT_EQ(saveSubscriberCard(st.db, st.indexes, fresh), kCardNotSaved);
            EXPECT_EQ(fresh.offset(), 0);
            EXPECT_FALSE(st.indexes.recordOfNumber(13));
        } else if (name == "osoby") {
            std::strcpy(persons.person().name, "Nowak");
            EXPECT_NE(persons.AddEntry(0, persons.Count()), 0);
            EXPECT_EQ(persons.Count(), 0);
        } else if (name == "uzbroj") {
            plans.clearBuffer();
            EXPECT_NE(plans.SavePosition(4, kPanelSubsystemBit | 1), 0);
        } else {
            EXPECT_EQ(NewSector(lines, sectors, 9, "CZ", "Okno"), -1);
            EXPECT_EQ(sectors.Item(9), 0);
            EXPECT_EQ(lines.currentPosition(), linesBefore.current);
            EXPECT_TRUE(std::equal(linesBefore.buffer.begin(), linesBefore.buffer.end(), lines.buffer()));
        }
        EXPECT_EQ(std::memcmp(&recordBefore, &s.record, sizeof recordBefore), 0) << "the record's arrays";
        // The loop in the free chain is the only difference on disk.
        const Int32Le end = kNoFreeRecord;
        EXPECT_EQ(file.WritePart(failing.head, &end, 0, sizeof end), 0);
        EXPECT_EQ(st.dir.read("dane") + st.dir.read("osoby") + st.dir.read("linie") + st.dir.read("sektory") +
                      st.dir.read("uzbroj") + st.dir.read("numer"),
                  files);
    }
}

} // namespace
} // namespace k4
