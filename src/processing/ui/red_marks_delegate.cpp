#include "processing/ui/red_marks_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace k4 {

void RedMarksDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    const QString text = plain.text;
    // The item's background and selection without its text: the base
    // class's paint would fill the text in again and draw it with its "~".
    plain.text.clear();
    const QStyle* style = plain.widget ? plain.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    const QFontMetrics metrics(option.font);
    int x = option.rect.left() + 2;
    bool red = false;
    painter->save();
    for (const QString& part : text.split(QLatin1Char('~'))) {
        const QPalette::ColorRole role = (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        painter->setPen(red ? QColor(Qt::red) : option.palette.color(role));
        painter->drawText(QPoint(x, option.rect.top() + metrics.ascent()), part);
        x += metrics.horizontalAdvance(part);
        red = !red;
    }
    painter->restore();
}

} // namespace k4
