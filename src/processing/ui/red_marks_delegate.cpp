#include "processing/ui/red_marks_delegate.h"

#include <QFontMetrics>
#include <QPainter>

namespace k4 {

void RedMarksDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    const QString text = plain.text;
    plain.text.clear();
    QStyledItemDelegate::paint(painter, plain, index);
    const QFontMetrics metrics(option.font);
    int x = option.rect.left() + 2;
    bool red = false;
    painter->save();
    for (const QString& part : text.split(QLatin1Char('~'))) {
        painter->setPen(red ? QColor(Qt::red) : option.palette.color(QPalette::Text));
        painter->drawText(QPoint(x, option.rect.top() + metrics.ascent()), part);
        x += metrics.horizontalAdvance(part);
        red = !red;
    }
    painter->restore();
}

} // namespace k4
