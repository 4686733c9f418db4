#pragma once
// The layout of a row of buttons that serves several situations: each button
// carries the tag of the situation it belongs to (0 for always), the row
// carries the tag of the current one, and the buttons that apply are spread
// evenly across the row.
#include <vector>

namespace k4 {

struct RowButton {
    int tag = 0;
    int tabOrder = 0;
    int width = 0;
    // Results.
    bool visible = false;
    int left = 0;
};

// buttons in creation order; fills visible and left of each.
void SpreadButtonRow(std::vector<RowButton>& buttons, int rowTag, int clientWidth);

} // namespace k4
