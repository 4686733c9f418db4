#include "shell/ui/alarms_lst_model.h"

#include "processing/alarms_list.h"
#include "shell/alarm_lines.h"

#include <QColor>
#include <QPainter>

namespace k4 {

AlarmsLstModel::AlarmsLstModel(const AlarmsList& alarms, const EventTable* events, int stationMode, QObject* parent)
    : QAbstractListModel(parent), alarms_(alarms), events_(events), stationMode_(stationMode), rows_(alarms.count()) {}

int AlarmsLstModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant AlarmsLstModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= alarms_.count()) return {};
    const AlarmRecord& alarm = alarms_[index.row()];
    if (role == Qt::DisplayRole) return QString::fromStdString(alarmLineShown(alarm, events_, stationMode_));
    if (role == kColourRole) return QColor::fromRgb(alarmLineColour(alarm.colour()));
    return {};
}

void AlarmsLstModel::lineAdded() {
    if (rows_ < alarms_.count()) {
        beginInsertRows({}, 0, 0);
        ++rows_;
        endInsertRows();
    } else if (rows_ > 0) {
        // A full list dropped its oldest alarm: the same number of lines,
        // every one now showing the alarm below it.
        emit dataChanged(index(0), index(rows_ - 1));
    }
}

void AlarmsLstModel::lineRemoved(int line) {
    if (line < 0 || line >= rows_) return;
    beginRemoveRows({}, line, line);
    --rows_;
    endRemoveRows();
}

void AlarmsLstModel::lineChanged(int line) {
    if (line >= 0 && line < rows_) emit dataChanged(index(line), index(line));
}

void AlarmsLstDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QColor colour = index.data(AlarmsLstModel::kColourRole).value<QColor>();
    painter->save();
    // The selected line keeps its class colour on a grey bar, so every
    // class (navy and black among them) stays readable when selected.
    painter->fillRect(option.rect, selected ? QColor(0x50, 0x50, 0x50) : QColor(Qt::black));
    painter->setPen(colour);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize AlarmsLstDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), kItemHeight};
}

} // namespace k4
