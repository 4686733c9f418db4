#pragma once
// The technician's check of an index file as it lies on the disk: the tree's
// order and levels, the fill of every page, the chain of free pages, and
// pages that belong to neither.
#include <cstdint>
#include <string>
#include <vector>

namespace k4 {

struct IndexCheckReport {
    int64_t keys = 0;
    int height = 0;
    int treePages = 0;
    int freePages = 0;
    int lostPages = 0;
    std::vector<std::string> problems;
    // (text, value) of every key in order, when asked for.
    std::vector<std::pair<std::string, int32_t>> entries;

    bool ok() const { return problems.empty(); }
};

IndexCheckReport checkIndexFile(const std::string& path, bool keepEntries = false);

} // namespace k4
