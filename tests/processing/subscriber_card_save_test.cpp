// The subscriber card's save over a real store and real indexes: a new
// subscriber found again through every index, a changed name, phone and
// number with the keys following, a number that is taken refused with
// nothing moved, an index that fails half-way leaving the store as it was,
// and the history entries of editing and of the rescheduling after it.
#include "processing_station.h"

#include "database/subscriber_card_fields.h"
#include "database/subscriber_card_save.h"
#include "processing/arming_supervision.h"
#include "processing/card_rescheduling.h"
#include "processing/test_supervision.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace k4 {
namespace {

struct CardRig : test::ProcessingStation {
    PathTypeTable types;
    TestSupervisor tests{{config, types, scheduler, db, indexes, processing, history, messages}};
    ArmingSupervisor arming{{config, clock, scheduler, db, indexes, processing, history, messages}};

    // Every (key, value) pair of an index file.
    std::set<std::pair<std::string, int32_t>> keys(int index) {
        IndexHandle h(cache, indexFailure);
        const bool open = indexes.handle(index).isOpen();
        IndexHandle& use = open ? indexes.handle(index) : h;
        if (!open) {
            EXPECT_EQ(use.OpenIndex(data, indexDescriptor(index).name, indexDescriptor(index).duplicates), 0);
        }
        std::set<std::pair<std::string, int32_t>> out;
        IndexKey key;
        for (int r = use.First(key); r == kIndexFound; r = use.Next(key)) out.emplace(key.text, key.value);
        return out;
    }
    // The keys of every index, for comparing the whole set before and after.
    std::vector<std::set<std::pair<std::string, int32_t>>> allKeys() {
        std::vector<std::set<std::pair<std::string, int32_t>>> all;
        for (int i = 0; i < kSubscriberIndexCount; ++i) all.push_back(keys(i));
        return all;
    }
    CardFields fields(int number, const char* name, const char* tel) {
        CardFields f;
        f.object = number;
        f.name = name;
        f.town = "Radom";
        f.code = "26-600";
        f.address = "Lipowa 3";
        f.tel = tel;
        f.telGsm = "600100200";
        f.ip = "10.0.0.7";
        f.passwd = "ala ma ko";
        f.tracks = kTrackGsm | 0x01;
        f.gsmOperator = 2;
        return f;
    }
    std::vector<std::pair<int, int>> systemEntries() const {
        std::vector<std::pair<int, int>> out;
        for (const HistoryEntry& e : entries()) out.emplace_back(e.kindCode(), e.subscriber);
        return out;
    }
};

TEST(CardFields, TheInputsGoIntoTheRecordByTheirRules) {
    SubscriberRecord r{};
    r.tracks_nbr = 0x23;
    CardFields f;
    f.object = 12;
    f.name = std::string(40, 'N'); // cut to the field
    f.code = "26-600";
    f.ip = "10.1.2.3";
    f.tracks = kTrackRadio | kTrackGsm;
    f.radioBase = 4;
    f.fixedBase = 0; // the fixed-line path is not ticked: its base stays
    f.gsmOperator = 3;
    copyCardIntoRecord(f, r);
    EXPECT_EQ(std::string(r.name), std::string(29, 'N'));
    EXPECT_STREQ(r.code, "26600");
    EXPECT_EQ(static_cast<uint32_t>(static_cast<int32_t>(r.ip)) & 0xFF, 10u) << "10 in the first byte: a GPRS subscriber";
    EXPECT_EQ(r.tracks_nbr, 0x43);
    EXPECT_EQ(r.gsm_operator, 3);
    EXPECT_EQ(cardFieldsOf(r).ip, "10.1.2.3");
    EXPECT_EQ(postalCodeShown(r.code), "26-600");

    for (const char* bad : {"10.1.2", "10.1.2.3.4", "300.1.1.1", "a.b.c.d", "", "1..2.3"})
        EXPECT_EQ(ipFromText(bad), 0) << bad;
}

TEST(CardFields, AnOperatorOutOfRangeShowsAsAny) {
    SubscriberRecord r{};
    r.gsm_operator = 9;
    r.tracks_nbr = 0x9F;
    const CardFields f = cardFieldsOf(r);
    EXPECT_EQ(f.gsmOperator, 0);
    EXPECT_EQ(f.radioBase, 4);
    EXPECT_EQ(f.fixedBase, 4);
}

TEST(SubscriberCardSave, ANewSubscriberIsFoundAgainThroughEveryIndex) {
    CardRig rig;
    Sbscrbr card(rig.db, ByNumber{1234});
    ASSERT_TRUE(card.valid && card.unindexed);
    EXPECT_STREQ(card.record.town, "") << "the default town of this configuration is empty";
    copyCardIntoRecord(rig.fields(1234, "Kowalski Jan", "0481234567"), card.record);
    ASSERT_EQ(saveSubscriberCard(rig.db, rig.indexes, card), kCardSaved);
    const int32_t at = card.offset();
    ASSERT_NE(at, 0);
    EXPECT_FALSE(card.unindexed);

    EXPECT_EQ(rig.indexes.recordOfNumber(1234), std::optional<int32_t>(at));
    EXPECT_EQ(rig.indexes.ownerOfPhone("481234567"), std::optional<int>(1234));
    EXPECT_EQ(rig.indexes.ownerOfPhone("600100200"), std::optional<int>(1234));
    EXPECT_TRUE(rig.keys(kIndexName).count({"KOWALSKI JAN", at}));
    EXPECT_TRUE(rig.keys(kIndexTown).count({"RADOM", at}));
    EXPECT_TRUE(rig.keys(kIndexAddress).count({"LIPOWA 3", at}));
    EXPECT_TRUE(rig.keys(kIndexPassword).count({"ALAMAKO", at}));

    const SubscriberRecord stored = rig.stored(1234);
    EXPECT_STREQ(stored.tel, "0481234567");
    EXPECT_EQ(stored.gsm_operator, 2);
}

TEST(SubscriberCardSave, ChangedNamePhoneAndNumberTakeTheirKeysAlong) {
    CardRig rig;
    const int32_t at = rig.addSubscriber(501, [](SubscriberRecord& r) {
        std::strcpy(r.tel, "0481111111");
        std::strcpy(r.town, "Radom");
        std::strcpy(r.passwd, "stare");
    });
    ASSERT_EQ(rig.indexes.ownerOfPhone("481111111"), std::optional<int>(501));

    Sbscrbr card(rig.db, AtOffset{at});
    CardFields f = cardFieldsOf(card.record);
    f.object = 777;
    f.name = "Nowak Anna";
    f.tel = "0482222222";
    copyCardIntoRecord(f, card.record);
    ASSERT_EQ(saveSubscriberCard(rig.db, rig.indexes, card), kCardSaved);

    EXPECT_FALSE(rig.indexes.recordOfNumber(501));
    EXPECT_EQ(rig.indexes.recordOfNumber(777), std::optional<int32_t>(at));
    EXPECT_FALSE(rig.indexes.ownerOfPhone("481111111"));
    EXPECT_EQ(rig.indexes.ownerOfPhone("482222222"), std::optional<int>(777));
    const auto names = rig.keys(kIndexName);
    EXPECT_TRUE(names.count({"NOWAK ANNA", at}));
    EXPECT_FALSE(names.count({"ABONENT 501", at}));
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(rig.keys(kIndexTown).size(), 1u) << "an unchanged key is not doubled";
    EXPECT_STREQ(rig.stored(777).name, "Nowak Anna");
}

TEST(SubscriberCardSave, ANumberThatIsTakenIsRefusedAndNothingMoves) {
    CardRig rig;
    rig.addSubscriber(5);
    const int32_t at = rig.addSubscriber(6);
    const std::string dane = rig.dir.read("dane");
    const auto before = rig.allKeys();

    Sbscrbr card(rig.db, AtOffset{at});
    card.record.object = 5;
    std::strcpy(card.record.name, "Zmieniony");
    EXPECT_EQ(saveSubscriberCard(rig.db, rig.indexes, card), kCardKeptOpen);
    EXPECT_EQ(rig.shown().back(), "W bazie istnieje już abonent o podanym numerze 0005");
    EXPECT_EQ(rig.dir.read("dane"), dane);
    EXPECT_EQ(rig.allKeys(), before);
    EXPECT_STREQ(card.record.name, "Zmieniony") << "the operator's inputs stay on the card";

    // A new subscriber under a taken number is refused the same way.
    Sbscrbr fresh(rig.db, ByNumber{7});
    fresh.record.object = 6;
    EXPECT_EQ(saveSubscriberCard(rig.db, rig.indexes, fresh), kCardKeptOpen);
    EXPECT_EQ(fresh.offset(), 0);
    EXPECT_EQ(rig.dir.read("dane"), dane);
    EXPECT_EQ(rig.allKeys(), before);
}

// An index file that cannot be opened is told to the operator; here it is
// counted instead of failing the test.
struct CountedIndexFailure final : IndexFailure {
    int count = 0;
    void indexFailed(const std::string&, const std::string&, int64_t) override { ++count; }
};

TEST(SubscriberCardSave, AnIndexFailingHalfWayLeavesRecordAndKeysAsBefore) {
    CardRig rig;
    const int32_t at = rig.addSubscriber(40, [](SubscriberRecord& r) { std::strcpy(r.tel, "0483333333"); });
    rig.indexes.closeAll();
    IndexPageCache cache;
    CountedIndexFailure failure;
    SubscriberIndexes indexes{rig.data, cache, failure, rig.messages};
    ASSERT_EQ(indexes.openAll(false), 0);
    auto keysOf = [&](int index) {
        IndexHandle h(cache, failure);
        const bool open = indexes.handle(index).isOpen();
        IndexHandle& use = open ? indexes.handle(index) : h;
        if (!open) {
            EXPECT_EQ(use.OpenIndex(rig.data, indexDescriptor(index).name, indexDescriptor(index).duplicates), 0);
        }
        std::set<std::pair<std::string, int32_t>> out;
        IndexKey key;
        for (int r = use.First(key); r == kIndexFound; r = use.Next(key)) out.emplace(key.text, key.value);
        return out;
    };
    std::vector<std::set<std::pair<std::string, int32_t>>> before;
    for (int i = 0; i < kSubscriberIndexCount; ++i) before.push_back(keysOf(i));
    const std::string dane = rig.dir.read("dane");
    // "adres" cannot be opened: the keys go in up to it and no further.
    namespace fs = std::filesystem;
    const fs::path adres = fs::path(rig.dir.path()) / "adres";
    fs::rename(adres, fs::path(rig.dir.path()) / "adres.kept");
    fs::create_directory(adres);

    Sbscrbr card(rig.db, AtOffset{at});
    card.record.object = 41;
    std::strcpy(card.record.name, "Inna nazwa");
    std::strcpy(card.record.tel, "0484444444");
    EXPECT_EQ(saveSubscriberCard(rig.db, indexes, card), kCardNotSaved);
    EXPECT_GT(failure.count, 0);
    EXPECT_EQ(rig.dir.read("dane"), dane);

    fs::remove(adres);
    fs::rename(fs::path(rig.dir.path()) / "adres.kept", adres);
    for (int i = 0; i < kSubscriberIndexCount; ++i) EXPECT_EQ(keysOf(i), before[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(indexes.recordOfNumber(40), std::optional<int32_t>(at));
    EXPECT_FALSE(indexes.recordOfNumber(41));
}

TEST(SubscriberCardSave, EditingAndTheSavesReschedulingAreNoted) {
    const struct {
        const char* what;
        bool tests, plans;
        int mode;
        std::vector<int> kinds; // after kind 71
    } cases[] = {
        {"tests changed", true, false, 0, {40}},
        {"schedules changed", false, true, 0, {44}},
        {"both", true, true, 0, {40, 44}},
        {"neither", false, false, 0, {}},
        {"a receiving station plans nothing", true, true, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CardRig rig;
        rig.config.mode = static_cast<int16_t>(c.mode);
        const int32_t at = rig.addSubscriber(88, [](SubscriberRecord& r) {
            r.tracks = 0x7F;
            r.test_type1 = kTestDaily;
            r.test_track1 = 0;
            r.test_flags = 0x00F0 | 1;
        });
        const size_t before = rig.entries().size();
        Sbscrbr card(rig.db, AtOffset{at});
        noteCardEditing(rig.db, 88);
        card.tests_changed = c.tests;
        card.plans_changed = c.plans;
        ASSERT_EQ(saveSubscriberCard(rig.db, rig.indexes, card), kCardSaved);
        rescheduleAfterCardSave(card, rig.tests, rig.arming);
        std::vector<std::pair<int, int>> expected{{71, 88}};
        for (int k : c.kinds) expected.emplace_back(k, 88);
        const auto all = rig.systemEntries();
        using Entries = std::vector<std::pair<int, int>>;
        EXPECT_EQ(Entries(all.begin() + static_cast<long>(before), all.end()), expected);
        EXPECT_EQ(rig.scheduler.exists(88, 3, 1), c.tests && c.mode != 2) << "the test deadline planned again";
        EXPECT_FALSE(card.tests_changed || card.plans_changed);
    }
}

} // namespace
} // namespace k4
