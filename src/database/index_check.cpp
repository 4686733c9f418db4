#include "database/index_check.h"

#include "database/codepage.h"
#include "database/index_page.h"
#include "platform/file.h"

#include <set>

namespace k4 {

namespace {

int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

struct Walk {
    const std::string& image;
    IndexCheckReport& report;
    bool keep;
    std::set<int32_t> seen;
    const std::string* last = nullptr;
    std::string lastText;

    bool validPage(int32_t page) const {
        return page >= kIndexHeaderSize && (page - kIndexHeaderSize) % kIndexPageSize == 0 &&
               static_cast<size_t>(page) + kIndexPageSize <= image.size();
    }

    void problem(const std::string& text) {
        if (report.problems.size() < 50) report.problems.push_back(text);
    }

    void key(const IndexKey& k) {
        if (last && CompareMazoviaN(k.text.c_str(), lastText.c_str(), kIndexKeyLength) < 0)
            problem("klucz poza kolejnością: \"" + k.text + "\"");
        lastText = k.text;
        last = &lastText;
        ++report.keys;
        if (keep) report.entries.emplace_back(k.text, k.value);
    }

    void node(const IndexNode& n, int depth) {
        for (int slot = 0; slot <= n.count(); ++slot) {
            if (!n.isLeaf()) page(n.child(slot), depth + 1);
            if (slot < n.count()) key(n.entries[static_cast<size_t>(slot)]);
        }
    }

    void page(int32_t offset, int depth) {
        if (depth > report.height || depth > kIndexMaxLevels) {
            problem("strona " + std::to_string(offset) + " poniżej liści");
            return;
        }
        if (!validPage(offset)) {
            problem("odnośnik do strony " + std::to_string(offset) + " poza plikiem");
            return;
        }
        if (!seen.insert(offset).second) {
            problem("strona " + std::to_string(offset) + " osiągalna dwa razy (pętla)");
            return;
        }
        auto n = decodeIndexPage(reinterpret_cast<const uint8_t*>(image.data()) + offset);
        if (!n) {
            problem("uszkodzona strona " + std::to_string(offset));
            return;
        }
        if (n->left == kIndexFreeMark) {
            problem("strona wolna " + std::to_string(offset) + " w drzewie");
            return;
        }
        if (n->self != offset) problem("strona " + std::to_string(offset) + " podaje adres " + std::to_string(n->self));
        // Below the root a page always holds an entry: an empty one is damage.
        if (n->entries.empty()) problem("pusta strona " + std::to_string(offset));
        if (n->isLeaf() != (depth == report.height)) problem("strona " + std::to_string(offset) + " na złym poziomie");
        ++report.treePages;
        node(*n, depth);
    }
};

} // namespace

IndexCheckReport checkIndexFile(const std::string& path, bool keepEntries) {
    IndexCheckReport report;
    std::string image, error;
    if (!readWholeFile(path, image, &error)) {
        report.problems.push_back(error);
        return report;
    }
    if (image.size() < static_cast<size_t>(kIndexHeaderSize)) {
        report.problems.push_back("brak bloku nagłówka (" + std::to_string(image.size()) + " B)");
        return report;
    }
    if ((image.size() - kIndexHeaderSize) % kIndexPageSize != 0)
        report.problems.push_back("niepełna ostatnia strona");
    const auto* header = reinterpret_cast<const uint8_t*>(image.data());
    report.height = header[kIndexPageSize + 4] | header[kIndexPageSize + 5] << 8;
    if (report.height < 1 || report.height > kIndexMaxLevels) {
        report.problems.push_back("wysokość drzewa " + std::to_string(report.height));
        return report;
    }
    auto root = decodeIndexPage(header);
    if (!root) {
        report.problems.push_back("uszkodzony korzeń");
        return report;
    }
    Walk walk{image, report, keepEntries, {}, nullptr, {}};
    if (root->isLeaf() != (report.height == 1)) report.problems.push_back("korzeń na złym poziomie");
    walk.node(*root, 1);

    std::set<int32_t> freeSeen;
    for (int32_t free = get32(header + kIndexPageSize); free != kIndexNoPage;) {
        if (!walk.validPage(free)) {
            walk.problem("łańcuch wolnych stron wskazuje " + std::to_string(free));
            break;
        }
        if (!freeSeen.insert(free).second || walk.seen.count(free)) {
            walk.problem("łańcuch wolnych stron zapętlony lub w drzewie przy " + std::to_string(free));
            break;
        }
        const auto* p = header + free;
        if (get32(p + 6) != kIndexFreeMark) walk.problem("strona " + std::to_string(free) + " w łańcuchu wolnych bez znacznika");
        ++report.freePages;
        free = get32(p);
    }
    const int64_t pages = static_cast<int64_t>(image.size() - kIndexHeaderSize) / kIndexPageSize;
    report.lostPages = static_cast<int>(pages - report.treePages - report.freePages);
    return report;
}

} // namespace k4
