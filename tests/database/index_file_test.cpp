#include "database/index_file.h"

#include "database/index_check.h"

#include "database/codepage.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <stdexcept>

namespace k4 {
namespace {

struct ThrowingFailure final : IndexFailure {
    void indexFailed(const std::string& message, const std::string& path, int64_t offset) override {
        throw std::runtime_error(message + " " + path + " @" + std::to_string(offset));
    }
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Walks the file as it lies on the disk and checks every rule of the tree;
// gives the keys in order.
struct TreeCheck {
    std::vector<IndexKey> keys;
    int height = 0;
    int pages = 0;
    std::vector<int32_t> freePages;
};

void walk(const std::string& image, int32_t page, int depth, int height, const std::string* low,
          const std::string* high, TreeCheck& check) {
    ASSERT_LE(depth, height);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(image.data()) + page;
    ASSERT_LE(page + kIndexPageSize, static_cast<int64_t>(image.size()));
    auto node = decodeIndexPage(bytes);
    ASSERT_TRUE(node) << "page " << page;
    ASSERT_EQ(node->self, page);
    ASSERT_EQ(node->isLeaf(), depth == height) << "page " << page;
    ++check.pages;
    const std::string* before = low;
    for (int slot = 0; slot <= node->count(); ++slot) {
        const std::string* after = slot < node->count() ? &node->entries[static_cast<size_t>(slot)].text : high;
        if (!node->isLeaf()) walk(image, node->child(slot), depth + 1, height, before, after, check);
        if (slot < node->count()) {
            const auto& e = node->entries[static_cast<size_t>(slot)];
            if (before) {
                ASSERT_GE(CompareMazoviaN(e.text.c_str(), before->c_str(), 100), 0);
            }
            if (high) {
                ASSERT_LE(CompareMazoviaN(e.text.c_str(), high->c_str(), 100), 0);
            }
            check.keys.push_back(e);
            before = &e.text;
        }
    }
}

TreeCheck checkTree(const std::string& path) {
    TreeCheck check;
    const std::string image = readFile(path);
    EXPECT_GE(image.size(), static_cast<size_t>(kIndexHeaderSize));
    if (image.size() < static_cast<size_t>(kIndexHeaderSize)) return check;
    const auto* header = reinterpret_cast<const uint8_t*>(image.data());
    check.height = header[kIndexPageSize + 4] | header[kIndexPageSize + 5] << 8;
    // The root lives in the header: walk a copy of the file whose page 0 is it.
    auto root = decodeIndexPage(header);
    EXPECT_TRUE(root);
    if (!root) return check;
    const std::string* before = nullptr;
    for (int slot = 0; slot <= root->count(); ++slot) {
        const std::string* after = slot < root->count() ? &root->entries[static_cast<size_t>(slot)].text : nullptr;
        if (!root->isLeaf()) walk(image, root->child(slot), 2, check.height, before, after, check);
        if (slot < root->count()) {
            check.keys.push_back(root->entries[static_cast<size_t>(slot)]);
            before = &root->entries[static_cast<size_t>(slot)].text;
        }
    }
    int32_t free = static_cast<int32_t>(uint32_t(header[1024]) | uint32_t(header[1025]) << 8 |
                                        uint32_t(header[1026]) << 16 | uint32_t(header[1027]) << 24);
    while (free != kIndexNoPage && check.freePages.size() < 10000) {
        check.freePages.push_back(free);
        const auto* page = reinterpret_cast<const uint8_t*>(image.data()) + free;
        EXPECT_EQ(static_cast<int32_t>(page[6] | page[7] << 8 | page[8] << 16 | uint32_t(page[9]) << 24), kIndexFreeMark);
        free = static_cast<int32_t>(page[0] | page[1] << 8 | page[2] << 16 | uint32_t(page[3]) << 24);
    }
    return check;
}

struct IndexTest : ::testing::Test {
    test::TempDir dir;
    IndexPageCache cache;
    ThrowingFailure failure;
    IndexHandle index{cache, failure};
    std::string path() const { return dir.file("nazwa"); }
};

std::string longKey(int i) {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%03d", i);
    return prefix + std::string(97, 'K');
}

TEST_F(IndexTest, FiftyLongKeysSplitTheRootOnce) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    EXPECT_EQ(readFile(path()).size(), static_cast<size_t>(kIndexHeaderSize));
    for (int i = 0; i < 50; ++i) ASSERT_EQ(index.InsertKey(longKey(i), 32 + i), 1);
    EXPECT_EQ(index.height(), 2);
    const TreeCheck check = checkTree(path());
    EXPECT_EQ(check.height, 2);
    ASSERT_EQ(check.keys.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(check.keys[static_cast<size_t>(i)].value, 32 + i);
}

TEST_F(IndexTest, DeletingEveryKeyReturnsToAnEmptyRootAndPagesAreReused) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(index.InsertKey(longKey(i), i), 1);
    ASSERT_EQ(index.height(), 2);
    const size_t grown = readFile(path()).size();
    for (int i = 0; i < 50; ++i) ASSERT_EQ(index.DeleteKey(longKey((i * 7) % 50), (i * 7) % 50), 1) << i;
    EXPECT_EQ(index.height(), 1);
    const TreeCheck empty = checkTree(path());
    EXPECT_TRUE(empty.keys.empty());
    EXPECT_EQ(empty.freePages.size(), (grown - kIndexHeaderSize) / kIndexPageSize) << "every page is free";
    IndexKey key;
    EXPECT_EQ(index.First(key), kIndexEnd);
    EXPECT_EQ(checkIndexFile(path()).freePages, static_cast<int>(empty.freePages.size()));
    for (int i = 0; i < 50; ++i) ASSERT_EQ(index.InsertKey(longKey(i), i), 1);
    EXPECT_EQ(readFile(path()).size(), grown) << "freed pages are taken before the file grows";
    EXPECT_EQ(checkTree(path()).keys.size(), 50u);
}

// A key of exactly the given entry size (9 bytes of link, value and NUL
// around the text), sorting by its number.
std::string sizedKey(int i, int entrySize) {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%03d", i);
    return prefix + std::string(static_cast<size_t>(entrySize - 9 - 3), 'K');
}

TEST_F(IndexTest, APageFilledToTheLimitExactlyDoesNotSplit) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    // Nine entries of 109 bytes and one of 33: 1014, the most a page holds.
    for (int i = 0; i < 9; ++i) ASSERT_EQ(index.InsertKey(sizedKey(i, 109), i), 1);
    ASSERT_EQ(index.InsertKey(sizedKey(9, 33), 9), 1);
    EXPECT_EQ(index.height(), 1) << "an entry that fits at the limit goes in";
    EXPECT_EQ(readFile(path()).size(), static_cast<size_t>(kIndexHeaderSize)) << "no page was added";
    ASSERT_EQ(index.InsertKey(sizedKey(10, 9 + 3), 10), 1);
    EXPECT_EQ(index.height(), 2) << "one byte more splits";
    EXPECT_EQ(checkTree(path()).keys.size(), 11u);
}

TEST_F(IndexTest, TheEntryGoingUpStartsBeforeHalfTheUsedBytesPlusFour) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    // Ten entries of 101 bytes: 1010 used, entry 5 starts at 505, which is
    // half the used bytes: the rule's four bytes make it the one that goes
    // up (by "half" alone it would be entry 4).
    for (int i = 0; i < 10; ++i) ASSERT_EQ(index.InsertKey(sizedKey(i, 101), i), 1);
    ASSERT_EQ(index.height(), 1);
    ASSERT_EQ(index.InsertKey(sizedKey(10, 101), 10), 1);
    ASSERT_EQ(index.height(), 2);
    const std::string image = readFile(path());
    auto root = decodeIndexPage(reinterpret_cast<const uint8_t*>(image.data()));
    ASSERT_TRUE(root);
    ASSERT_EQ(root->count(), 1);
    EXPECT_EQ(root->entries[0].text, sizedKey(5, 101));
    EXPECT_EQ(root->entries[0].value, 5);
    // The halves: entries 0-4 on the left, 6-10 (the new one too) on the right.
    auto left = decodeIndexPage(reinterpret_cast<const uint8_t*>(image.data()) + root->left);
    auto right = decodeIndexPage(reinterpret_cast<const uint8_t*>(image.data()) + root->entries[0].child);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->count(), 5);
    EXPECT_EQ(right->count(), 5);
}

