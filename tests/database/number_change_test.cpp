// A number change over the real indexes and record files: every index key
// follows the subscriber (its number in "numer", its phones' owner in
// "telefon"), the records hanging from it stay its own, the history gets one
// entry of kind 65 and its pictures take the new number; a taken or missing
// number changes nothing.
#include "../processing/processing_station.h"

#include "database/database_files.h"
#include "database/number_change.h"
#include "database/opened_index.h"
#include "database/text_edge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sys/stat.h>

namespace k4 {
namespace {

using Pairs = std::vector<std::pair<std::string, int32_t>>;

Pairs pairsOf(test::ProcessingStation& st, int index) {
    OpenedIndex opened(st.data, st.indexes, index);
    EXPECT_TRUE(opened.ok());
    Pairs out;
    IndexKey key;
    for (int r = (*opened).First(key); r == kIndexFound; r = (*opened).Next(key)) out.emplace_back(key.text, key.value);
    return out;
}

struct NumberChange : ::testing::Test {
    test::ProcessingStation st;
    int32_t seven = 0;

    NumberChange() {
        seven = st.addSubscriber(7, [](SubscriberRecord& r) {
            std::snprintf(r.name, sizeof r.name, "%s", mz("Młyn Łąkowy").c_str());
            std::snprintf(r.town, sizeof r.town, "%s", mz("Łódź").c_str());
            std::snprintf(r.address, sizeof r.address, "%s", mz("Żytnia 4").c_str());
            std::snprintf(r.passwd, sizeof r.passwd, "%s", "SOWA");
            std::snprintf(r.tel, sizeof r.tel, "%s", "0227501007");
            std::snprintf(r.tel_gsm, sizeof r.tel_gsm, "%s", "600100107");
        });
        st.addSubscriber(9);
        // A description hanging from the record.
        OnDemandFile opis(st.db.files(), DbFile::Opis, "");
        Sbscrbr s(st.db, AtOffset{seven});
        int32_t first = 0;
        const std::string text = mz("Wejście od podwórza");
        EXPECT_EQ(opis.file().WriteChain(first, text.data(), static_cast<int>(text.size())), 0);
        s.record.desc = first;
        EXPECT_EQ(s.Save(), 0);
        ::mkdir(st.dir.file("grafika").c_str(), 0755);
        st.dir.write("grafika/00071PLN.pcx", "plan");
        st.dir.write("grafika/0007.jpg", "widok");
    }
};

TEST_F(NumberChange, EveryIndexAndRelatedRecordFollows) {
    std::array<Pairs, kSubscriberIndexCount> before;
    for (int i = 0; i < kSubscriberIndexCount; ++i) before[static_cast<size_t>(i)] = pairsOf(st, i);
    const SubscriberRecord old = st.stored(7);

    ASSERT_EQ(changeSubscriberNumber(st.db, st.indexes, 7, 8), kNumberChanged);

    for (int i = 0; i < kSubscriberIndexCount; ++i) {
        SCOPED_TRACE(indexDescriptor(i).name);
        Pairs expected = before[static_cast<size_t>(i)];
        for (auto& [text, value] : expected) {
            if (i == kIndexNumber && text == "0007") text = "0008";
            if (i == kIndexPhone && value == 7) value = 8;
        }
        std::sort(expected.begin(), expected.end());
        Pairs after = pairsOf(st, i);
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, expected);
    }
    EXPECT_EQ(*st.indexes.recordOfNumber(8), seven) << "the same record, now under 8";
    EXPECT_FALSE(st.indexes.recordOfNumber(7));
    EXPECT_EQ(*st.indexes.ownerOfPhone("227501007"), 8);
    EXPECT_EQ(*st.indexes.ownerOfPhone("600100107"), 8);

    // The record is the old one but for its number: the subsystems, the
    // description and the event list still hang from it.
    SubscriberRecord now = st.stored(8);
    EXPECT_EQ(now.object, 8);
    now.object = old.object;
    EXPECT_EQ(std::memcmp(&now, &old, kSubscriberSavedBytes), 0);
    Sbscrbr moved(st.db, ByNumber{8});
    std::string text;
    ASSERT_GT(moved.ReadDescription(text), 0);
    EXPECT_EQ(Utf8FromMazovia(text), "Wejście od podwórza");

    const std::vector<HistoryEntry> entries = st.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kindCode(), kHistoryNumberChanged);
    EXPECT_EQ(static_cast<int>(entries[0].subscriber), 7);
    EXPECT_EQ(entries[0].subsystem | ((static_cast<unsigned>(entries[0].sector) & 0xFF) << 8), 8u) << "the new number in the 16 bits at 7";

    EXPECT_EQ(st.dir.read("grafika/00081PLN.pcx"), "plan");
    EXPECT_EQ(st.dir.read("grafika/0008.jpg"), "widok");
}

TEST_F(NumberChange, ATakenOrMissingNumberChangesNothing) {
    const Pairs numbers = pairsOf(st, kIndexNumber);
    EXPECT_EQ(changeSubscriberNumber(st.db, st.indexes, 7, 9), kNumberTaken);
    EXPECT_EQ(changeSubscriberNumber(st.db, st.indexes, 5, 12), kNumberNotFound);
    EXPECT_EQ(st.shown(), (std::vector<std::string>{" W bazie istnieje już abonent o podanym numerze",
                                                    " Nie znaleźono abonenta"}));
    EXPECT_EQ(pairsOf(st, kIndexNumber), numbers);
    EXPECT_TRUE(st.entries().empty());
}

} // namespace
} // namespace k4
