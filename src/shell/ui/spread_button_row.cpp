#include "shell/ui/spread_button_row.h"

#include "shell/button_row.h"

#include <QGroupBox>
#include <QWidget>

namespace k4 {

void SpreadButtonRow(QGroupBox* box) {
    std::vector<QWidget*> children;
    for (QObject* child : box->children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            children.push_back(widget);

    std::vector<RowButton> row;
    int creation = 0;
    for (QWidget* w : children) {
        RowButton b;
        b.tag = w->property("tag").toInt();
        const QVariant tab = w->property("tabOrder");
        b.tabOrder = tab.isValid() ? tab.toInt() : creation;
        b.width = w->width();
        row.push_back(b);
        ++creation;
    }
    SpreadButtonRow(row, box->property("tag").toInt(), box->contentsRect().width());
    for (size_t i = 0; i < children.size(); ++i) {
        children[i]->setVisible(row[i].visible);
        if (row[i].visible) children[i]->move(row[i].left, children[i]->y());
    }
}

} // namespace k4
