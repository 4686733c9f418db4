#pragma once
// "Lista zdarzeń abonenta": the event list a subscriber uses, its own or a
// shared one, edited entry by entry, replaced by another list, and the
// rate limiter of its reports. Every change of the list is written to
// "alarmy" at once; the list the subscriber's record names is
// written at once too (the list it named before may be freed already), the
// rest of the record is saved by the subscriber card that opened this
// dialog, the limiter's fields are written on their own when it ends.
#include "processing/event_list.h"
#include "processing/share_lst.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;

namespace k4 {

class Printing;
class Sbscrbr;
struct ConfigBlock;

struct SbsAlarmsChoosers {
    // "Listy wspólne": the listId of the shared list chosen.
    std::function<std::optional<int32_t>()> sharedList;
    // "&Abonenta": the list of another subscriber found (its alarm_list).
    std::function<std::optional<int32_t>()> subscriberList;
    // "Z d&ysku": a "*.al" file.
    std::function<std::optional<std::string>()> listFile;
    // "&Lista" of an entry: a standard code.
    std::function<std::optional<int>()> standardCode;
};

class TSbsAlarms : public QDialog {
    Q_OBJECT
public:
    TSbsAlarms(Sbscrbr& subscriber, RecordFile& alarmy, const EventTable& events, ShareLst& shared,
               const ConfigBlock& config, Messages& messages, Printing* printing, SbsAlarmsChoosers choosers,
               QWidget* parent = nullptr);
    ~TSbsAlarms() override;

    void refresh();
    int count() const;
    QString line(int i) const;
    QString listType() const;
    AlarmsTableList& list() { return *list_; }

    void WspolnaClick();
    void PustaClick();
    void AbonentaClick();
    void ZDyskuClick();
    void WydrukClick();
    // The list into "*.al" in a directory asked for. 0, 1 nothing written, -1 failed (told).
    int ZrzutClick();
    void setDumpDirectory(std::string directory) { dumpDirectory_ = std::move(directory); }
    void DodajClick();
    void EdytujClick(int position);
    void UsunClick(int position);
    // The limiter's fields into alarm_opts, written when stored. 0 or -1.
    int storeLimiter();
    // The list the subscriber names, written to its stored record when it
    // differs. 0 or -1 (told).
    int storeListChoice();
    void done(int result) override;

    QListWidget* List;
    QLabel* Typ;
    QLineEdit* Maksymalna;
    QLineEdit* WCiagu;

private:
    void reopen();

    Sbscrbr& subscriber_;
    RecordFile& alarmy_;
    const EventTable& events_;
    ShareLst& shared_;
    const ConfigBlock& config_;
    Messages& messages_;
    Printing* printing_;
    SbsAlarmsChoosers choosers_;
    std::unique_ptr<AlarmsTableList> list_;
    std::string dumpDirectory_;
};

} // namespace k4
