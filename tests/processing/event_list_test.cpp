#include "processing/event_list.h"

#include "database/index_file.h"
#include "database/subscriber_indexes.h"
#include "database/subscriber_record.h"
#include "database/text_edge.h"
#include "history/history_log_sink.h"
#include "processing/event_printouts.h"
#include "processing/share_lst.h"

#include "../history/history_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace k4 {
namespace {

using test::contains;

struct ListStation : test::HistoryStation {
    HistoryLogSink sink{log};
    RecordFile alarmy{data, messages, sink};
    EventTable events;
    ShareLst shared{data, messages};

    ListStation() {
        log.OpenHistory("logf");
        EXPECT_EQ(alarmy.OpenOrCreate("alarmy", kListRecordSize), 1);
        events.setRecords({});
        events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130);
        events.putEvent(makeEventDef(0x401, "ZALACZ", "Załączenie", 2, kEventArming), 0x401);
        events.putEvent(makeEventDef(0x402, "WYLACZ", "Wyłączenie", 2, kEventDisarming), 0x402);
        events.putEvent(makeEventDef(0x602, "TEST", "Test okresowy", 0), 0x602);
        shared.load();
    }
    AlarmsTableList open(Int32Le& id, int slot = 0) { return AlarmsTableList(alarmy, events, messages, id, slot, &shared); }
    // An own list of the given entries, stored; its id.
    int32_t ownList(std::initializer_list<LUT_ENTRY> entries) {
        Int32Le id = 0;
        AlarmsTableList list = open(id);
        list.buildStandard(false);
        for (const auto& e : entries) list.entries().Add(e);
        EXPECT_EQ(list.save(), 0);
        return id;
    }
    std::vector<int> codesOf(const AlarmsTableList& list) {
        std::vector<int> codes;
        for (int i = 0; i < list.count(); ++i) codes.push_back(list.entry(i).objCode());
        return codes;
    }
};

TEST(EventList, TranslationWithSectorAndColourOverrides) {
    ListStation s;
    Int32Le id = s.ownList({
        LUT_ENTRY::make(0x0E1, 0x130, 9, true),                 // colour from the table
        LUT_ENTRY::make(0x0E2, 0x602, 0, false, 4095, true),    // "Zdarzenie bez sektora"
        LUT_ENTRY::make(0x0E3, 0x130, 0, false, 17, true),      // "Dołącz sektor/kod użytkownika"
        LUT_ENTRY::make(0x130, 0x130),
    });
    AlarmsTableList list = s.open(id);
    ASSERT_TRUE(list.loaded());
    EXPECT_EQ(list.count(), 4);

    const auto colour = list.translate(0x0E1);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->stdCode, 0x130);
    EXPECT_EQ(colour->colour, 9);
    EXPECT_FALSE(colour->sector);
    const auto noSector = list.translate(0x0E2);
    ASSERT_TRUE(noSector);
    EXPECT_EQ(noSector->sector, 4095);
    EXPECT_FALSE(noSector->colour);
    EXPECT_EQ(list.translate(0x0E3)->sector, 17);
    EXPECT_FALSE(list.translate(0x602)) << "defined in the table but not in an own list: unknown";

    // The dialogs see the standard colour unless the entry forces its own.
    EXPECT_EQ(list.viewOf(0).entry.colour(), 9);
    EXPECT_EQ(list.viewOf(1).entry.colour(), 0);
    EXPECT_EQ(list.viewOf(3).entry.colour(), 4);
    EXPECT_STREQ(list.viewOf(3).shortName, "WLAMANIE");
}

TEST(EventList, StandardListMapsEveryDefinedCodeToItself) {
    ListStation s;
    Int32Le standard = 0;
    AlarmsTableList list = s.open(standard);
    EXPECT_EQ(s.codesOf(list), (std::vector<int>{0x130, 0x401, 0x402, 0x602}));
    EXPECT_EQ(list.translate(0x401)->stdCode, 0x401);
}

