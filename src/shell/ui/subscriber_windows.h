#pragma once
// The subscriber windows of "&Abonent" on the station: the list, the new
// subscriber, the number change, and the description window that the card,
// the blockade and the list open. Owns the forms kept for the whole run
// ("Opis grafiki", "Zmiana numeru abonenta").
#include "database/ui/desc.h"

#include <QPointer>

#include <cstdint>
#include <functional>

class QWidget;

namespace k4 {

class Station;
class TFindSbs;
class TModGraphForm;
class TNewNo;

class SubscriberWindows {
public:
    // The subscriber card at a record offset; true when it reports a change.
    using OpenCard = std::function<bool(int32_t offset, QWidget* parent)>;
    // The card in editing mode on a new subscriber with this number and
    // event list (alarm_list); true when the card stored it.
    using OpenNewCard = std::function<bool(int number, int32_t listId, QWidget* parent)>;

    SubscriberWindows(Station& station, std::function<TFindSbs&()> finder, std::function<bool()> supervisor);
    ~SubscriberWindows();

    // The card's way in, once there is a card.
    void setCard(OpenCard open, OpenNewCard openNew) {
        openCard_ = std::move(open);
        openNewCard_ = std::move(openNew);
    }
    // The window the kept forms belong to.
    void setWindow(QWidget* window) { window_ = window; }

    void showList(QWidget* parent);      // "&Abonent" / "&Lista"
    void newSubscriber(QWidget* parent); // "&Abonent" / "&Nowy"
    void changeNumber(QWidget* parent);  // "&Abonent" / "&Zmiana numeru"

    // "Opis" of a subscriber (see openDescriptionWindow).
    int openDescription(QWidget* parent, bool edit, int number, Int32Le& desc);
    DescriptionParts& descriptionParts();

private:
    Station& station_;
    std::function<TFindSbs&()> finder_;
    std::function<bool()> supervisor_;
    OpenCard openCard_;
    OpenNewCard openNewCard_;
    QWidget* window_ = nullptr;
    QPointer<TModGraphForm> details_;
    QPointer<TNewNo> newNo_;
    std::unique_ptr<DescriptionParts> parts_;
};

} // namespace k4
