#include "shell/checking_panel.h"

#include <cstdio>

namespace k4 {

bool isCheckedPathKind(int pathKind) {
    switch (pathKind) {
    case 0x10: case 0x30: case 0x40: case 0x60: case 0x90: case 0xB0: return true;
    default: return false;
    }
}

bool CheckLst::add(const CheckEntry& entry) {
    const bool grows = count() < capacity_;
    if (!grows) entries_.pop_front();
    entries_.push_back(entry);
    return grows;
}

int CheckLst::update(const CheckEntry& entry) {
    for (int i = count() - 1; i >= 0; --i) {
        CheckEntry& e = entries_[static_cast<size_t>(i)];
        if (e.slot == entry.slot && e.subscriber == entry.subscriber) {
            e = entry;
            return i;
        }
    }
    return -1;
}

std::string CheckLst::lineText(int i) const {
    static const char* const states[] = {" OK ", "BRAK", "SPR."};
    const CheckEntry& e = entries_[static_cast<size_t>(i)];
    char line[32];
    std::snprintf(line, sizeof line, "%04d  %-4s", static_cast<int>(e.subscriber), e.state < 3 ? states[e.state] : "");
    return line;
}

std::vector<CheckingCell> checkingCells(int n, int panelWidth, int panelHeight) {
    std::vector<CheckingCell> cells;
    if (n <= 0) return cells;
    const int rows = (n + 3) / 4;
    const int columns = (n + rows - 1) / rows;
    int width = panelWidth / columns;
    if (columns == 2) width -= 1;
    if (columns == 1) width -= 3;
    int height = panelHeight / rows;
    if (columns * width > panelWidth - 3) width -= 1;
    if (rows * height > panelHeight - 3) height -= 1;
    for (int k = 0; k < n; ++k)
        cells.push_back({(k % columns) * width + 2, (k / columns) * height + 1, width, height});
    return cells;
}

} // namespace k4