TEST(EventList, PutEntryKeepsOrderReplacesAndMovesAnEditedCode) {
    ListStation s;
    Int32Le id = s.ownList({LUT_ENTRY::make(0x010, 0x130), LUT_ENTRY::make(0x030, 0x130)});
    const int32_t stored = id;
    AlarmsTableList list = s.open(id);
    ASSERT_EQ(list.putEntry(LUT_ENTRY::make(0x020, 0x602), 0), 0);
    EXPECT_EQ(s.codesOf(list), (std::vector<int>{0x010, 0x020, 0x030}));
    ASSERT_EQ(list.putEntry(LUT_ENTRY::make(0x040, 0x602), 0x010), 0);
    EXPECT_EQ(s.codesOf(list), (std::vector<int>{0x020, 0x030, 0x040}));
    EXPECT_EQ(id, stored) << "an own list is saved in place";

    AlarmsTableList again = s.open(id);
    EXPECT_EQ(s.codesOf(again), (std::vector<int>{0x020, 0x030, 0x040}));

    EXPECT_EQ(list.putEntry(LUT_ENTRY::make(0x050, 0x555), 0), -1);
    EXPECT_EQ(s.boxText(0), " Dla kodu 555 nie ma zdarzenia standardowego!");
}

TEST(EventList, FullListTakesNoNewCodeButStillEditsOne) {
    ListStation s;
    Int32Le id = 0;
    {
        AlarmsTableList list = s.open(id);
        list.buildStandard(false);
        for (int i = 0; i < kListEntries; ++i) list.entries().Add(LUT_ENTRY::make(2 * i + 2, 0x130));
        ASSERT_EQ(list.save(), 0);
    }
    AlarmsTableList list = s.open(id);
    ASSERT_EQ(list.count(), kListEntries);
    EXPECT_EQ(list.putEntry(LUT_ENTRY::make(0x001, 0x130), 0), -1);
    EXPECT_EQ(s.boxText(0), " Lista jest pełna");
    EXPECT_EQ(list.entry(kListEntries - 1).objCode(), 2 * kListEntries) << "the last entry is not pushed out";
    EXPECT_EQ(list.putEntry(LUT_ENTRY::make(0x004, 0x602), 0), 0);
    EXPECT_EQ(list.translate(0x004)->stdCode, 0x602);
}

TEST(EventList, AChangeThatCannotBeStoredIsTakenBack) {
    ListStation s;
    Int32Le id = s.ownList({LUT_ENTRY::make(0x010, 0x130), LUT_ENTRY::make(0x030, 0x130)});
    AlarmsTableList list = s.open(id);
    s.alarmy.Close();
    EXPECT_EQ(list.putEntry(LUT_ENTRY::make(0x020, 0x602), 0x010), -1);
    EXPECT_EQ(s.codesOf(list), (std::vector<int>{0x010, 0x030}));
    EXPECT_EQ(list.removeEntry(0), -1);
    EXPECT_EQ(s.codesOf(list), (std::vector<int>{0x010, 0x030}));
}

TEST(EventList, EditingASharedOrTheStandardListGivesThePrivateCopy) {
    ListStation s;
    const int32_t sharedId = s.ownList({LUT_ENTRY::make(0x0E1, 0x130)});
    s.shared.setSlot(3, sharedId, "BIURA");
    ASSERT_EQ(s.shared.save(), 0);

    Int32Le subscriberList = sharedId; // the subscriber's alarm_list
    AlarmsTableList list = s.open(subscriberList, s.shared.slotOf(sharedId));
    ASSERT_EQ(list.putEntry(LUT_ENTRY::make(0x0E2, 0x602), 0), 0);
    EXPECT_NE(subscriberList, sharedId);
    AlarmsTableList original = s.open(s.shared.slot(3).listId);
    EXPECT_EQ(s.codesOf(original), std::vector<int>{0x0E1}) << "the shared list is untouched";
    AlarmsTableList copy = s.open(subscriberList);
    EXPECT_EQ(s.codesOf(copy), (std::vector<int>{0x0E1, 0x0E2}));

    Int32Le standard = 0;
    AlarmsTableList fromStandard = s.open(standard);
    ASSERT_EQ(fromStandard.removeEntry(0), 0);
    EXPECT_NE(standard, 0);
    EXPECT_EQ(s.codesOf(s.open(standard)), (std::vector<int>{0x401, 0x402, 0x602}));
}