TEST_F(IndexTest, AnEmptyPageBelowTheRootIsDamageNotACrash) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(index.InsertKey(longKey(i), i), 1);
    ASSERT_EQ(index.height(), 2);
    ASSERT_EQ(index.CloseIndex(), 0);
    std::string image = readFile(path());
    auto root = decodeIndexPage(reinterpret_cast<const uint8_t*>(image.data()));
    ASSERT_TRUE(root && root->count() >= 1);
    // The leaf holding the successor of the root's first entry, emptied.
    const int32_t leaf = root->entries[0].child;
    image[static_cast<size_t>(leaf) + 4] = 0;
    image[static_cast<size_t>(leaf) + 5] = 0;
    dir.write("nazwa", image);

    const IndexCheckReport report = checkIndexFile(path());
    ASSERT_FALSE(report.ok());
    bool named = false;
    for (const auto& p : report.problems) named = named || p == "pusta strona " + std::to_string(leaf);
    EXPECT_TRUE(named) << report.problems.front();

    IndexHandle damaged(cache, failure);
    ASSERT_EQ(damaged.OpenIndex(DataDir(dir.path()), "nazwa", true), 0);
    // The root's entry is found without reading the leaf; its deletion goes
    // down to the successor and must refuse the page there.
    EXPECT_THROW(damaged.DeleteKey(root->entries[0].text, root->entries[0].value), std::runtime_error);
}

