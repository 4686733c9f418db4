#pragma once
// The path checking panel of the main window: one cell per supervised path,
// each with a short list of the last subscribers probed on it and how the
// probe went.
#include "baselink/check_entry.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace k4 {


// A path with a cell on the panel.
struct CheckedPath {
    std::string name; // UTF-8
    int number = 0;   // counted from 1
    int slot = 0;     // path table slot
};

// The path kinds that get a cell.
bool isCheckedPathKind(int pathKind);

// As many entries as the cell's list shows; the oldest goes first.
class CheckLst {
public:
    explicit CheckLst(int capacity) : capacity_(capacity > 0 ? capacity : 1) {}

    // true when the list grew by a line (it was not full).
    bool add(const CheckEntry& entry);
    // The newest entry of the same slot and subscriber takes the new state;
    // its index, or -1 when there is none.
    int update(const CheckEntry& entry);

    int count() const { return static_cast<int>(entries_.size()); }
    int capacity() const { return capacity_; }
    const CheckEntry& operator[](int i) const { return entries_[static_cast<size_t>(i)]; }
    // "%04d  %-4s": the subscriber and the state text.
    std::string lineText(int i) const;

private:
    int capacity_;
    std::deque<CheckEntry> entries_;
};

struct CheckingCell {
    int left, top, width, height;
};

// The cells of n paths on a panel of the given size: at most four to a row,
// the rows as even as they come.
std::vector<CheckingCell> checkingCells(int n, int panelWidth, int panelHeight);

} // namespace k4
