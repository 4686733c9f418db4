#include "database/subscriber_index_link.h"
#include "database/subscriber_saving.h"
#include "database/subscriber_search.h"

#include "database/codepage.h"
#include "database/text_edge.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace k4 {
namespace {

// Throws, unless a test lets an index fail quietly to see what the store
// does with an index that cannot take keys.
struct TestIndexFailure final : IndexFailure {
    bool quiet = false;
    std::vector<std::string> failures;
    void indexFailed(const std::string& message, const std::string& path, int64_t) override {
        if (!quiet) throw std::runtime_error(message + " " + path);
        failures.push_back(message + " " + path);
    }
};

template <size_t N>
void put(char (&field)[N], const std::string& utf8) {
    const std::string stored = MazoviaFromUtf8(utf8);
    std::memset(field, 0, N);
    std::memcpy(field, stored.data(), std::min(stored.size(), N - 1));
}

// The station's own wiring of the store to the index files, over a
// temporary directory.
struct IndexedStoreTest : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    test::RecordingHistory history;
    IndexPageCache cache;
    TestIndexFailure failure;
    SubscriberIndexes indexes{DataDir(tmp.path()), cache, failure, messages};
    SubscriberIndexLink link{indexes};
    test::FakeSharedLists shared;
    test::FakeSupervisedLists supervised;
    ConfigBlock config{};
    SubscriberDatabase db{DataDir(tmp.path()), messages, history, config, {link, shared, supervised}};

    IndexedStoreTest() {
        for (int i = 0; i < kDbFileCount; ++i) {
            const RecordFileDescriptor& d = descriptorOf(static_cast<DbFile>(i));
            EXPECT_GE(db.file(static_cast<DbFile>(i)).OpenOrCreate(d.name, d.recordSize), 0);
            if (d.onDemand) db.file(static_cast<DbFile>(i)).Close();
        }
        EXPECT_EQ(indexes.openAll(true), 0);
    }
    ~IndexedStoreTest() override { indexes.closeAll(); }

    SubscriberRecord recordOf(int number, const std::string& name, const std::string& tel,
                              const std::string& gsm) {
        Sbscrbr s(db);
        s.record.object = static_cast<int16_t>(number);
        put(s.record.name, name);
        put(s.record.town, "Radom");
        put(s.record.address, "Lipowa 3");
        put(s.record.passwd, "ala ma kota");
        put(s.record.tel, tel);
        put(s.record.tel_gsm, gsm);
        return s.record;
    }
    int32_t saveNew(int number, const std::string& name, const std::string& tel = "", const std::string& gsm = "") {
        int32_t at = 0;
        EXPECT_EQ(saveNewSubscriber(db, indexes, recordOf(number, name, tel, gsm), at), kSubscriberSaved);
        return at;
    }
    // Every (text, value) of an index, in key order.
    std::vector<std::pair<std::string, int32_t>> contents(int index) {
        IndexHandle& h = indexes.handle(index);
        const bool opened = !h.isOpen();
        if (opened) {
            EXPECT_EQ(h.OpenIndex(DataDir(tmp.path()), indexDescriptor(index).name, indexDescriptor(index).duplicates), 0);
        }
        std::vector<std::pair<std::string, int32_t>> out;
        IndexKey key;
        for (int r = h.First(key); r == kIndexFound; r = h.Next(key)) out.emplace_back(key.text, key.value);
        if (opened) h.CloseIndex();
        return out;
    }
    // How many entries of all six indexes belong to the subscriber.
    int entriesOf(int number, int32_t record) {
        int found = 0;
        for (int i = 0; i < kSubscriberIndexCount; ++i)
            for (const auto& [text, value] : contents(i)) found += value == (i == kIndexPhone ? number : record);
        return found;
    }
};

