#include "database/record_file.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

// Records of 12 bytes carry 8 bytes of text and a 4-byte link.
constexpr int kSize = 12;
constexpr int kText = kSize - 4;

struct RecordChainTest : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    test::RecordingHistory history;
    RecordFile file{DataDir(tmp.path()), messages, history};

    RecordChainTest() { EXPECT_EQ(file.Create("opis", kSize), 0); }

    std::string image() const { return tmp.read("opis"); }
    std::string recordAt(int32_t at) const { return image().substr(static_cast<size_t>(at), kSize); }
    int32_t linkAt(int32_t at) const { return test::int32At(image(), static_cast<size_t>(at) + kText); }
    int64_t records() const { return test::recordsIn(image(), kSize); }
    static std::string text(int n) {
        std::string t;
        for (int i = 0; i < n; ++i) t += static_cast<char>('a' + i % 26);
        return t;
    }
    int32_t write(const std::string& t) {
        int32_t first = 0;
        EXPECT_EQ(file.WriteChain(first, t.data(), static_cast<int>(t.size())), 0);
        return first;
    }
    std::string read(int32_t first) {
        std::string last(kSize, '\0');
        int32_t end = first;
        const int length = file.ChainEnd(end, last.data());
        if (length < 0) return "<damaged>";
        std::string t(static_cast<size_t>(length), '\0');
        if (file.ReadChain(first, t.data(), length) != 0) return "<unreadable>";
        return t;
    }
    void patchLink(int32_t record, int32_t link) {
        std::string all = image();
        for (int i = 0; i < 4; ++i)
            all[static_cast<size_t>(record + kText + i)] = static_cast<char>((static_cast<uint32_t>(link) >> (8 * i)) & 0xFF);
        file.Close();
        tmp.write("opis", all);
        ASSERT_EQ(file.Open("opis", kSize), 0);
    }
};

TEST_F(RecordChainTest, ATextOfTwoFullRecordsTakesTwoAndOneMoreByteThree) {
    // Records are appended from the end of the text backwards.
    const int32_t two = write(text(2 * kText));
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(two, 32 + kSize);
    EXPECT_EQ(recordAt(two), text(8) + std::string("\x20\x00\x00\x00", 4));         // links to 32
    EXPECT_EQ(recordAt(32), text(16).substr(8) + std::string("\xF0\xFF\xFF\xFF", 4)); // -16

    const int32_t three = write(text(2 * kText + 1));
    EXPECT_EQ(records(), 5);
    EXPECT_EQ(three, 32 + 4 * kSize);
    // The last record holds the one remaining byte, zeros after it, and -17.
    EXPECT_EQ(recordAt(32 + 2 * kSize), std::string("q") + std::string(7, '\0') + std::string("\xEF\xFF\xFF\xFF", 4));
    EXPECT_EQ(linkAt(three), 32 + 3 * kSize);
    EXPECT_EQ(linkAt(32 + 3 * kSize), 32 + 2 * kSize);

    EXPECT_EQ(read(two), text(16));
    EXPECT_EQ(read(three), text(17));
    int32_t none = 0;
    EXPECT_EQ(file.WriteChain(none, "", 0), -1);
}

TEST_F(RecordChainTest, RewritingShrinksGrowsOrFillsInPlace) {
    struct Case {
        const char* what;
        int oldLength, newLength;
        int64_t recordsAfter; // records in the file
        int freeAfter;        // records on the free chain
    };
    const Case cases[] = {
        {"three records to one", 2 * kText + 1, 5, 3, 2},
        {"one record to three", 5, 2 * kText + 1, 3, 0},
        {"exactly the records it has", 2 * kText + 1, 3 * kText, 3, 0},
        {"empty", kText, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(file.Create("opis", kSize), 0);
        const int32_t first = write(text(c.oldLength));
        ASSERT_EQ(file.RewriteChain(first, text(c.newLength).data(), c.newLength), 0);
        EXPECT_EQ(read(first), text(c.newLength));
        EXPECT_EQ(records(), c.recordsAfter);
        int freeRecords = 0;
        for (int32_t at = file.firstFree(); at != -1; at = test::int32At(image(), static_cast<size_t>(at))) ++freeRecords;
        EXPECT_EQ(freeRecords, c.freeAfter);
        // The chain's last record carries minus the whole length.
        std::string last(kSize, '\0');
        int32_t end = first;
        EXPECT_EQ(file.ChainEnd(end, last.data()), c.newLength);
        EXPECT_EQ(linkAt(end), -c.newLength);
    }
}

TEST_F(RecordChainTest, ShrunkChainGivesItsRecordsBackForTheNextText) {
    const int32_t first = write(text(3 * kText));
    ASSERT_EQ(file.RewriteChain(first, "short", 5), 0);
    const int32_t other = write(text(2 * kText));
    EXPECT_EQ(records(), 3); // no growth: the two freed records were reused
    EXPECT_EQ(read(first), "short");
    EXPECT_EQ(read(other), text(2 * kText));
}

TEST_F(RecordChainTest, DamagedChainsAreRefusedWithTheFileUntouched) {
    struct Case {
        const char* what;
        int32_t link; // put into the chain's first record
    };
    const Case cases[] = {
        {"link past the end", 32 + 10 * kSize},
        {"link inside a record", 33},
        {"loop to itself", 32 + 2 * kSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(file.Create("opis", kSize), 0);
        const int32_t first = write(text(3 * kText)); // 32+2k -> 32+k -> 32
        ASSERT_EQ(first, 32 + 2 * kSize);
        patchLink(first, c.link);
        const std::string before = image();
        std::string buffer(64, '\0');
        int32_t end = first;
        EXPECT_EQ(file.ChainEnd(end, buffer.data()), -1);
        EXPECT_EQ(file.ReadChain(first, buffer.data(), 3 * kText), -1);
        EXPECT_EQ(file.RewriteChain(first, text(5 * kText).data(), 5 * kText), -1);
        int32_t toFree = first;
        EXPECT_EQ(file.FreeChain(toFree), -1);
        EXPECT_EQ(toFree, first);
        EXPECT_EQ(image(), before);
    }
}

TEST_F(RecordChainTest, LengthTheRecordsCannotHoldIsRefused) {
    const int32_t first = write(text(5));
    patchLink(first, -100000); // a single record claiming 100000 bytes
    std::string buffer(kSize, '\0');
    int32_t end = first;
    EXPECT_EQ(file.ChainEnd(end, buffer.data()), -1);
}

TEST_F(RecordChainTest, ChainRunningIntoAFreeRecordIsNeitherFreedNorRewritten) {
    const int32_t lone = write(text(3));
    const int32_t chain = write(text(2 * kText)); // 32+2k -> 32+k
    int32_t gone = lone;
    ASSERT_EQ(file.FreeChain(gone), 0);
    EXPECT_EQ(gone, 0);
    patchLink(32 + kSize, lone); // the chain's second record now runs on into the free one
    const std::string before = image();
    int32_t toFree = chain;
    EXPECT_EQ(file.FreeChain(toFree), -1);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, " BŁĄD USUWANIA DANYCH! Zalecane sprawdzenie bazy!");
    // Nor is it rewritten: that would overwrite the free record's link.
    EXPECT_EQ(file.RewriteChain(chain, text(3 * kText).data(), 3 * kText), -1);
    EXPECT_EQ(image(), before);
    EXPECT_EQ(file.CheckFreeHead(), 0);
}

} // namespace
} // namespace k4
