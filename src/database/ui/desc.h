#pragma once
// "Opis": the object description of a subscriber beside the list of its
// pictures. View mode shows the text; edit mode lets the operator change it
// and stores it with "&Koniec zmian". The pictures are shown, added,
// renamed or renumbered and deleted in both modes.
#include "database/picture_files.h"
#include "platform/little_endian.h"

#include <QDialog>

#include <memory>

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace k4 {

class OnDemandFile;
class SubscriberDatabase;
class TModGraphForm;

// What the description window works with.
struct DescriptionParts {
    SubscriberDatabase& database;
    // The backup's copy of a chosen file into "grafika" (FileCopier::CopyIn).
    SubscriberPictures::CopyIn copyIn;
    // "Opis grafiki", kept for the run; none: one made for each window.
    TModGraphForm* details = nullptr;
};

class TDesc : public QDialog {
    Q_OBJECT
public:
    // edit: 0 view mode. desc: the desc field of the caller's subscriber
    // record; in edit mode a stored text may give it another offset, and the
    // caller saves the record afterwards.
    TDesc(DescriptionParts& parts, QWidget* parent, int edit, int number, Int32Le& desc);
    ~TDesc() override;

    void listPictures();
    void EndChBtnClick();
    void EndBtnClick();
    void ShowBtnClick();
    void AddBtnClick();
    void ChangeBtnClick();
    void DelBtnClick();

    // The picture file of the selected line, empty with none.
    std::string selectedPicture() const;
    const SubscriberPictures& pictures() const { return pictures_; }

    QPlainTextEdit* DBMemo1;
    QListWidget* ListBox;
    QLabel* Image1;
    QGroupBox* Buttons;
    QPushButton* ShowBtn;
    QPushButton* EndBtn;
    QPushButton* EndChBtn;
    QPushButton* AddBtn;
    QPushButton* DelBtn;
    QPushButton* ChangeBtn;

private:
    TModGraphForm& details();
    // The directory chosen for "&Dodaj" and the file picked there.
    bool choosePicture(std::string& directory, std::string& name);

    DescriptionParts& parts_;
    Int32Le& desc_;
    bool edit_;
    std::unique_ptr<OnDemandFile> opis_;
    SubscriberPictures pictures_;
    std::unique_ptr<TModGraphForm> ownDetails_;
};

// Shows "Opis" of a subscriber modally; the card's "&Opis", the alarm
// description and the blockade dialog open it. 1 when a text was stored
// (edit mode: the caller saves its record, whose desc may have changed), 0
// otherwise.
int openDescriptionWindow(DescriptionParts& parts, QWidget* parent, bool edit, int number, Int32Le& desc);

// "Grafika": the picture files of a directory to choose one from.
class TPictureChooser : public QDialog {
    Q_OBJECT
public:
    TPictureChooser(const std::vector<std::string>& names, QWidget* parent = nullptr);
    QListWidget* Files;
    std::string chosen() const;
};

} // namespace k4
