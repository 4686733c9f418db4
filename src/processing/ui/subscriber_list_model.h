#pragma once
// The lines of a sorted subscriber list, built only when drawn: a list of
// thousands of subscribers opens at once and reads just the records of the
// lines on screen. Each line is w characters wide, w taken from the width
// of the list it is drawn in.
#include "processing/sbs_sorter.h"

#include <QAbstractListModel>

namespace k4 {

class ShareLst;
class SubscriberDatabase;

class SubscriberListModel final : public QAbstractListModel {
public:
    SubscriberListModel(SbsSorter& sorter, SubscriberDatabase& database, const ShareLst& sharedLists,
                        QObject* parent = nullptr);

    // After the sorter collected its list again.
    void reload();
    // Characters per line: (pixels - 20) / width of "W", at most 199.
    void setLineWidth(int characters);
    int lineWidth() const { return width_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The line of row i (UTF-8, with the "~" of the red marks).
    QString line(int row) const;

private:
    SbsSorter& sorter_;
    SubscriberDatabase& database_;
    const ShareLst& sharedLists_;
    int width_ = 72;
};

int listLineWidth(int pixels, int widthOfW);

} // namespace k4
