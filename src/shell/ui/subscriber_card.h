#pragma once
// The subscriber card over a running station: the card with every dialog of
// the station it opens, the path dialog with its card and arming buttons,
// and the card of a new subscriber for the new-subscriber dialog.
#include "database/subscriber_search.h"

#include <cstdint>
#include <functional>

class QWidget;

namespace k4 {

class Printing;
class Sbscrbr;
class Station;

struct CardEnvironment {
    Station& station;
    Printing* printing = nullptr; // none: "Wy&druk" does nothing
    // Supervisor mode of the main window.
    std::function<bool()> supervisorOn;
    std::function<bool()> enterSupervisor;
    std::function<void()> leaveSupervisor;
    // Whether a history window is open, and the history of one subscriber.
    std::function<bool()> historyOpen;
    std::function<void(int number, QWidget* parent)> history;
    // "&Abonenta" of the event list: another subscriber searched for.
    std::function<SubscriberFound()> findSubscriber;
    // "&Opis": the subscriber's description window (edit: the card edits).
    std::function<void(Sbscrbr& subscriber, bool edit, QWidget* parent)> description;
};

// Where the path dialog was opened from: its "O&biekt" opens the card in
// test mode, or closes the dialog when a card opened it (and "&Historia"
// too when that card came from the history window).
enum class PathDialogFrom { Elsewhere, Card, HistoryCard };

// The card in view mode of the record at the offset. Its result.
int openSubscriberCard(const CardEnvironment& env, int32_t offset, QWidget* parent, bool testMode = false);
// The card of the subscriber with this number in history mode; true when it
// was left with "&Historia" (the history window narrows to it).
bool openHistoryCard(const CardEnvironment& env, int number, QWidget* parent);
// The new-subscriber dialog's card: the number not in the index yet gives a
// new subscriber with its defaults, and the card starts in edit mode (history
// kind 71) with the event list chosen (alarm_list; -1 keeps the default).
// Its result: QDialog::Accepted when it was saved.
int openNewSubscriberCard(const CardEnvironment& env, int number, int eventList, QWidget* parent);
// "Tory badania" of the record at the offset.
void openPathDialog(const CardEnvironment& env, int32_t offset, QWidget* parent,
                    PathDialogFrom from = PathDialogFrom::Elsewhere);

} // namespace k4
