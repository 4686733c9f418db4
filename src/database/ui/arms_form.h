#pragma once
// "Wyłączenia/Załączenia": the arming schedules of a subscriber's ten
// subsystem positions, one shown at a time in the week grid, and the codes
// of the people who arm with their positions. A schedule is written to
// "uzbroj" as soon as the operator confirms its change; the armers and the
// supervised positions live in the record in memory, which the subscriber
// card saves. With it the dialogs "Podsystem" (a position's schedule record)
// and "Załączający" (a new armer code).
#include "database/arming_week_edit.h"
#include "database/related_records.h"
#include "database/subscriber_record.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace k4 {

class ArmersLst;
class Messages;
class SubscriberDatabase;
class SubsysLst;

enum : int {
    kArmsSaved = 1, // "&Koniec zmian"
    kArmsEnded = 2, // "&Koniec"
};

// "Załączający": a new armer's code and the positions it arms.
class TArmerForm : public QDialog {
    Q_OBJECT
public:
    explicit TArmerForm(QWidget* parent = nullptr);
    void ZapiszClick();
    int code = 0;
    uint16_t mask = 0;
    QLineEdit* ArmerNo;
    QListWidget* Lines;
};

// "Podsystem": what a position's schedule record is for.
class TSubsysForm : public QDialog {
    Q_OBJECT
public:
    enum Outcome { Saved = 10, Removed, Copied };
    TSubsysForm(const ArmingSchedule& schedule, bool used, QWidget* parent = nullptr);
    // The identification byte of "&Zapisz": 0x80 with the panel's number,
    // or the position in the compatible mode.
    uint8_t identification(int position) const;
    QString name() const;
    int copyTarget() const;

    QLineEdit* Numer;
    QCheckBox* Kompatybilna;
    QLineEdit* Nazwa;
    QLineEdit* Pozycja;
};

class TArms : public QDialog {
    Q_OBJECT
public:
    TArms(SubscriberDatabase& database, bool edit, SubscriberRecord& record, QWidget* parent = nullptr);
    ~TArms() override;

    // A schedule record was rewritten.
    bool changed() const { return changed_; }
    int shownPosition() const { return shown_; }

    void SubsysLBClick(int row);
    void SubsysLBDblClick(int row);
    void SubsysLBClickCheck(int row);
    // Double-click or Space on the week grid's cell.
    void WeekGridToggle(int row, int column);
    // An edited cell committed.
    void WeekGridSetEditText(int row, int column, const QString& text);
    void GridToggle(int row, int column);
    // The answers of "Załączający".
    void addArmer(int code, uint16_t mask);
    void NewBtnClick();
    void DelBtnClick();
    void SaveBtnClick();
    // The week grid into the shown position's schedule.
    void storeWeekGrid();
    // The "Podsystem" dialog's outcome over the selected position.
    void positionOutcome(int row, int outcome, uint8_t identification, const QString& name, int copyTarget);

    QListWidget* SubsysLB;
    QTableWidget* WeekGrid;
    QTableWidget* Grid;
    QPushButton* NewBtn;
    QPushButton* DelBtn;
    QPushButton* SaveBtn;
    QPushButton* EndBtn;

protected:
    // Space toggles a cell of "Pomiń" and of the armers grid.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillPositions();
    void fillWeek();
    void fillArmers();
    void storeArmersMarks();
    WeekCells cells() const;

    SubscriberDatabase& database_;
    bool edit_;
    SubscriberRecord& record_;
    std::unique_ptr<SubsysLst> plans_;
    std::unique_ptr<ArmersLst> armers_;
    int shown_ = 255;
    ArmingSchedule copy_{};
    bool changed_ = false;
    bool filling_ = false;
};

} // namespace k4
