#pragma once
// "Wspólne listy zdarzeń": the fifteen shared event lists of the centre and
// the standard list in slot 0. The slot chosen shows its list below, whose
// entries (slots 1..15) are edited in place, for every subscriber using it;
// "&Nowa" makes a list in a free slot ("Lista zdarzeń"), "&Usuń" takes one
// away from its subscribers and its slot, a double click or Space renames
// a used slot.
#include "processing/shared_lists.h"
#include "processing/ui/sbs_alarms.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace k4 {

class Printing;
class TNSAlarms;

// "Lista zdarzeń": a new shared list.
class TNewAlLst : public QDialog {
    Q_OBJECT
public:
    // choosers: sharedList ("Wspólnej"), subscriberList ("Abonenta", the
    // alarm_list of the subscriber found) and listFile ("Z dysku").
    TNewAlLst(SharedListParts parts, SbsAlarmsChoosers choosers, QWidget* parent = nullptr);

    // 0 made (the dialog closes), 1 refused or the choice abandoned, -1
    // failed; the dialog stays open unless 0.
    int OkClick();
    NewListBase base() const;
    int slot() const;

    QSpinBox* Pozycja;
    QLineEdit* Nazwa;
    QButtonGroup* Podstawa; // ids in the order of NewListBase: Wspólnej, Pustej, Abonenta, Z dysku

private:
    SharedListParts parts_;
    SbsAlarmsChoosers choosers_;
};

class TShrAlarms : public QDialog {
    Q_OBJECT
public:
    TShrAlarms(SharedListParts parts, const ConfigBlock& config, RecordFile& dane, IndexHandle& numberIndex,
               Printing* printing, SbsAlarmsChoosers choosers, QWidget* parent = nullptr);
    ~TShrAlarms() override;

    void refreshSlots();
    QString slotLine(int slot) const;
    void select(int slot);
    int selectedSlot() const;
    TNSAlarms& entries() { return *Lista; }

    void NowaClick();
    void UsunClick();
    // A used slot 1..15 renamed (the name asked for).
    void SlotyDblClick();
    void WydrukClick();

    QListWidget* Sloty;
    TNSAlarms* Lista;
    QPushButton* Usun;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSlot(int slot);

    SharedListParts parts_;
    const ConfigBlock& config_;
    RecordFile& dane_;
    IndexHandle& numberIndex_;
    Printing* printing_;
    SbsAlarmsChoosers choosers_;
    // The id of the list shown, as long as it is open.
    Int32Le shownList_ = 0;
};

} // namespace k4
