#pragma once
// Draws a subscriber line's text with the parts between "~" in red and the
// "~" themselves left out: the supervised paths and disarmed positions of
// the subscriber lists.
#include <QStyledItemDelegate>

namespace k4 {

class RedMarksDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace k4
