#include "shell/button_row.h"

#include <algorithm>
#include <numeric>

namespace k4 {

void SpreadButtonRow(std::vector<RowButton>& buttons, int rowTag, int clientWidth) {
    if (buttons.empty()) return;
    const int firstWidth = buttons.front().width;

    std::vector<size_t> order(buttons.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return buttons[a].tabOrder < buttons[b].tabOrder;
    });

    int shown = 0;
    for (auto& b : buttons) {
        b.visible = b.tag == 0 || b.tag == rowTag;
        if (b.visible) ++shown;
    }
    const int step = (firstWidth + clientWidth) / (shown + 1);
    int k = 0;
    for (size_t i : order) {
        if (!buttons[i].visible) continue;
        ++k;
        buttons[i].left = k * step - firstWidth;
    }
}

} // namespace k4
