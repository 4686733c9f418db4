#include "processing/ui/subscriber_list_model.h"

#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "processing/share_lst.h"
#include "processing/subscriber_list_line.h"

#include <algorithm>

namespace k4 {

int listLineWidth(int pixels, int widthOfW) {
    if (widthOfW <= 0) return 1;
    return std::clamp((pixels - 20) / widthOfW, 1, 199);
}

SubscriberListModel::SubscriberListModel(SbsSorter& sorter, SubscriberDatabase& database,
                                         const ShareLst& sharedLists, QObject* parent)
    : QAbstractListModel(parent), sorter_(sorter), database_(database), sharedLists_(sharedLists) {}

void SubscriberListModel::reload() {
    beginResetModel();
    endResetModel();
}

void SubscriberListModel::setLineWidth(int characters) {
    if (characters == width_) return;
    width_ = characters;
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}

int SubscriberListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : sorter_.count(); }

QString SubscriberListModel::line(int row) const {
    if (row < 0 || row >= sorter_.count()) return {};
    Sbscrbr s(database_, AtOffset{sorter_.offset(row)});
    if (!s.valid) return {};
    const int slot = sharedLists_.slotOf(s.record.alarm_list);
    return QString::fromStdString(Utf8FromMazovia(subscriberListLine(s.record, width_, slot > 0 ? slot : 0)));
}

QVariant SubscriberListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return line(index.row());
}

} // namespace k4
