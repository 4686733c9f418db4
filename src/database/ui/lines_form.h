#pragma once
// "Podsystemy": the subsystems of a subscriber and the sectors of the one
// selected, created, deleted and edited in place. Every change is stored
// when it is made (the subsystem and sector records at once, the lines
// array with the subscriber's next save); the closing button only closes.
#include "database/subscriber_record.h"

#include <QDialog>

#include <memory>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace k4 {

class LinesList;
class SectorsList;
class SubscriberDatabase;

class TLines : public QDialog {
    Q_OBJECT
public:
    TLines(SubscriberDatabase& database, bool edit, Int32Le (&lines)[kLineSlots], QWidget* parent = nullptr);
    ~TLines() override;

    void LinesListBoxClick(int row);
    void SectorsListBoxClick(int row);
    // The focus left the subsystem's or the sector's fields: a change is
    // offered for storing.
    void GroupBox2Exit();
    void GroupBox3Exit();
    // "&Nowy" with the new-subsystem dialog's answers (copyFrom -1: "&Zapisz").
    void newSubsystem(int number, const QString& description, int copyFrom);
    void NowyClick();
    void UsunClick();
    // "N&owy" with the new-sector dialog's answers.
    void newSector(int number, const QString& type, const QString& description);
    void NowySektorClick();
    void UsunSektorClick();

    QListWidget* LinesListBox;
    QListWidget* SectorsListBox;
    QLineEdit* DBEdit1; // "Numer podsystemu:"
    QLineEdit* DBMemo1; // "Opis podsystemu:"
    QLineEdit* DBEdit3; // "Numer sektora:"
    QLineEdit* DBEdit4; // "Typ sektora:"
    QLineEdit* DBMemo2; // "Opis sektora:"
    QPushButton* NewLine;
    QPushButton* DelLine;
    QPushButton* NewSector;
    QPushButton* DelSector;
    QPushButton* CloseBtn;

private:
    void showLines(int select);
    void showSubsystem();
    void showSectors(int select);
    void showSector();
    bool inside(QWidget* box, QWidget* w) const;

    SubscriberDatabase& database_;
    bool edit_;
    std::unique_ptr<LinesList> lines_;
    std::unique_ptr<SectorsList> sectors_;
    QWidget* GroupBox2;
    QWidget* GroupBox3;
    bool storing_ = false;
};

} // namespace k4
