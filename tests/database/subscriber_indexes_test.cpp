#include "database/subscriber_indexes.h"

#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace k4 {
namespace {

struct ThrowingFailure final : IndexFailure {
    void indexFailed(const std::string& message, const std::string& path, int64_t) override {
        throw std::runtime_error(message + " " + path);
    }
};

SubscriberKeys subscriber(int number, int32_t record, const std::string& name, const std::string& tel,
                          const std::string& gsm = "") {
    SubscriberKeys s;
    s.number = number;
    s.record = record;
    s.name = name;
    s.town = "Radom";
    s.address = "Ul. Lipowa 3";
    s.passwd = "ala ma kota";
    s.tel = tel;
    s.telGsm = gsm;
    return s;
}

struct SubscriberIndexesTest : ::testing::Test {
    test::TempDir dir;
    IndexPageCache cache;
    ThrowingFailure failure;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    SubscriberIndexes indexes{DataDir(dir.path()), cache, failure, messages};

    SubscriberIndexesTest() { EXPECT_EQ(indexes.openAll(true), 0); }

    // Every (text, value) of an index, in key order.
    std::vector<std::pair<std::string, int32_t>> contents(int index) {
        IndexHandle h(cache, failure);
        EXPECT_EQ(h.OpenIndex(DataDir(dir.path()), indexDescriptor(index).name, indexDescriptor(index).duplicates), 0);
        std::vector<std::pair<std::string, int32_t>> out;
        IndexKey key;
        for (int r = h.First(key); r == kIndexFound; r = h.Next(key)) out.emplace_back(key.text, key.value);
        return out;
    }
};

TEST(SubscriberKeysForm, NumberPhoneAndPasswordKeys) {
    EXPECT_EQ(numberKey(5), "0005");
    EXPECT_EQ(numberKey(-1), "-0001");
    EXPECT_EQ(phoneKey("0481234567"), "481234567");
    EXPECT_EQ(phoneKey("0:481234567"), "481234567");
    EXPECT_EQ(phoneKey("600100200"), "600100200");
    EXPECT_EQ(phoneKey(""), "");
    EXPECT_EQ(passwordKey("ala ma kota"), "alamakota");
}

TEST_F(SubscriberIndexesTest, OpeningCreatesTheSixFilesOnce) {
    for (int i = 0; i < kSubscriberIndexCount; ++i) EXPECT_FALSE(dir.read(indexDescriptor(i).name).empty());
    indexes.closeAll();
    std::array<bool, kSubscriberIndexCount> created{};
    EXPECT_EQ(indexes.openAll(true, &created), 0);
    for (bool c : created) EXPECT_FALSE(c);
}

TEST_F(SubscriberIndexesTest, KeysOfASubscriberGoInAndComeOut) {
    ASSERT_EQ(indexes.AddSubscriberKeys(subscriber(5, 32, "Kowalski Jan", "0481234567", "600100200"), true), 0);
    ASSERT_EQ(indexes.AddSubscriberKeys(subscriber(6, 1607, "Kowalski Jan", ""), true), 0);
    EXPECT_EQ(contents(kIndexName), (std::vector<std::pair<std::string, int32_t>>{{"KOWALSKI JAN", 32}, {"KOWALSKI JAN", 1607}}));
    EXPECT_EQ(contents(kIndexPassword).front().first, "ALAMAKOTA");
    EXPECT_EQ(contents(kIndexPhone), (std::vector<std::pair<std::string, int32_t>>{{"481234567", 5}, {"600100200", 5}}));
    EXPECT_EQ(indexes.recordOfNumber(6), std::optional<int32_t>(1607));
    EXPECT_EQ(indexes.ownerOfPhone("600100200"), std::optional<int>(5));
    EXPECT_FALSE(indexes.ownerOfPhone("511000000").has_value());

    EXPECT_EQ(indexes.RemoveSubscriberKeys(subscriber(5, 32, "Kowalski Jan", "0481234567", "600100200")), 0);
    EXPECT_FALSE(indexes.recordOfNumber(5).has_value());
    EXPECT_TRUE(contents(kIndexPhone).empty());
    EXPECT_EQ(contents(kIndexName).size(), 1u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SubscriberIndexesTest, ASecondSubscriberOfTheSameNumberIsRefused) {
    ASSERT_EQ(indexes.AddSubscriberKeys(subscriber(5, 32, "Nowak", ""), true), 0);
    EXPECT_EQ(indexes.AddSubscriberKeys(subscriber(5, 1607, "Wi\x98niewski", ""), true), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "W bazie istnieje już abonent o podanym numerze 0005");
    EXPECT_EQ(contents(kIndexName).size(), 1u) << "nothing else of it is indexed";
}

TEST_F(SubscriberIndexesTest, RemovalStopsAtAMissingPair) {
    ASSERT_EQ(indexes.AddSubscriberKeys(subscriber(7, 32, "Nowak", "600100300"), true), 0);
    SubscriberKeys other = subscriber(7, 32, "Nowak", "600999999");
    EXPECT_EQ(indexes.RemoveSubscriberKeys(other), kKeysRemovalTold);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Błąd  usunięcia numeru telefonu");
    EXPECT_TRUE(indexes.recordOfNumber(7).has_value()) << "nothing after the missing pair was removed";
    // A missing pair of another index is told by the caller alone.
    ui.boxes.clear();
    EXPECT_EQ(indexes.RemoveSubscriberKeys(subscriber(7, 32, "Kto inny", "600100300")), -1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(indexes.RemoveSubscriberKeys(subscriber(-1, 32, "x", "")), 0);
}

TEST_F(SubscriberIndexesTest, RebuildLeavesOneEntryPerSubscriber) {
    std::map<int32_t, SubscriberKeys> records;
    for (int i = 1; i <= 30; ++i) {
        auto s = subscriber(i, 32 + 1575 * i, "Abonent " + std::to_string(i % 7), i % 3 ? "0" + std::to_string(480000000 + i) : "");
        records[s.record] = s;
        ASSERT_EQ(indexes.AddSubscriberKeys(s, true), 0);
    }
    // Stale and doubled keys in the derived indexes...
    ASSERT_EQ(indexes.AddSubscriberKeys(records.begin()->second, false), 0);
    ASSERT_TRUE(indexes.handle(kIndexPhone).InsertKey("999", 77) == 1);
    // ...are gone after the rebuild.
    ASSERT_EQ(indexes.rebuildDerived([&](int32_t record) -> std::optional<SubscriberKeys> {
                  auto it = records.find(record);
                  if (it == records.end()) return std::nullopt;
                  return it->second;
              }),
              0);
    EXPECT_EQ(contents(kIndexName).size(), 30u);
    EXPECT_EQ(contents(kIndexTown).size(), 30u);
    EXPECT_EQ(contents(kIndexAddress).size(), 30u);
    EXPECT_EQ(contents(kIndexPassword).size(), 30u);
    EXPECT_EQ(contents(kIndexPhone).size(), 20u) << "one per non-empty phone";
    EXPECT_EQ(contents(kIndexNumber).size(), 30u);
}

TEST_F(SubscriberIndexesTest, ARebuildThatBreaksOffLeavesTheOldIndexes) {
    for (int i = 1; i <= 20; ++i)
        ASSERT_EQ(indexes.AddSubscriberKeys(subscriber(i, 32 + 1575 * i, "Abonent " + std::to_string(i), "0" + std::to_string(480000000 + i)), true), 0);
    const auto names = contents(kIndexName);
    const auto phones = contents(kIndexPhone);
    int loaded = 0;
    // The record reader fails hard half-way, as a damaged file does.
    EXPECT_THROW(indexes.rebuildDerived([&](int32_t) -> std::optional<SubscriberKeys> {
        if (++loaded == 10) throw std::runtime_error("dane");
        return subscriber(loaded, 32 + 1575 * loaded, "Inny", "");
    }),
                 std::runtime_error);
    indexes.closeAll();
    ASSERT_EQ(indexes.openAll(false), 0);
    EXPECT_EQ(contents(kIndexName), names) << "no half-filled index in the old one's place";
    EXPECT_EQ(contents(kIndexPhone), phones);
}

TEST_F(SubscriberIndexesTest, RebuildOfAnEmptyNumberIndexSaysSo) {
    EXPECT_EQ(indexes.rebuildDerived([](int32_t) { return std::optional<SubscriberKeys>(); }), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Błąd  ustawienia indeksu");
}

} // namespace
} // namespace k4
