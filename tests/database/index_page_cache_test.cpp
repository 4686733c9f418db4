#include "database/index_page_cache.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

// A file of pages whose first byte names the page; a page is laid out (and
// found sound or not) when it comes in, not on every look.
struct PageFile {
    test::TempDir dir;
    File file;
    explicit PageFile(int pages) {
        std::string bytes(static_cast<size_t>(pages) * kIndexPageSize, '\0');
        for (int p = 0; p < pages; ++p) bytes[static_cast<size_t>(p) * kIndexPageSize + 8] = static_cast<char>(p % 100);
        dir.write("pages", bytes);
        EXPECT_TRUE(file.open(dir.file("pages"), File::Mode::ReadWrite));
    }
    void rewriteOnDisk(int page, char mark) {
        EXPECT_TRUE(file.writeAt(static_cast<int64_t>(page) * kIndexPageSize + 8, &mark, 1));
    }
};

int32_t at(int page) { return page * kIndexPageSize; }

TEST(IndexPageCache, KeepsThePagesUsedLastAndLetsTheOldestGo) {
    const int slots = IndexPageCache::kSlots;
    PageFile f(slots + 2);
    IndexPageCache cache;
    for (int p = 0; p < slots; ++p) ASSERT_NE(cache.page(f.file, at(p)), nullptr);
    EXPECT_EQ(cache.held(), slots);
    ASSERT_NE(cache.page(f.file, at(0)), nullptr); // page 0 used again: page 1 is now the oldest
    // The disk changes under both; only a page read again shows it.
    f.rewriteOnDisk(0, 'a');
    f.rewriteOnDisk(1, 'b');
    ASSERT_NE(cache.page(f.file, at(slots)), nullptr); // one more page takes the oldest slot
    EXPECT_EQ(cache.held(), slots);
    EXPECT_EQ(cache.page(f.file, at(0))->bytes[8], 0) << "held: not read again";
    EXPECT_EQ(cache.page(f.file, at(1))->bytes[8], 'b') << "let go, read again";
}

TEST(IndexPageCache, AChangedPageIsWrittenBackBeforeItsSlotIsTaken) {
    const int slots = IndexPageCache::kSlots;
    PageFile f(slots + 2);
    IndexPageCache cache;
    cache.setDeferredSync(true);
    IndexNode node;
    node.self = at(3);
    node.entries.push_back({kIndexNoPage, 77, "KOWALSKI"});
    ASSERT_TRUE(cache.store(f.file, at(3), node));
    // Every other page once: the cache fills, and the last one read takes
    // the slot of page 3, the one used longest ago.
    for (int p = 0; p < slots + 2; ++p)
        if (p != 3) ASSERT_NE(cache.page(f.file, at(p)), nullptr);
    EXPECT_EQ(cache.held(), slots);
    File check;
    ASSERT_TRUE(check.open(f.dir.file("pages"), File::Mode::ReadOnly));
    uint8_t page[kIndexPageSize];
    ASSERT_TRUE(check.readAt(at(3), page, sizeof page));
    IndexPageLayout layout;
    ASSERT_TRUE(layOutIndexPage(page, layout));
    ASSERT_EQ(layout.count, 1);
    EXPECT_STREQ(RawIndexPage(page, layout).text(0), "KOWALSKI");
}

} // namespace
} // namespace k4