TEST(EventList, GoingBackToTheStandardListFreesAnOwnRecordButNeverASharedOne) {
    ListStation s;
    Int32Le own = s.ownList({LUT_ENTRY::make(0x0E1, 0x130)});
    const int32_t ownRecord = own;
    AlarmsTableList list = s.open(own);
    ASSERT_EQ(list.loadFrom(0, false), 0);
    EXPECT_EQ(own, 0);
    EXPECT_EQ(s.alarmy.firstFree(), ownRecord);

    const int32_t sharedId = s.ownList({LUT_ENTRY::make(0x0E1, 0x130)});
    s.shared.setSlot(1, sharedId, "WSP");
    Int32Le usesShared = sharedId;
    AlarmsTableList viaShared = s.open(usesShared); // even opened without its slot
    ASSERT_EQ(viaShared.setList(0, false), 0);
    EXPECT_EQ(s.alarmy.firstFree(), -1) << "the shared record was reused, not freed again";
    EXPECT_EQ(s.codesOf(s.open(s.shared.slot(1).listId)), std::vector<int>{0x0E1});
}

TEST(EventList, LoadFromFileAndDumpToDisk) {
    ListStation s;
    Int32Le id = 0;
    AlarmsTableList list = s.open(id);
    s.dir.write("short.al", std::string(100, '\0'));
    EXPECT_EQ(list.loadFrom(-1, false, s.dir.file("short.al")), -1);
    EXPECT_TRUE(contains(s.boxText(0), "wczytania listy zdarzeń"));
    EXPECT_EQ(list.loadFrom(-1, false), -1) << "no file chosen";

    EXPECT_EQ(list.dumpToDisk("standard.al"), 1);
    EXPECT_TRUE(contains(s.boxText(1), "standardową listę zdarzeń"));

    std::string image(kListRecordSize, '\0');
    const LUT_ENTRY e = LUT_ENTRY::make(0x0E5, 0x401);
    std::memcpy(image.data(), &e, sizeof e);
    s.dir.write("obiekt.al", image);
    ASSERT_EQ(list.loadFrom(-1, false, s.dir.file("obiekt.al")), 0);
    EXPECT_NE(id, 0) << "a loaded list is a new own list";
    EXPECT_EQ(list.translate(0x0E5)->stdCode, 0x401);

    test::TempDir out;
    s.ui.textAnswers.push_back(out.path());
    ASSERT_EQ(list.dumpToDisk("obiekt.al"), 0);
    EXPECT_EQ(out.read("obiekt.al"), image);
    out.write("obiekt.al", "stara lista");
    s.ui.textAnswers.push_back(out.path() + "/");
    s.ui.answers.push_back(BoxAnswer::No);
    EXPECT_EQ(list.dumpToDisk("obiekt.al"), 1);
    EXPECT_EQ(out.read("obiekt.al"), "stara lista");
}

struct ThrowingFailure final : IndexFailure {
    void indexFailed(const std::string& message, const std::string&, int64_t) override {
        throw std::runtime_error(message);
    }
};

TEST(EventList, DeletingASharedListSendsItsSubscribersBackToTheStandardList) {
    ListStation s;
    const int32_t sharedId = s.ownList({LUT_ENTRY::make(0x0E1, 0x130)});
    const int32_t otherId = s.ownList({LUT_ENTRY::make(0x0E2, 0x130)});
    RecordFile dane(s.data, s.messages, s.sink);
    ASSERT_EQ(dane.OpenOrCreate("dane", static_cast<int>(sizeof(SubscriberRecord))), 1);
    IndexPageCache cache;
    ThrowingFailure failure;
    IndexHandle numer(cache, failure);
    ASSERT_EQ(numer.CreateIndex(s.data, "numer", false), 0);
    std::vector<int32_t> offsets;
    for (int32_t list : {sharedId, otherId, sharedId, 0}) {
        SubscriberRecord r{};
        r.object = static_cast<int16_t>(offsets.size() + 1);
        r.alarm_list = list;
        int32_t at = 0;
        ASSERT_EQ(dane.AppendRecord(at, &r), 0);
        offsets.push_back(at);
        numer.InsertKey(numberKey(static_cast<int>(offsets.size())), at);
    }

    Int32Le slotId = sharedId;
    AlarmsTableList list = s.open(slotId, 0);
    s.ui.answers.push_back(BoxAnswer::Yes);
    ASSERT_EQ(list.deleteSharedList(dane, numer), 0);
    EXPECT_EQ(slotId, 0);
    std::vector<int32_t> lists;
    for (int32_t at : offsets) {
        SubscriberRecord r{};
        ASSERT_EQ(dane.ReadRecord(at, &r), 0);
        lists.push_back(r.alarm_list);
    }
    EXPECT_EQ(lists, (std::vector<int32_t>{0, otherId, 0, 0}));
    EXPECT_EQ(s.alarmy.firstFree(), sharedId);

    // Declined: nothing changes.
    Int32Le other = otherId;
    AlarmsTableList kept = s.open(other);
    s.ui.answers.push_back(BoxAnswer::No);
    EXPECT_EQ(kept.deleteSharedList(dane, numer), -1);
    EXPECT_EQ(other, otherId);
}

