#pragma once
// The alarm list of the main window as Qt sees it: one line per active
// alarm, its text and colour read from the alarm record of the same index
// whenever the line is drawn, never copied.
#include <QAbstractListModel>
#include <QStyledItemDelegate>

namespace k4 {

class AlarmsList;
class EventTable;

class AlarmsLstModel : public QAbstractListModel {
public:
    static constexpr int kColourRole = Qt::UserRole + 1;

    AlarmsLstModel(const AlarmsList& alarms, const EventTable* events, int stationMode, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The list changed under the lines: the window keeps the number of lines
    // in step with the alarms.
    void lineAdded();      // a new alarm at the top (or the list was full)
    void lineRemoved(int line);
    void lineChanged(int line);

private:
    const AlarmsList& alarms_;
    const EventTable* events_;
    int stationMode_;
    int rows_ = 0;
};

// Black items, the text in its class colour 2 pixels from the left edge, 16
// pixels high; the selected line on a grey bar.
class AlarmsLstDelegate : public QStyledItemDelegate {
public:
    static constexpr int kItemHeight = 16;
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace k4
