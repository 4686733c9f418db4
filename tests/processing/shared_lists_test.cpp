// The shared event lists of the centre over a small database: a new list
// from each base and every refusal, a list removed from its subscribers
// and its slot, a renamed slot, the list of a slot edited in place, and
// the file name of a dump. What matters is what "alarmwsp" and "alarmy"
// hold afterwards, so the table is read back from the disk.
#include "processing_station.h"

#include "database/record_file.h"
#include "database/text_edge.h"
#include "processing/shared_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace k4 {
namespace {

using test::contains;

struct SharedLists : test::ProcessingStation {
    SharedListParts parts{shared, db.file(DbFile::Alarmy), events, messages};

    std::string boxText(size_t i) const { return i < ui.boxes.size() ? ui.boxes[i].text : std::string(); }
    // The table as the next start reads it.
    std::unique_ptr<ShareLst> onDisk() {
        auto again = std::make_unique<ShareLst>(data, messages);
        EXPECT_EQ(again->load(), 0);
        return again;
    }
    std::vector<int> codesOf(int32_t listId) {
        Int32Le id = listId;
        AlarmsTableList list(db.file(DbFile::Alarmy), events, messages, id, 0, &shared);
        EXPECT_TRUE(list.loaded());
        std::vector<int> codes;
        for (int i = 0; i < list.count(); ++i) codes.push_back(list.entry(i).objCode());
        return codes;
    }
    // A shared list of these codes (each mapped to 0x130) in a slot.
    int32_t sharedList(int slot, const char* name, std::initializer_list<int> codes) {
        Int32Le id = 0;
        AlarmsTableList list(db.file(DbFile::Alarmy), events, messages, id, 0, &shared);
        list.buildStandard(false);
        for (int c : codes) list.entries().Add(LUT_ENTRY::make(c, 0x130));
        EXPECT_EQ(list.save(), 0);
        shared.setSlot(slot, id, name);
        EXPECT_EQ(shared.save(), 0);
        return id;
    }
    std::string listFile(std::initializer_list<int> codes) {
        std::string image(kListRecordSize, '\0');
        size_t at = 0;
        for (int c : codes) {
            const LUT_ENTRY e = LUT_ENTRY::make(c, 0x130);
            std::memcpy(image.data() + at, &e, sizeof e);
            at += sizeof e;
        }
        return image;
    }
};

TEST(SharedListsCreate, EveryBaseGivesANewRecordInTheSlot) {
    struct Case {
        const char* what;
        NewListBase base;
        std::vector<int> codes; // of the new list
    };
    const std::vector<Case> cases = {
        {"Pustej", NewListBase::Empty, {}},
        {"Wspólnej", NewListBase::Shared, {0x0E1, 0x0E2}},
        {"Wspólnej: standard", NewListBase::Shared, {0x110, 0x130, 0x1E0, 0x300, 0x309, 0x401, 0x402, 0x602, 0x603, 0x604}},
        {"Abonenta", NewListBase::Subscriber, {0x0E7}},
        {"Abonenta: standard", NewListBase::Subscriber, {0x110, 0x130, 0x1E0, 0x300, 0x309, 0x401, 0x402, 0x602, 0x603, 0x604}},
        {"Z dysku", NewListBase::Disk, {0x0A1, 0x0A2, 0x0A3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SharedLists s;
        const int32_t source = s.sharedList(2, "BIURA", {0x0E1, 0x0E2});
        const int32_t own = s.ownList({LUT_ENTRY::make(0x0E7, 0x130)});
        NewSharedList request;
        request.slot = 5;
        request.name = mz("SKLEPY");
        request.base = c.base;
        const bool standard = std::string(c.what).find("standard") != std::string::npos;
        if (c.base == NewListBase::Shared) request.sourceList = standard ? 0 : source;
        if (c.base == NewListBase::Subscriber) request.sourceList = standard ? 0 : own;
        if (c.base == NewListBase::Disk) {
            s.dir.write("lista.al", s.listFile({0x0A1, 0x0A2, 0x0A3}));
            request.file = s.dir.file("lista.al");
        }
        ASSERT_EQ(createSharedList(s.parts, request), 0);
        EXPECT_TRUE(s.ui.boxes.empty());

        auto table = s.onDisk();
        const int32_t made = table->slot(5).listId;
        EXPECT_NE(made, 0);
        EXPECT_NE(made, source);
        EXPECT_NE(made, own);
        EXPECT_EQ(table->nameOf(5), mz("SKLEPY"));
        EXPECT_EQ(table->slotOf(source), 2);
        EXPECT_EQ(s.codesOf(made), c.codes);
        EXPECT_EQ(s.codesOf(source), (std::vector<int>{0x0E1, 0x0E2})) << "the source list is left as it was";
    }
}

TEST(SharedListsCreate, RefusalsLeaveTheTableAndTheRecordsAsTheyWere) {
    SharedLists s;
    const int32_t taken = s.sharedList(3, "BIURA", {0x0E1});
    const int64_t records = s.db.file(DbFile::Alarmy).recordCount();
    struct Case {
        const char* what;
        NewSharedList request;
        int result;
        const char* told;
    };
    NewSharedList used;
    used.slot = 3;
    NewSharedList outside;
    outside.slot = 16;
    NewSharedList ofSharedUser;
    ofSharedUser.base = NewListBase::Subscriber;
    ofSharedUser.sourceList = taken;
    NewSharedList shortFile;
    shortFile.base = NewListBase::Disk;
    s.dir.write("krotka.al", std::string(600, '\0'));
    shortFile.file = s.dir.file("krotka.al");
    NewSharedList unordered;
    unordered.base = NewListBase::Disk;
    s.dir.write("obca.al", s.listFile({0x0A2, 0x0A1}));
    unordered.file = s.dir.file("obca.al");
    const std::vector<Case> cases = {
        {"a used position", used, 1, "Istnieje już lista zdarzeń o tym numerze. Najpierw musi ona zostać usunięta!"},
        {"outside 1..15", outside, 1, "Pozycja spoza zakresu 1..15"},
        {"a subscriber on a shared list", ofSharedUser, 1, "Abonent używa wspólnej listy zdarzeń"},
        {"a short file", shortFile, -1, "wczytania listy zdarzeń"},
        {"a file out of order", unordered, -1, "wczytania listy zdarzeń"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s.ui.boxes.clear();
        EXPECT_EQ(createSharedList(s.parts, c.request), c.result);
        ASSERT_EQ(s.ui.boxes.size(), 1u);
        EXPECT_TRUE(contains(s.ui.boxes[0].text, c.told)) << s.ui.boxes[0].text;
        auto table = s.onDisk();
        EXPECT_EQ(table->Count(), 2);
        EXPECT_EQ(table->slot(1).listId, 0);
        EXPECT_EQ(s.db.file(DbFile::Alarmy).recordCount(), records);
    }
}

TEST(SharedListsCreate, AnUnreadableTableMakesNoList) {
    SharedLists s;
    s.dir.write("alarmwsp", "uszkodzona");
    EXPECT_EQ(s.shared.load(), -1);
    const int64_t records = s.db.file(DbFile::Alarmy).recordCount();
    NewSharedList request;
    request.slot = 1;
    EXPECT_EQ(createSharedList(s.parts, request), -1);
    EXPECT_TRUE(contains(s.boxText(0), "zapisu listy"));
    EXPECT_EQ(s.db.file(DbFile::Alarmy).recordCount(), records);
    EXPECT_EQ(s.dir.read("alarmwsp"), "uszkodzona");
}

// The table read, then spoilt on the disk under the station: the list made
// for it goes back to the free chain and its slot stays free; a list being
// removed keeps its slot and its record, only its subscribers have left it.
TEST(SharedListsCreate, ATableThatCannotBeWrittenLeavesNoListBehind) {
    SharedLists s;
    const int32_t biura = s.sharedList(4, "BIURA", {0x0E1});
    s.addSubscriber(1001, [&](SubscriberRecord& r) { r.alarm_list = biura; });
    s.dir.write("alarmwsp", std::string(300, 'x'));

    NewSharedList request;
    request.slot = 1;
    EXPECT_EQ(createSharedList(s.parts, request), -1);
    EXPECT_TRUE(contains(s.boxText(0), "zapisu listy"));
    EXPECT_EQ(s.shared.slot(1).listId, 0);
    const int32_t freed = s.db.file(DbFile::Alarmy).firstFree();
    EXPECT_GT(freed, 0) << "the new record is freed again";

    s.ui.boxes.clear();
    s.ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(removeSharedList(s.parts, 4, s.db.file(DbFile::Dane), s.indexes.handle(kIndexNumber)), -1);
    EXPECT_TRUE(contains(s.boxText(1), "zapisu listy"));
    EXPECT_EQ(s.shared.slot(4).listId, biura);
    EXPECT_EQ(s.db.file(DbFile::Alarmy).firstFree(), freed) << "the list's record is not freed";
    EXPECT_EQ(s.codesOf(biura), std::vector<int>{0x0E1});
    EXPECT_EQ(s.stored(1001).alarm_list, 0);
}

TEST(SharedListsRemove, ItsSubscribersGoBackToTheStandardListAndTheSlotIsFree) {
    SharedLists s;
    const int32_t biura = s.sharedList(4, "BIURA", {0x0E1});
    const int32_t sklepy = s.sharedList(6, "SKLEPY", {0x0E2});
    s.addSubscriber(1001, [&](SubscriberRecord& r) { r.alarm_list = biura; });
    s.addSubscriber(1002, [&](SubscriberRecord& r) { r.alarm_list = sklepy; });
    s.addSubscriber(1003, [&](SubscriberRecord& r) { r.alarm_list = biura; });
    RecordFile& dane = s.db.file(DbFile::Dane);
    IndexHandle& numer = s.indexes.handle(kIndexNumber);

    s.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(removeSharedList(s.parts, 4, dane, numer), -1);
    EXPECT_EQ(s.onDisk()->slot(4).listId, biura);
    EXPECT_EQ(s.stored(1001).alarm_list, biura);

    EXPECT_EQ(removeSharedList(s.parts, 0, dane, numer), 1) << "the standard list stays";
    EXPECT_EQ(removeSharedList(s.parts, 5, dane, numer), 1) << "a free slot";

    s.ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(removeSharedList(s.parts, 4, dane, numer), 0);
    EXPECT_EQ(s.stored(1001).alarm_list, 0);
    EXPECT_EQ(s.stored(1002).alarm_list, sklepy);
    EXPECT_EQ(s.stored(1003).alarm_list, 0);
    auto table = s.onDisk();
    EXPECT_EQ(table->slot(4).listId, 0);
    EXPECT_EQ(table->slotOf(sklepy), 6);
    EXPECT_EQ(s.db.file(DbFile::Alarmy).firstFree(), biura);
}

TEST(SharedListsRemove, WithoutTheNumberIndexNothingIsFreed) {
    SharedLists s;
    const int32_t biura = s.sharedList(4, "BIURA", {0x0E1});
    IndexHandle& numer = s.indexes.handle(kIndexNumber);
    numer.CloseIndex();
    s.ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(removeSharedList(s.parts, 4, s.db.file(DbFile::Dane), numer), -1);
    EXPECT_TRUE(contains(s.boxText(1), "ustawienia indeksu"));
    EXPECT_EQ(s.onDisk()->slot(4).listId, biura);
    EXPECT_EQ(s.db.file(DbFile::Alarmy).firstFree(), -1);
}

TEST(SharedListsRename, TheNewNameIsOnTheDisk) {
    SharedLists s;
    s.sharedList(2, "BIURA", {0x0E1});
    ASSERT_EQ(renameSharedList(s.shared, 2, mz("Łódź")), 0);
    EXPECT_EQ(Utf8FromMazovia(s.onDisk()->nameOf(2)), "Łódź");
    EXPECT_EQ(renameSharedList(s.shared, 3, "WOLNY"), 1);
    EXPECT_EQ(s.onDisk()->slot(3).listId, 0);
}

TEST(SharedListsSlot, TheListOfASlotIsEditedInPlaceForEveryoneUsingIt) {
    SharedLists s;
    const int32_t biura = s.sharedList(2, "BIURA", {0x0E1});
    s.addSubscriber(1001, [&](SubscriberRecord& r) { r.alarm_list = biura; });

    Int32Le holder = 0;
    auto standard = openSlotList(s.parts, 0, holder);
    EXPECT_EQ(standard->count(), 10) << "slot 0: every defined code";
    EXPECT_EQ(holder, 0);

    auto list = openSlotList(s.parts, 2, holder);
    ASSERT_TRUE(list->loaded());
    ASSERT_EQ(list->putEntry(LUT_ENTRY::make(0x0E9, 0x110), 0), 0);
    EXPECT_EQ(holder, biura) << "the shared record itself, not a copy";
    EXPECT_EQ(s.onDisk()->slot(2).listId, biura);
    EXPECT_EQ(s.codesOf(biura), (std::vector<int>{0x0E1, 0x0E9}));
    // The subscriber on the list hears of the new code at once.
    s.process(1001, 1, 0x0E9, 5, test::kRadioLink);
    ASSERT_FALSE(s.entries().empty());
    EXPECT_EQ(s.entries().back().kindCode(), 0x110);
}

TEST(SharedListsSlot, AListThatCannotBeReadIsToldAndShownEmpty) {
    SharedLists s;
    s.shared.setSlot(7, 0x7FFF0000, "ZGUBIONA");
    Int32Le holder = 0;
    auto list = openSlotList(s.parts, 7, holder);
    EXPECT_FALSE(list->loaded());
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(contains(s.boxText(0), "odczytu tablicy LUT"));
}

TEST(SharedListsDump, TheFileNameOfAList) {
    struct Case {
        std::string name; // UTF-8
        std::string file;
    };
    for (const Case& c : std::vector<Case>{{"BIURA", "BIURA.al"},
                                           {"", "standard.al"},
                                           {"standard", "standard.al"},
                                           {"A/B", "A_B.al"},
                                           {"Łódź  ", "Łódź.al"},
                                           {"DZIEWIECIU", "DZIEWIEC.al"}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listDumpName(mz(c.name)), c.file);
    }
}

} // namespace
} // namespace k4
