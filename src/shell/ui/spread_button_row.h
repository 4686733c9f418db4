#pragma once
// Applies the button-row layout to a group box: its child widgets in creation
// order, each with a "tag" property (0 = always shown) and an optional
// "tabOrder" property; the box's own "tag" names the current situation.
class QGroupBox;

namespace k4 {
void SpreadButtonRow(QGroupBox* box);
} // namespace k4
