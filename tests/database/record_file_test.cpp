#include "database/base.h"
#include "database/record_file.h"
#include "database/text_edge.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

using test::HistoryEntry;

// A small record file keeps the byte fixtures readable: 12-byte records.
constexpr int kSize = 12;

struct RecordFileTest : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    test::RecordingHistory history;
    RecordFile file{DataDir(tmp.path()), messages, history};

    std::string image() const { return tmp.read("proba"); }
    std::string record(char fill) const { return std::string(kSize, fill); }
    int32_t append(char fill) {
        int32_t at = 0;
        EXPECT_EQ(file.CheckFreeHead(), 0);
        EXPECT_EQ(file.AppendRecord(at, record(fill).data()), 0);
        return at;
    }
    // Puts bytes into the file behind the engine's back, as a damaged disk would.
    void patch(size_t at, std::string_view bytes) {
        std::string all = image();
        all.replace(at, bytes.size(), bytes);
        file.Close();
        tmp.write("proba", all);
        ASSERT_EQ(file.Open("proba", kSize), 0);
    }
    static std::string le32(int32_t v) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return b;
    }
};

TEST_F(RecordFileTest, FreshFileIsTheHeaderAloneAndRecordsFollowIt) {
    ASSERT_EQ(file.OpenOrCreate("proba", kSize), 1);
    const std::string expected = std::string(4, '\0') + std::string("proba\0\0\0\0\0\0\0\0", 13) + le32(-1) +
                                 std::string("\x0C\x00", 2) + std::string(9, 'w');
    EXPECT_EQ(image(), expected);

    EXPECT_EQ(append('a'), 32);
    EXPECT_EQ(append('b'), 32 + kSize);
    EXPECT_EQ(image().substr(32), record('a') + record('b'));

    file.Close();
    EXPECT_EQ(file.OpenOrCreate("proba", kSize), 0);
    EXPECT_EQ(file.firstFree(), -1);
}

TEST_F(RecordFileTest, FreedRecordsAreReusedLastFreedFirst) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    const int32_t a = append('a'), b = append('b');
    append('c');
    ASSERT_EQ(file.FreeRecord(a), 0);
    ASSERT_EQ(file.FreeRecord(b), 0);
    // b is the head and links to a, a ends the chain; the rest of a freed
    // record keeps its old bytes.
    EXPECT_EQ(test::int32At(image(), 17), b);
    EXPECT_EQ(image().substr(static_cast<size_t>(b), kSize), le32(a) + std::string(8, 'b'));
    EXPECT_EQ(image().substr(static_cast<size_t>(a), kSize), le32(-1) + std::string(8, 'a'));

    EXPECT_EQ(append('x'), b);
    EXPECT_EQ(append('y'), a);
    EXPECT_EQ(append('z'), 32 + 3 * kSize);
    EXPECT_EQ(file.firstFree(), -1);
    EXPECT_EQ(test::int32At(image(), 17), -1);
}

TEST_F(RecordFileTest, OpenRefusesAnotherNameSizeOrAShortHeader) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    file.Close();
    EXPECT_EQ(file.Open("proba", kSize + 1), -1);
    tmp.write("inny", image());
    EXPECT_EQ(file.Open("inny", kSize), -1);
    tmp.write("krotki", image().substr(0, 31));
    EXPECT_EQ(file.Open("krotki", kSize), -1);
    // Twelve characters fill the name field up to its NUL; thirteen cannot be stored.
    EXPECT_EQ(file.Create("abcdefghijkl", kSize), 0);
    EXPECT_EQ(file.Create("abcdefghijklm", kSize), -1);
    EXPECT_FALSE(file.isOpen());
}

TEST_F(RecordFileTest, FreeingWhatIsFreeOrPastTheEndIsRefusedAndLogged) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    const int32_t a = append('a'), b = append('b');
    append('c');
    ASSERT_EQ(file.FreeRecord(a), 0);
    ASSERT_EQ(file.FreeRecord(b), 0);
    const std::string before = image();

    struct Case {
        int32_t offset;
        int detail;
        const char* shown;
    };
    const Case cases[] = {
        {b, 2, " BŁĄD USUWANIA DANYCH! Zalecane sprawdzenie bazy!"},  // the head
        {a, 2, " BŁĄD USUWANIA DANYCH! Zalecane sprawdzenie bazy!"},  // further down
        {32 + 3 * kSize, 1, " BŁĄD USUWANIA DANYCH!"},                // at the end
        {33, 1, " BŁĄD USUWANIA DANYCH!"},                            // inside a record
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        history.entries.clear();
        EXPECT_EQ(file.CheckNotFree(c.offset), -1) << c.offset;
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.shown);
        EXPECT_EQ(ui.boxes[0].caption, "Błąd");
        // Kind 55, value 2, the detail code, the file's second letter.
        EXPECT_EQ(history.entries, (std::vector<HistoryEntry>{{55, 2, c.detail, 'r', 0}}));
    }
    EXPECT_EQ(file.CheckNotFree(32 + 2 * kSize), 0);
    EXPECT_EQ(image(), before);
}

