#pragma once
// The LED panel dialogs. The panel takes no command in this version: the
// manual buttons do nothing and a subscriber's list lives only while its
// dialog is open.
#include "messages/messages.h"
#include "signals/led_entry.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace k4 {

// "Diody" of the System menu.
class TLedsForm : public QDialog {
    Q_OBJECT
public:
    explicit TLedsForm(QWidget* parent = nullptr);
    QTreeWidget* list;
    QPushButton* lightBtn;
    QPushButton* offBtn;
    QPushButton* allOffBtn;
    QPushButton* setBtn;
};

// "Dioda": one entry.
class TLedSbsForm : public QDialog {
    Q_OBJECT
public:
    explicit TLedSbsForm(QWidget* parent = nullptr);
    QLineEdit* ledNumber;
    QLineEdit* lightingCode;
    QLineEdit* extinguishingCode;
    QSpinBox* lightingColour;
    QSpinBox* extinguishingColour;
    QCheckBox* automatic;
    QCheckBox* testOnRequest;
    QPushButton* SaveBtn;
    QPushButton* listBtn;
    // What "&Zapisz" stored; none for a zero LED number.
    std::optional<LedEntry> stored;
    bool storedTestOnRequest = false;
    void SaveBtnClick();
};

// "Diody" of the subscriber form.
class TLedsSbsForm : public QDialog {
    Q_OBJECT
public:
    TLedsSbsForm(Messages& messages, LedList list, QWidget* parent = nullptr);
    QListWidget* entries;
    QPushButton* newBtn;
    QPushButton* deleteBtn;
    QPushButton* SaveBtn;
    QLineEdit* setField;
    LedList list;
    void setEdited();
    void addEntry(const LedEntry& entry, bool testOnRequest);
    void refill();

private:
    Messages& messages_;
};

} // namespace k4
