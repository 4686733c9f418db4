#pragma once
// "Informacje techniczne": the pending scheduler entries or the last serial
// trace lines, for the service technician (F5 in the main window).
#include "shell/ui/viewer.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

namespace k4 {

class Clock;
class Scheduler;
class TraceRing;

class TTechForm : public TViewer {
    Q_OBJECT
public:
    // scheduler may be null: the scheduler view is then empty.
    TTechForm(TraceRing& trace, const Scheduler* scheduler, const Clock& clock, QWidget* parent = nullptr);
    ~TTechForm() override;

    bool ViewLine(int line, std::string& text, int size) override;

    int view() const { return view_; }
    int filter() const { return filter_; }

    void Button1Click(); // "&Zdarzenia"
    void Button2Click(); // "&Serial"
    void Button3Click(); // "&Filtracja"
    // A press on the list: drawn again only when something changed.
    void ListBoxMouseDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int64_t watched() const;
    void showQueue();
    void showFreshestTrace();

    TraceRing& trace_;
    const Scheduler* scheduler_;
    const Clock& clock_;
    int view_ = 0;
    int filter_ = -1;
    int64_t lastSeen_ = 0;

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
};

} // namespace k4
