#pragma once
// "Nowy abonent": the number of a subscriber to be made and the shared
// event list it is to use. "&Utwórz" closes only with a free number and a
// list chosen; the card then opens on the new subscriber.
#include <QDialog>

#include <cstdint>

class QLineEdit;
class QListWidget;

namespace k4 {

class Messages;
class ShareLst;
class SubscriberIndexes;

class TNewSbs : public QDialog {
    Q_OBJECT
public:
    TNewSbs(SubscriberIndexes& indexes, const ShareLst& sharedLists, Messages& messages, QWidget* parent = nullptr);

    void UtworzClick();
    int number() const { return number_; }
    int32_t listId() const { return listId_; }

    QLineEdit* Numer;
    QListWidget* Lista;

private:
    SubscriberIndexes& indexes_;
    const ShareLst& sharedLists_;
    Messages& messages_;
    int number_ = -1;
    int32_t listId_ = 0;
};

} // namespace k4
