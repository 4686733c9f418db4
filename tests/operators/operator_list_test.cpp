#include "operators/operator_list.h"

#include "database/text_edge.h"
#include "platform/file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

OperatorRecord recordOf(const std::string& code, const std::string& surname) {
    OperatorRecord r{};
    scrambledField(code, r.code);
    std::strncpy(r.surname, surname.c_str(), sizeof r.surname - 1);
    return r;
}

int16_t counterIn(const std::string& bytes) {
    return static_cast<int16_t>(uint8_t(bytes[4]) | (uint8_t(bytes[5]) << 8));
}

// An operator added the way the edit dialog adds one.
void add(SOperatLst& list, const std::string& code, const std::string& surname) {
    OperatorRecord r = recordOf(code, surname);
    ASSERT_EQ(list.issueOperatorNumber(&r, 0), 0);
    ASSERT_EQ(list.Append(r), 0);
    ASSERT_EQ(list.Save(), 0);
}

TEST(OperatorFile, NewFileAndItsFirstOperatorByteForByte) {
    test::TempDir dir;
    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    std::string bytes = dir.read("operator");
    ASSERT_EQ(bytes.size(), 1386u);
    EXPECT_EQ(bytes.substr(0, 10), std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x2B\x00\x20\x00", 10));
    EXPECT_EQ(bytes.substr(10), std::string(1376, '\0'));
    EXPECT_EQ(list.Count(), 0);

    add(list, "0123456789", mz("Kowalski"));
    bytes = dir.read("operator");
    ASSERT_EQ(bytes.size(), 1386u);
    EXPECT_EQ(counterIn(bytes), 1);
    uint8_t expectedCode[11];
    scrambledField("0123456789", expectedCode);
    EXPECT_EQ(bytes.substr(10, 11), std::string(reinterpret_cast<char*>(expectedCode), 11));
    EXPECT_EQ(bytes.substr(21, 30), std::string("Kowalski") + std::string(22, '\0'));
    EXPECT_EQ(bytes.substr(51, 2), std::string("\x01\x00", 2));
    EXPECT_EQ(bytes.substr(53), std::string(1386 - 53, '\0'));
    EXPECT_EQ(bytes.find("0123456789"), std::string::npos) << "the code is never stored in the clear";
}

TEST(OperatorFile, RemovingClosesTheGapAndNumbersAreNeverReused) {
    test::TempDir dir;
    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    add(list, "a", "Jeden");
    add(list, "b", "Dwa");
    add(list, "c", "Trzy");
    ASSERT_EQ(list.Remove(1), 0);
    ASSERT_EQ(list.Save(), 0);

    SOperatLst again{DataDir(dir.path())};
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Item(0).number, 1);
    EXPECT_EQ(again.Item(1).number, 3);
    EXPECT_EQ(again.Item(2).number, 0);
    add(again, "d", "Cztery");
    EXPECT_EQ(again.Item(2).number, 4);
    EXPECT_EQ(*again.surnameOf(3), "Trzy");
    EXPECT_FALSE(again.surnameOf(2));
}

TEST(OperatorFile, OlderLayoutIsConverted) {
    test::TempDir dir;
    std::string old(10 + 16 * 42, '\0');
    const char header[10] = {'\xFF', '\xFF', '\xFF', '\xFF', 7, 0, 42, 0, 16, 0};
    std::memcpy(old.data(), header, 10);
    auto put = [&](int i, const std::string& code, const std::string& name, int number) {
        char* r = old.data() + 10 + i * 42;
        std::memcpy(r, code.data(), code.size());
        std::memcpy(r + 10, name.data(), name.size());
        r[40] = char(number);
    };
    put(0, "1111", "Nowak", 2);
    put(1, "abcdefghij", "Wrona", 7); // a code of full length runs into the surname
    put(3, "zzz", "Za przerwą", 9);   // after the first unused record: not carried over
    dir.write("operator", old);

    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(std::string(list.Item(1).surname), "Wrona");
    EXPECT_EQ(list.Item(1).number, 7);
    EXPECT_EQ(findOperatorByCode(list, "1111"), 2);
    EXPECT_EQ(findOperatorByCode(list, "abcdefghij"), 7);
    EXPECT_EQ(findOperatorByCode(list, "zzz"), -1);
    const std::string bytes = dir.read("operator");
    ASSERT_EQ(bytes.size(), 1386u);
    EXPECT_EQ(counterIn(bytes), 7);
    EXPECT_EQ(bytes.find("1111"), std::string::npos);
    EXPECT_FALSE(fileExists(dir.file("operator.old")));
    EXPECT_EQ(list.lastIssued(), 7);
}

TEST(OperatorFile, DamagedFileGivesAnEmptyListAndIsLeftAlone) {
    const std::string good = [] {
        test::TempDir d;
        SOperatLst l{DataDir(d.path())};
        l.Load();
        return d.read("operator");
    }();
    std::string wrongCount = good;
    wrongCount[8] = 31;
    for (const std::string& damaged : {good.substr(0, 600), good.substr(0, 6), wrongCount, std::string()}) {
        test::TempDir dir;
        dir.write("operator", damaged);
        SOperatLst list{DataDir(dir.path())};
        EXPECT_FALSE(list.Load());
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(findOperatorByCode(list, "a"), -1);
        EXPECT_EQ(list.Save(), -1);
        EXPECT_EQ(dir.read("operator"), damaged) << "nothing overwritten";
    }
}

TEST(OperatorFile, FindingByCode) {
    test::TempDir dir;
    SOperatLst list{DataDir(dir.path())};
    ASSERT_TRUE(list.Load());
    add(list, "0123456789", "Pelny");
    add(list, "Ala", "Mala");
    // A code kept in plain form, as a hand-made file may hold it.
    OperatorRecord plain{};
    std::memcpy(plain.code, "jawny", 5);
    plain.number = 40;
    ASSERT_EQ(list.Append(plain), 0);

    const std::pair<std::string, int> cases[] = {
        {"0123456789", 1}, {"Ala", 2}, {"ala", -1}, {"Al", -1}, {"Alak", -1}, {"", -1},
        {"jawny", 40},     {"01234567890", -1}, {std::string(10, '\xFF'), -1},
    };
    for (const auto& [typed, number] : cases) EXPECT_EQ(findOperatorByCode(list, typed), number) << typed;
}

} // namespace
} // namespace k4