TEST_F(IndexedStoreTest, SavedSubscribersAreLoadedByNumberAndDeletedWithEveryKey) {
    const int32_t first = saveNew(12, "Kowalski Jan", "0481234567", "0:6010203");
    const int32_t second = saveNew(13, "Łoś Ewa", "483334444");
    // Number, name, town, address, password and both phones.
    EXPECT_EQ(entriesOf(12, first), 7);
    EXPECT_EQ(entriesOf(13, second), 6);

    Sbscrbr loaded(db, ByNumber{12});
    ASSERT_TRUE(loaded.valid);
    EXPECT_FALSE(loaded.unindexed);
    EXPECT_EQ(loaded.offset(), first);
    EXPECT_STREQ(loaded.record.name, MazoviaFromUtf8("Kowalski Jan").c_str());
    EXPECT_EQ(indexes.ownerOfPhone("6010203"), 12);

    Sbscrbr fresh(db, ByNumber{14});
    EXPECT_TRUE(fresh.valid);
    EXPECT_TRUE(fresh.unindexed);
    EXPECT_EQ(fresh.offset(), 0);

    ASSERT_EQ(loaded.Delete(true), 0) << (ui.boxes.empty() ? "" : ui.boxes.back().text);
    EXPECT_EQ(entriesOf(12, first), 0);
    EXPECT_FALSE(indexes.recordOfNumber(12));
    EXPECT_FALSE(indexes.ownerOfPhone("481234567"));
    EXPECT_EQ(db.file(DbFile::Dane).firstFree(), first);
    // The other subscriber keeps all its keys.
    EXPECT_EQ(entriesOf(13, second), 6);
    Sbscrbr other(db, ByNumber{13});
    EXPECT_EQ(other.offset(), second);
}

TEST_F(IndexedStoreTest, EmptyFieldsGiveEmptyKeysThatSurviveAReopen) {
    // A key of an empty field is the shortest entry a page can hold; as the
    // last entry of a page it must still read back.
    SubscriberRecord record = recordOf(7, "", "", "");
    record.town[0] = record.address[0] = record.passwd[0] = '\0';
    int32_t at = 0;
    ASSERT_EQ(saveNewSubscriber(db, indexes, record, at), kSubscriberSaved);
    indexes.closeAll();
    ASSERT_EQ(indexes.openAll(false), 0);
    for (int i : {kIndexName, kIndexTown, kIndexAddress, kIndexPassword}) {
        SCOPED_TRACE(indexDescriptor(i).name);
        EXPECT_EQ(contents(i), (std::vector<std::pair<std::string, int32_t>>{{"", at}}));
    }
    Sbscrbr s(db, ByNumber{7});
    ASSERT_EQ(s.offset(), at);
    EXPECT_EQ(s.Delete(true), 0);
    EXPECT_EQ(entriesOf(7, at), 0);
}

TEST_F(IndexedStoreTest, TakenNumberIsRefusedBeforeAnythingIsWritten) {
    saveNew(5, "Nowak");
    const std::string dane = tmp.read("dane");
    int32_t at = 0;
    EXPECT_EQ(saveNewSubscriber(db, indexes, recordOf(5, "Inny", "", ""), at), kSubscriberNumberTaken);
    EXPECT_EQ(tmp.read("dane"), dane);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "W bazie istnieje już abonent o podanym numerze 0005");
    EXPECT_EQ(contents(kIndexName).size(), 1u);
}

TEST_F(IndexedStoreTest, IndexThatCannotTakeTheKeysLeavesNoHalfSavedSubscriber) {
    saveNew(1, "Pierwszy", "111");
    // "adres" cannot be opened: the number and the name are in by then.
    std::filesystem::remove(tmp.path() + "/adres");
    std::filesystem::create_directory(tmp.path() + "/adres");
    failure.quiet = true;
    int32_t at = 0;
    EXPECT_EQ(saveNewSubscriber(db, indexes, recordOf(2, "Drugi", "222", ""), at), kSubscriberNotSaved);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, " Błąd  zapisu indeksów");
    EXPECT_FALSE(failure.failures.empty());
    failure.quiet = false;
    EXPECT_FALSE(indexes.recordOfNumber(2));
    EXPECT_EQ(contents(kIndexNumber).size(), 1u);
    EXPECT_EQ(contents(kIndexName).size(), 1u);
    EXPECT_EQ(contents(kIndexTown).size(), 1u);
    // Its record went back on the free chain and is the next one used.
    const int32_t freed = db.file(DbFile::Dane).firstFree();
    EXPECT_EQ(freed, 32 + 1575);
    std::filesystem::remove(tmp.path() + "/adres");
    ASSERT_EQ(indexes.handle(kIndexAddress).CreateIndex(DataDir(tmp.path()), "adres", true), 0);
    indexes.handle(kIndexAddress).CloseIndex();
    EXPECT_EQ(saveNew(2, "Drugi"), freed);
}

