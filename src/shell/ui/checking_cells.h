#pragma once
// The cells of the path checking panel: a label "%s %d" and a list of the
// last probes for each supervised path, rebuilt after every module check.
#include "shell/checking_panel.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QListWidget;

namespace k4 {

class CheckingCells final : public CheckingObserver {
public:
    static constexpr int kItemHeight = 14;

    explicit CheckingCells(QFrame* panel);
    ~CheckingCells() override;

    void rebuild(const std::vector<CheckedPath>& paths);
    void add(const CheckEntry& entry);
    void update(const CheckEntry& entry);
    // What the paths hand over as they probe.
    void addEntry(const CheckEntry& entry) override { add(entry); }
    void updateEntry(const CheckEntry& entry) override { update(entry); }

    int count() const { return static_cast<int>(cells_.size()); }
    QString label(int cell) const;
    int lineCount(int cell) const;
    QString line(int cell, int line) const;

private:
    struct Cell;
    Cell* cellOf(int slot);
    void redraw(Cell& cell);

    QFrame* panel_;
    std::vector<std::unique_ptr<Cell>> cells_;
};

} // namespace k4
