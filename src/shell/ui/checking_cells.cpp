#include "shell/ui/checking_cells.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QListWidget>

namespace k4 {

struct CheckingCells::Cell {
    int slot;
    QLabel* label;
    QListWidget* list;
    CheckLst entries;
};

CheckingCells::CheckingCells(QFrame* panel) : panel_(panel) {}

CheckingCells::~CheckingCells() = default;

void CheckingCells::rebuild(const std::vector<CheckedPath>& paths) {
    for (auto& cell : cells_) {
        delete cell->label;
        delete cell->list;
    }
    cells_.clear();
    const auto places = checkingCells(static_cast<int>(paths.size()), panel_->width(), panel_->height());
    const int labelHeight = QFontMetrics(panel_->font()).height();
    for (size_t k = 0; k < places.size(); ++k) {
        const CheckingCell& at = places[k];
        auto* label = new QLabel(QString::fromStdString(paths[k].name) + QStringLiteral(" %1").arg(paths[k].number),
                                 panel_);
        label->move(at.left + 1, at.top);
        label->show();
        auto* list = new QListWidget(panel_);
        list->setGeometry(at.left, at.top + labelHeight, at.width - 1, at.height - labelHeight - 1);
        list->setFocusPolicy(Qt::NoFocus);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setUniformItemSizes(true);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QPalette silver = list->palette();
        silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
        list->setPalette(silver);
        list->setProperty("tag", paths[k].slot);
        list->show();
        // As many entries as the list shows lines.
        const int capacity = list->viewport()->height() / kItemHeight;
        cells_.push_back(std::make_unique<Cell>(Cell{paths[k].slot, label, list, CheckLst(capacity)}));
    }
}

CheckingCells::Cell* CheckingCells::cellOf(int slot) {
    for (auto& cell : cells_)
        if (cell->slot == slot) return cell.get();
    return nullptr;
}

void CheckingCells::redraw(Cell& cell) {
    cell.list->clear();
    for (int i = 0; i < cell.entries.count(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(cell.entries.lineText(i)), cell.list);
        item->setSizeHint(QSize(cell.list->width(), kItemHeight));
    }
}

void CheckingCells::add(const CheckEntry& entry) {
    if (Cell* cell = cellOf(entry.slot)) {
        cell->entries.add(entry);
        redraw(*cell);
    }
}

void CheckingCells::update(const CheckEntry& entry) {
    Cell* cell = cellOf(entry.slot);
    if (cell && cell->entries.update(entry) >= 0) redraw(*cell);
}

QString CheckingCells::label(int cell) const { return cells_[static_cast<size_t>(cell)]->label->text(); }

int CheckingCells::lineCount(int cell) const { return cells_[static_cast<size_t>(cell)]->list->count(); }

QString CheckingCells::line(int cell, int line) const {
    QListWidgetItem* item = cells_[static_cast<size_t>(cell)]->list->item(line);
    return item ? item->text() : QString();
}

} // namespace k4
