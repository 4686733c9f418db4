#include "shell/ui/subscriber_windows.h"

#include "database/subscriber_search.h"
#include "database/ui/find_sbs.h"
#include "database/ui/mod_graph_form.h"
#include "database/ui/new_no.h"
#include "processing/ui/new_sbs.h"
#include "processing/ui/sbscrbrs.h"
#include "shell/station.h"


namespace k4 {

SubscriberWindows::SubscriberWindows(Station& station, std::function<TFindSbs&()> finder,
                                     std::function<bool()> supervisor)
    : station_(station), finder_(std::move(finder)), supervisor_(std::move(supervisor)) {}

SubscriberWindows::~SubscriberWindows() {
    // Kept forms without a window to own them go with these windows.
    if (details_ && !details_->parent()) delete details_.data();
    if (newNo_ && !newNo_->parent()) delete newNo_.data();
}

DescriptionParts& SubscriberWindows::descriptionParts() {
    if (!details_) details_ = new TModGraphForm(window_);
    if (!parts_) {
        FileCopier& copier = station_.backup().copier();
        parts_ = std::make_unique<DescriptionParts>(DescriptionParts{
            station_.database(),
            [&copier](const std::string& target, const std::string& name, const std::string& directory) {
                return copier.CopyIn(target, name, directory);
            },
            nullptr});
    }
    parts_->details = details_.data();
    return *parts_;
}

int SubscriberWindows::openDescription(QWidget* parent, bool edit, int number, Int32Le& desc) {
    return openDescriptionWindow(descriptionParts(), parent, edit, number, desc);
}

void SubscriberWindows::showList(QWidget* parent) {
    TSbscrbrs::Actions actions;
    actions.find = [this] { return finder_().find(); };
    if (openCard_) actions.openCard = openCard_;
    actions.newSubscriber = [this](QWidget* over) { newSubscriber(over); };
    TSbscrbrs list(station_.indexes(), station_.database(), station_.sharedLists(), std::move(actions),
                   supervisor_ && supervisor_(), parent);
    list.exec();
}

void SubscriberWindows::newSubscriber(QWidget* parent) {
    TNewSbs dialog(station_.indexes(), station_.sharedLists(), station_.messages(), parent);
    if (dialog.exec() != QDialog::Accepted) return;
    // The card opens in edit mode on the new subscriber; it stores it.
    if (openNewCard_) openNewCard_(dialog.number(), dialog.listId(), parent);
}

void SubscriberWindows::changeNumber(QWidget* parent) {
    if (!newNo_) newNo_ = new TNewNo(station_.database(), station_.indexes(), window_ ? window_ : parent);
    newNo_->exec();
}

} // namespace k4
