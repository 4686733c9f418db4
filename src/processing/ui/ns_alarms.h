#pragma once
// "Lista zdarzeń": the entries of one event list, a subscriber's or a
// shared one, with their list lines; an entry added, edited (double click
// or Space) or removed, and "&Zrzut" of the whole list into a "*.al" file.
// The list is opened again from the disk after every change, so the lines
// are always what "alarmy" holds. Shown on its own or inside the window of
// the shared lists.
#include "config/config.h"
#include "processing/event_list.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QListWidget;
class QPushButton;

namespace k4 {

class TNSAlarms : public QDialog {
    Q_OBJECT
public:
    // The list as it is stored now (null: no list to show).
    using ListOpener = std::function<std::unique_ptr<AlarmsTableList>()>;

    // standardCode: "&Lista" of an entry, a code picked from the event names.
    TNSAlarms(const EventTable& events, const ConfigBlock& config, Messages& messages,
              std::function<std::optional<int>()> standardCode, QWidget* parent = nullptr);
    ~TNSAlarms() override;

    // The list shown from now on. dumpName: the file "&Zrzut" writes (UTF-8);
    // editable false: entries can only be looked at.
    void setList(ListOpener open, std::string dumpName, bool editable);
    // The directory "&Zrzut" offers first.
    void setDumpDirectory(std::string directory) { dumpDirectory_ = std::move(directory); }
    // Inside another window: no frame and no "&Koniec".
    void embed();
    // After a change has been stored (the owner may redraw what depends on it).
    std::function<void()> changed;

    void reopen();
    int count() const;
    QString line(int i) const;
    AlarmsTableList* list() { return list_.get(); }

    void DodajClick();
    void EdytujClick(int position);
    // After "Usunąć zdarzenie %3.3X ?".
    void UsunClick(int position);
    // 0 written, 1 nothing written (refused or cancelled), -1 failed.
    int ZrzutClick();

    QListWidget* List;
    QPushButton* Dodaj;
    QPushButton* Usun;
    QPushButton* Zrzut;
    QPushButton* Koniec;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    const EventTable& events_;
    const ConfigBlock& config_;
    Messages& messages_;
    std::function<std::optional<int>()> standardCode_;
    ListOpener open_;
    std::unique_ptr<AlarmsTableList> list_;
    std::string dumpName_;
    std::string dumpDirectory_;
    bool editable_ = false;
};

} // namespace k4