TEST_F(IndexedStoreTest, SearchByNumberNamePasswordAndPhoneWithItsOtherOwners) {
    const int32_t nowak = saveNew(7, "Nowak", "226301001");
    const int32_t kowalski = saveNew(12, "Kowalski", "", "226301001");
    const int32_t kowalczyk = saveNew(30, "Kowalczyk");
    SubscriberSearch search(DataDir(tmp.path()), indexes, messages);
    auto found = [&](SubscriberSearchFields f) { return search.search(f); };
    auto told = [&] {
        std::string text = ui.boxes.empty() ? "" : ui.boxes.back().text;
        ui.boxes.clear();
        return text;
    };

    EXPECT_EQ(found({12, "Nowak"})->offset, kowalski) << "the number goes first";
    EXPECT_EQ(found({12, "Nowak"})->kind, kSearchByNumber);
    EXPECT_FALSE(found({99}));
    EXPECT_EQ(told(), "Nie ma takiego abonenta");
    // The beginning of a name, in Polish order and any case.
    EXPECT_EQ(found({0, mz("kowal")})->offset, kowalczyk);
    EXPECT_EQ(found({0, "KOWALS"})->kind, kSearchByName);
    EXPECT_FALSE(found({0, "Kowalz"}));
    EXPECT_EQ(told(), "Nie ma takiego abonenta");
    EXPECT_EQ(found({0, "", "ala ma"})->kind, kSearchByPassword);
    EXPECT_EQ(found({0, "", "", ""})->offset, -1) << "nothing filled: nobody, the dialog closes";
    EXPECT_FALSE(search.nextOffered());

    // One phone, two subscribers: the first, then "&Następny" for the other,
    // then nothing more and the last one stays chosen.
    const auto first = found({0, "", "", "226301001"});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, kSearchByPhone);
    EXPECT_TRUE(search.nextOffered());
    const SubscriberFound second = search.next(*first);
    EXPECT_NE(second.offset, first->offset);
    EXPECT_TRUE((first->offset == nowak && second.offset == kowalski) ||
                (first->offset == kowalski && second.offset == nowak));
    EXPECT_EQ(search.next(second).offset, second.offset);
    EXPECT_EQ(told(), "Nie ma innego abonenta z tym numerem.");
    EXPECT_FALSE(found({0, "", "", "226309999"}));
    EXPECT_EQ(told(), "Nie ma takiego abonenta");
    EXPECT_TRUE(search.nextOffered()) << "a phone search that found nobody leaves the button as it was";
    EXPECT_TRUE(found({30}));
    EXPECT_FALSE(search.nextOffered());
}

TEST_F(IndexedStoreTest, NextOwnersOfAPhoneNeedOnlyBeginWithTheTypedDigits) {
    const int32_t exact = saveNew(40, "Adamski", "22630100");
    const int32_t longer = saveNew(41, "Bielski", "", "226301005");
    saveNew(42, "Cichy", "22630101"); // does not begin with the digits
    SubscriberSearch search(DataDir(tmp.path()), indexes, messages);

    const auto first = search.search({0, "", "", "22630100"});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->offset, exact) << "the first owner has the digits exactly";
    const SubscriberFound second = search.next(*first);
    EXPECT_EQ(second.offset, longer);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(search.next(second).offset, longer) << "the next key begins otherwise: the last one stays";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Nie ma innego abonenta z tym numerem.");
}

} // namespace
} // namespace k4
