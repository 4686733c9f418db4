#pragma once
// "Lista Abonentów": every subscriber in the order of an index, one line
// each with its paths, tests and event list. A double click or Space opens
// the subscriber's card; "S&zukaj" finds a subscriber in the list,
// "S&ortuj" orders it again, and in supervisor mode "&Nowy" and "&Usuń"
// add and delete subscribers.
#include "processing/sbs_sorter.h"

#include <QDialog>

#include <functional>

class QListView;
class QPushButton;

namespace k4 {

class ShareLst;
class SubscriberDatabase;
class SubscriberIndexes;
class SubscriberListModel;
struct SubscriberFound;

class TSbscrbrs : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        // The search dialog's answer (kind and record offset, -1 none).
        std::function<SubscriberFound()> find;
        // The card of the subscriber at a record offset; true when it
        // reports a change.
        std::function<bool(int32_t offset, QWidget* parent)> openCard;
        // The new-subscriber dialog and the card after it.
        std::function<void(QWidget* parent)> newSubscriber;
    };

    TSbscrbrs(SubscriberIndexes& indexes, SubscriberDatabase& database, const ShareLst& sharedLists, Actions actions,
              bool supervisor, QWidget* parent = nullptr);
    ~TSbscrbrs() override;

    // Collected again: the sorter's index and range, no filter.
    void rebuild();
    void sortBy(int index, const std::string& from, const std::string& to, int keyLength, bool mark);
    void SzukajClick();
    void SortujClick();
    void NowyClick();
    void UsunClick();
    void ListDblClick();

    int count() const;
    int current() const;
    // Line i as drawn (UTF-8, the red marks' "~" left out).
    QString line(int i) const;
    // The row of a record offset, -1 when it is not listed.
    int rowOf(int32_t offset) const;
    void select(int row);
    SbsSorter& sorter() { return sorter_; }
    QListView* List;
    QPushButton* Nowy;
    QPushButton* Usun;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitLineWidth();

    SubscriberDatabase& database_;
    SbsSorter sorter_;
    Actions actions_;
    SubscriberListModel* model_;
};

} // namespace k4