TEST_F(IndexTest, DuplicatesByTheRuleOfTheIndex) {
    IndexHandle numer(cache, failure);
    ASSERT_EQ(numer.CreateIndex(DataDir(dir.path()), "numer", false), 0);
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    EXPECT_EQ(numer.InsertKey("0005", 32), 1);
    EXPECT_EQ(numer.InsertKey("0005", 1607), 0);
    EXPECT_EQ(index.InsertKey("Kowalski", 32), 1);
    EXPECT_EQ(index.InsertKey("KOWALSKI", 1607), 1);
    EXPECT_EQ(index.InsertKey("kowalski", 3182), 1);
    IndexKey key;
    ASSERT_EQ(index.FindKey("kowalski", key), kIndexFound);
    EXPECT_EQ(key.value, 32) << "the first of the equal keys";
    EXPECT_EQ(index.FindPair("Kowalski", 3182), kIndexFound);
    EXPECT_EQ(index.FindPair("Kowalski", 99), kIndexNotFound);
    EXPECT_EQ(index.DeleteKey("KOWALSKI", 1607), 1);
    EXPECT_EQ(index.DeleteKey("KOWALSKI", 1607), 0);
    ASSERT_EQ(numer.FindKey("0005", key), kIndexFound);
    EXPECT_EQ(key.value, 32);
}

TEST_F(IndexTest, SearchesAndWalksInPolishOrder) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    // Łódź, Lublin, Ląd, Zabrze, Żary, Źródło, Adamów
    const std::vector<std::string> names = {"\x9C\xA2" "d\xA6", "Lublin", "L\x86" "d", "Zabrze", "\xA1" "ary",
                                            "\xA0" "r\xA2" "d\x92o", "Adam\xA2w"};
    for (size_t i = 0; i < names.size(); ++i) index.InsertKey(names[i], static_cast<int32_t>(i));
    std::vector<int32_t> order;
    IndexKey key;
    for (int r = index.First(key); r == kIndexFound; r = index.Next(key)) order.push_back(key.value);
    EXPECT_EQ(order, (std::vector<int32_t>{6, 2, 1, 0, 3, 5, 4}));
    std::vector<int32_t> backwards;
    for (int r = index.Last(key); r == kIndexFound; r = index.Prev(key)) backwards.push_back(key.value);
    EXPECT_EQ(backwards, (std::vector<int32_t>{4, 5, 3, 0, 1, 2, 6}));
    ASSERT_EQ(index.FindFrom("lu", key), kIndexFound);
    EXPECT_EQ(key.value, 1);
    ASSERT_EQ(index.FindFrom("M", key), kIndexFound);
    EXPECT_EQ(key.value, 3);
    EXPECT_EQ(index.FindFrom("\xA1" "b", key), kIndexEnd);
}