TEST_F(RecordFileTest, LoopingFreeChainIsReportedWithWhereTheWalkStopped) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    const int32_t a = append('a'), b = append('b');
    const int32_t c = append('c');
    ASSERT_EQ(file.FreeRecord(a), 0);
    ASSERT_EQ(file.FreeRecord(b), 0);
    patch(static_cast<size_t>(a), le32(b)); // a links back to b
    EXPECT_EQ(file.CheckNotFree(c), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Błąd  w odczycie pustych rekordow (0 20 id=38). KONIECZNE JEST SPRAWDZENIE BAZY!");
    EXPECT_EQ(ui.boxes[0].caption, "Błąd");
    EXPECT_EQ(history.entries.back().detail, 3);
}

TEST_F(RecordFileTest, UnusableFreeHeadStopsAppendsWithoutTouchingTheFile) {
    struct Case {
        const char* what;
        int32_t head;
        int detail;
        const char* shown;
    };
    const Case cases[] = {
        {"past the end", 32 + 3 * kSize, 4, " Błąd  w odczycie pustych rekordow (44). KONIECZNE JEST SPRAWDZENIE BAZY!"},
        {"inside a record", 40, 4, " Błąd  w odczycie pustych rekordow (28). KONIECZNE JEST SPRAWDZENIE BAZY!"},
        {"the header", 0, 4, " Błąd  w odczycie pustych rekordow (0). KONIECZNE JEST SPRAWDZENIE BAZY!"},
        {"itself", 32 + kSize, 6, " Zapetlenie pustych rekordow. KONIECZNE JEST SPRAWDZENIE BAZY!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(file.Create("proba", kSize), 0);
        append('a');
        const int32_t b = append('b');
        append('c');
        ASSERT_EQ(file.FreeRecord(b), 0);
        patch(17, le32(c.head));
        if (c.detail == 6) patch(static_cast<size_t>(b), le32(b));
        const std::string before = image();
        ui.boxes.clear();
        history.entries.clear();

        EXPECT_EQ(file.CheckFreeHead(), -1);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.shown);
        EXPECT_EQ(history.entries, (std::vector<HistoryEntry>{{55, 2, c.detail, 'r', 0}}));
        // An append that skips the check is refused all the same.
        int32_t at = 0;
        EXPECT_EQ(file.AppendRecord(at, record('n').data()), -1);
        EXPECT_EQ(image(), before);
        file.Close();
    }
}

TEST_F(RecordFileTest, AppendAfterATornTailKeepsTheTailAndStaysOnTheGrid) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    append('a');
    file.Close();
    tmp.write("proba", image() + "xyz"); // an append cut short by a power loss
    ASSERT_EQ(file.Open("proba", kSize), 0);
    char buffer[kSize];
    EXPECT_EQ(file.ReadRecord(32 + kSize, buffer), -1);
    EXPECT_EQ(append('b'), 32 + 2 * kSize);
    EXPECT_EQ(image().substr(32 + kSize), std::string("xyz") + std::string(9, '\0') + record('b'));
}

TEST_F(RecordFileTest, PartialWritesStayInsideOneRecordAndSayWhyNot) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    const int32_t a = append('a');
    const int32_t b = append('b');
    EXPECT_EQ(file.WritePart(b, "XY", 3, 2), 0);
    EXPECT_EQ(image().substr(static_cast<size_t>(b), kSize), "bbbXYbbbbbbb");
    EXPECT_EQ(file.WritePart(16, "XY", 0, 2), -1);       // below the records
    EXPECT_EQ(file.WritePart(a, "XY", kSize - 1, 2), -2); // would spill into b
    EXPECT_EQ(file.WritePart(a + 1, "XY", 0, 2), -2);     // not a record
    EXPECT_EQ(file.WritePart(b + kSize, "XY", 0, 2), -2); // past the end
    char part[2];
    EXPECT_EQ(file.ReadPart(b, part, 3, 2), 0);
    EXPECT_EQ(std::string(part, 2), "XY");
    EXPECT_EQ(file.ReadPart(b, part, kSize - 1, 2), -1);
    EXPECT_EQ(image().substr(static_cast<size_t>(a), kSize), record('a'));
}

TEST_F(RecordFileTest, BaseRefusesToRewriteARecordItWasNotLoadedFrom) {
    ASSERT_EQ(file.Create("proba", kSize), 0);
    const int32_t a = append('a'), b = append('b');
    Base base(&file, kSize);
    ASSERT_EQ(base.Read(a), 0);
    base.buffer()[0] = 'Z';
    EXPECT_EQ(base.Rewrite(), 0);
    EXPECT_EQ(image()[static_cast<size_t>(a)], 'Z');

    base.setCurrentPosition(b);
    EXPECT_EQ(base.Rewrite(), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Błąd  Niezgodne identyfikatory modyfikacji 2Cproba20");
    EXPECT_EQ(history.entries, (std::vector<HistoryEntry>{{55, 2, 8, 'r', 0}}));
    EXPECT_EQ(image().substr(static_cast<size_t>(b), kSize), record('b'));

    // A failed read leaves an empty buffer and no position.
    EXPECT_EQ(base.Read(b + kSize), -1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(base.buffer()), kSize), std::string(kSize, '\0'));
    EXPECT_EQ(base.currentPosition(), 0);
    EXPECT_EQ(base.Rewrite(), -1);
}

} // namespace
} // namespace k4