TEST(EventListLines, MarksOfTheListLine) {
    ListStation s;
    ConfigBlock config{};
    config.special_codes[0] = 0x602;
    config.special_codes[1] = 0;
    config.special_codes[2] = 0x130; // after an unconfigured entry: no "T"
    Int32Le id = s.ownList({
        LUT_ENTRY::make(0x0E1, 0x130, 9, true, 4095, true),
        LUT_ENTRY::make(0x0E2, 0x401, 0, false, 17, true),
        LUT_ENTRY::make(0x402, 0x402),
        LUT_ENTRY::make(0x602, 0x602),
    });
    AlarmsTableList list = s.open(id);
    auto line = [&](int i) { return Utf8FromMazovia(eventListLine(list, i, s.events, config)); };
    // The full name fills 30 columns (counted in stored letters), then the marks.
    auto padded = [](const std::string& utf8) { return utf8 + std::string(30 - mz(utf8).size(), ' '); };
    EXPECT_EQ(line(0), "0E1 WLAMANIE " + padded("Włamanie") + "*N BS ");
    EXPECT_EQ(line(1), "0E2 ZALACZ   " + padded("Załączenie") + " N017 Z");
    EXPECT_EQ(line(2), "402 WYLACZ   " + padded("Wyłączenie") + "      W");
    EXPECT_EQ(line(3), "602 TEST     " + padded("Test okresowy") + "      T");
    EXPECT_EQ(eventListLineClass(list, 0, s.events), 9);
    EXPECT_EQ(eventListLineClass(list, 1, s.events), 2);

    const std::string printout = Utf8FromMazovia(subscriberListPrintout(list, 42, s.events, config));
    EXPECT_EQ(printout.substr(0, printout.find("0E1")),
              "\r\n####################       LISTA ZDARZEŃ ABONENTA 0042      ####################\r\n");
    EXPECT_TRUE(contains(printout, "0E2 (401) ZALACZ   " + padded("Załączenie") + " N017 Z\r\n")) << printout;
}

TEST(EventListLines, StandardTablePrintout) {
    ListStation s;
    const std::string text = Utf8FromMazovia(standardTablePrintout(s.events));
    const std::string hashes = "####################";
    EXPECT_EQ(text, "\r\n" + hashes + std::string(12, ' ') + " LISTA ZDARZEŃ " + std::string(12, ' ') + hashes +
                        "\r\n"
                        "130 WLAMANIE Włamanie                      \r\n"
                        "401 ZALACZ   Załączenie                    \r\n"
                        "402 WYLACZ   Wyłączenie                    \r\n"
                        "602 TEST     Test okresowy                 \r\n" +
                        hashes + hashes + hashes + hashes + "\r\n");
}

TEST(ShareLst, SlotsAndTheirLines) {
    ListStation s;
    EXPECT_EQ(s.shared.slotLine(0), "00 standard  ");
    EXPECT_EQ(s.shared.Count(), 1);
    s.shared.setSlot(2, 5994 + 32, "");
    s.shared.setSlot(4, 32, "BIURA");
    EXPECT_EQ(s.shared.slotLine(2), "02 ?");
    EXPECT_EQ(s.shared.slotLine(3), "03 ");
    EXPECT_EQ(s.shared.slotLine(4), "04 BIURA     ");
    EXPECT_EQ(s.shared.slotOf(0), -1);
    EXPECT_EQ(s.shared.slotOf(32), 4);
    EXPECT_EQ(s.shared.slotOf(999), 0);
    EXPECT_EQ(s.shared.Count(), 3);
    ASSERT_EQ(s.shared.save(), 0);
    ShareLst again(s.data, s.messages);
    ASSERT_EQ(again.load(), 0);
    EXPECT_EQ(again.slotOf(32), 4);
    EXPECT_EQ(again.nameOf(0), "standard");
}

} // namespace
} // namespace k4
