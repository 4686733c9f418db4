// What the event dialogs do, without the windows: definitions stored and
// removed with the table written at once, the special codes, and a list
// entry typed by the operator.
#include "processing/event_dialog_ops.h"

#include "database/record_file.h"
#include "database/text_edge.h"
#include "history/history_log_sink.h"
#include "processing/share_lst.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace k4 {
namespace {

using test::contains;

struct DialogStation : test::HistoryStation {
    EventTable table;
    DialogStation() {
        EXPECT_EQ(table.loadEventTable(data), 0);
        table.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130);
        EXPECT_EQ(table.saveEventTable(data), 0);
    }
    // The table as stored in "zdarzen".
    EventTable stored() const {
        EventTable t;
        EXPECT_EQ(t.loadEventTable(data), 0);
        return t;
    }
};

TEST(StoreEventDefinition, NewEditedRenumberedAndRefused) {
    DialogStation s;
    const EventDef fire = makeEventDef(0, "POZAR", "Pożar w obiekcie", 12, kEventFire);
    ASSERT_EQ(storeEventDefinition(s.table, s.data, s.messages, 0, "1a0", fire), 0);
    EXPECT_EQ(s.stored().findEvent(0x1A0)->fullText(), mz("Pożar w obiekcie"));
    EXPECT_TRUE(s.stored().isFireEvent(0x1A0));

    // Renumbered onto a code that is taken: only after Yes, and the old
    // number goes.
    s.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(storeEventDefinition(s.table, s.data, s.messages, 0x1A0, "130", fire), 1);
    EXPECT_TRUE(contains(s.boxText(0), "Zdarzenie o podanym kodzie juz istnieje."));
    EXPECT_EQ(s.stored().recordOf(0x1A0), s.table.recordOf(0x1A0));
    s.ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(storeEventDefinition(s.table, s.data, s.messages, 0x1A0, "130", fire), 0);
    const EventTable after = s.stored();
    EXPECT_EQ(after.recordOf(0x1A0), 0);
    EXPECT_EQ(after.findEvent(0x130)->shortText(), "POZAR");

    for (const char* bad : {"0", "FFF", "", "xyz"}) {
        EXPECT_EQ(storeEventDefinition(s.table, s.data, s.messages, 0, bad, fire), 1) << bad;
        EXPECT_TRUE(contains(s.ui.boxes.back().text, "Numer zdarzenia spoza zakresu"));
    }
}

TEST(StoreEventDefinition, AFailedSaveTakesTheChangeBack) {
    DialogStation s;
    // "zdarzen" cannot be written: a directory stands in its place.
    ASSERT_EQ(::unlink(s.dir.file("zdarzen").c_str()), 0);
    ASSERT_EQ(::mkdir(s.dir.file("zdarzen").c_str(), 0755), 0);
    EXPECT_EQ(storeEventDefinition(s.table, s.data, s.messages, 0, "200", makeEventDef(0, "A", "B", 1)), -1);
    EXPECT_EQ(s.table.recordOf(0x200), 0);
    EXPECT_TRUE(contains(s.ui.boxes.back().text, "zapisu pliku zdarzen"));
    s.ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(removeEventDefinition(s.table, s.data, s.messages, 0x130), -1);
    EXPECT_NE(s.table.recordOf(0x130), 0);
}

TEST(RemoveEventDefinition, AfterTheQuestion) {
    DialogStation s;
    s.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(removeEventDefinition(s.table, s.data, s.messages, 0x130), 1);
    EXPECT_EQ(s.boxText(0), " Usunąć zdarzenie 130 ?");
    s.ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(removeEventDefinition(s.table, s.data, s.messages, 0x130), 0);
    EXPECT_EQ(s.stored().recordOf(0x130), 0);
}

TEST(SpecialCodes, LinesAndChangesWrittenToTheConfiguration) {
    DialogStation s;
    s.dir.write("conf", std::string(kConfigSize, '\0'));
    Config config{s.data};
    ASSERT_EQ(config.LoadConfig(1), 0);
    EXPECT_EQ(specialCodeLine(0, 0, s.table), mz("BRAK TESTU"));
    EXPECT_EQ(specialCodeLine(8, 0x130, s.table), mz("BŁĘDNE WYŁĄCZENIE  :    130 - WLAMANIE"));
    ASSERT_EQ(setSpecialCode(config, s.messages, 8, 0x130), 0);
    EXPECT_TRUE(s.ui.boxes.empty()); // an empty entry asks nothing
    s.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(setSpecialCode(config, s.messages, 8, 0x131), 1);
    EXPECT_EQ(s.boxText(0), " Usunąć test 130?");
    s.ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(setSpecialCode(config, s.messages, 9, 0x131), 0);
    Config again{s.data};
    ASSERT_EQ(again.LoadConfig(1), 0);
    EXPECT_EQ(again.block().special_codes[8], 0x130);
    EXPECT_EQ(again.block().special_codes[9], 0x131);
    ASSERT_EQ(setSpecialCode(config, s.messages, 9, 0), 0);
    Config cleared{s.data};
    ASSERT_EQ(cleared.LoadConfig(1), 0);
    EXPECT_EQ(cleared.block().special_codes[9], 0);
}

TEST(StoreListEntry, ChoicesBecomeTheEntry) {
    DialogStation s;
    HistoryLogSink sink{s.log};
    RecordFile alarmy{s.data, s.messages, sink};
    ASSERT_EQ(alarmy.OpenOrCreate("alarmy", kListRecordSize), 1);
    ShareLst shared{s.data, s.messages};
    shared.load();
    Int32Le id{};
    AlarmsTableList list(alarmy, s.table, s.messages, id, 0, &shared);
    list.buildStandard(false);
    ListEntryInput in;
    in.objText = "e01";
    in.stdText = "130";
    in.sector = SectorChoice::Own;
    in.sectorText = "7";
    in.colour = ColourChoice::Own;
    in.colourClass = 9;
    ASSERT_EQ(storeListEntry(list, s.messages, 0, in), 0);
    ASSERT_EQ(list.count(), 1);
    const LUT_ENTRY e = list.entry(0);
    EXPECT_EQ(e.objCode(), 0xE01);
    EXPECT_EQ(e.stdCode(), 0x130);
    EXPECT_TRUE(e.sectorOverride());
    EXPECT_EQ(e.sector(), 7);
    EXPECT_TRUE(e.colourOverride());
    EXPECT_EQ(e.colour(), 9);
    EXPECT_NE(static_cast<int32_t>(id), 0); // saved as an own list at once

    in.sector = SectorChoice::None;
    in.colour = ColourChoice::Standard;
    ASSERT_EQ(storeListEntry(list, s.messages, 0xE01, in), 0);
    EXPECT_EQ(list.entry(0).sector(), 4095);
    EXPECT_FALSE(list.entry(0).colourOverride());

    in.objText = "FFF";
    EXPECT_EQ(storeListEntry(list, s.messages, 0, in), 1);
    EXPECT_TRUE(contains(s.ui.boxes.back().text, "Kod zdarzenia spoza zakresu"));
    in.objText = "E02";
    in.stdText = "0";
    EXPECT_EQ(storeListEntry(list, s.messages, 0, in), 1);
    EXPECT_TRUE(contains(s.ui.boxes.back().text, "Numer zdarzenia spoza zakresu"));
    in.stdText = "555"; // not defined in the standard table
    EXPECT_EQ(storeListEntry(list, s.messages, 0, in), -1);
    EXPECT_TRUE(contains(s.ui.boxes.back().text, "nie ma zdarzenia standardowego"));
}

} // namespace
} // namespace k4