TEST_F(IndexTest, LongRandomSequenceAgreesWithAMultimap) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    auto less = [](const std::string& a, const std::string& b) { return CompareMazoviaN(a.c_str(), b.c_str(), 100) < 0; };
    std::multimap<std::string, int32_t, decltype(less)> model(less);
    std::mt19937 random(20261209);
    const std::string letters = std::string("ABLZ") + "\x8F\x9C\xA1" + "aklz";
    int32_t nextValue = 1;
    for (int step = 0; step < 2500; ++step) {
        const bool insert = model.empty() || random() % 100 < 60;
        if (insert) {
            std::string text;
            const int length = random() % 3 == 0 ? 60 + static_cast<int>(random() % 41) : 1 + static_cast<int>(random() % 6);
            for (int i = 0; i < length; ++i) text += letters[random() % letters.size()];
            ASSERT_EQ(index.InsertKey(text, nextValue), 1);
            model.emplace(IndexHandle::keyText(text), nextValue++);
        } else {
            auto it = model.begin();
            std::advance(it, static_cast<long>(random() % model.size()));
            ASSERT_EQ(index.DeleteKey(it->first, it->second), 1) << step;
            model.erase(it);
        }
        if (step % 25 == 0 || step > 2400) {
            const TreeCheck check = checkTree(path());
            ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "after step " << step;
            ASSERT_EQ(check.keys.size(), model.size()) << step;
            std::multimap<std::string, int32_t, decltype(less)> seen(less);
            for (const auto& k : check.keys) seen.emplace(k.text, k.value);
            ASSERT_TRUE(std::equal(seen.begin(), seen.end(), model.begin(), model.end(),
                                   [](const auto& a, const auto& b) { return a.first == b.first; }))
                << step;
        }
    }
    EXPECT_GE(index.height(), 2);
    const IndexCheckReport report = checkIndexFile(path());
    EXPECT_TRUE(report.ok()) << report.problems.front();
    EXPECT_EQ(report.keys, static_cast<int64_t>(model.size()));
    EXPECT_EQ(report.lostPages, 0);
    // What is on the disk opens again as the same tree.
    ASSERT_EQ(index.CloseIndex(), 0);
    IndexHandle reopened(cache, failure);
    ASSERT_EQ(reopened.OpenIndex(DataDir(dir.path()), "nazwa", true), 0);
    size_t count = 0;
    IndexKey key;
    for (int r = reopened.First(key); r == kIndexFound; r = reopened.Next(key)) ++count;
    EXPECT_EQ(count, model.size());
}

TEST_F(IndexTest, DamagedPagesAreRefusedNotFollowed) {
    ASSERT_EQ(index.CreateIndex(DataDir(dir.path()), "nazwa", true), 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(index.InsertKey(longKey(i), i), 1);
    ASSERT_EQ(index.CloseIndex(), 0);
    const std::string good = readFile(path());

    struct Damage {
        const char* what;
        size_t at;
        std::vector<uint8_t> bytes;
    };
    const size_t firstPage = kIndexHeaderSize;
    const std::vector<Damage> damages = {
        {"used bytes past 1014", firstPage + 4, {0xFF, 0x03}},
        {"a page that claims another place", firstPage, {0x00, 0x10, 0x00, 0x00}},
        {"root child past the end", 6, {0x00, 0x00, 0x10, 0x00}},
        {"root child pointing at the header", 6, {0x00, 0x00, 0x00, 0x00}},
        {"a child that is a free page", firstPage + 6, {0xFE, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& d : damages) {
        std::string bad = good;
        for (size_t i = 0; i < d.bytes.size(); ++i) bad[d.at + i] = static_cast<char>(d.bytes[i]);
        dir.write("nazwa", bad);
        IndexHandle damaged(cache, failure);
        bool refused = false;
        try {
            if (damaged.OpenIndex(DataDir(dir.path()), "nazwa", true) != 0) {
                refused = true;
            } else {
                IndexKey key;
                for (int i = 0; i < 50; ++i) damaged.FindKey(longKey(i), key);
                for (int r = damaged.First(key), n = 0; r == kIndexFound && n < 1000; r = damaged.Next(key), ++n) {
                }
            }
        } catch (const std::runtime_error& e) {
            refused = true;
            EXPECT_NE(std::string(e.what()).find("nazwa"), std::string::npos) << d.what;
        }
        EXPECT_TRUE(refused) << d.what;
        EXPECT_FALSE(checkIndexFile(path()).ok()) << d.what;
    }
}

} // namespace
} // namespace k4
