#pragma once
// "Lista abonentów - wydruk": the subscribers in the order the operator
// sorted them, with the three listings below - normal, dense and names with
// the data chosen in "Wybór danych". "S&ortuj" collects the list again by
// number, name, town, address or password, whole or within a range.
#include "processing/sbs_sorter.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace k4 {

class ShareLst;
class SubscriberDatabase;
class SubscriberIndexes;

// "Sortowanie": the criterion, marking, and the whole index or a range.
class TSortDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSortDlg(QWidget* parent = nullptr);
    // The index of the chosen criterion (0, 1, 2, 3 or 5) and the key
    // length of its range end.
    int index() const;
    int keyLength() const;
    bool ranged() const { return ranged_; }
    bool marking() const;
    // The range texts as typed (UTF-8).
    QString from() const;
    QString to() const;

    std::vector<QRadioButton*> criteria;
    QCheckBox* Zaznacz;
    QLineEdit* Od;
    QLineEdit* Do;

private:
    bool ranged_ = false;
};

class TSbsPrn : public QDialog {
    Q_OBJECT
public:
    TSbsPrn(SubscriberIndexes& indexes, SubscriberDatabase& database, const ShareLst& sharedLists,
            ListingParts& listing, QWidget* parent = nullptr);

    // Collects the list again (as the sort dialog does) and shows it.
    void sortBy(int index, const std::string& from, const std::string& to, int keyLength, bool mark);
    void SortujClick();
    // "Wydruk", "Wydruk &gęsty", "Wydruk &nazw".
    void Button2Click() { print(kListingNormal); }
    void Button3Click() { print(kListingDense); }
    void Button4Click() { print(kListingNames); }

    int count() const;
    // Line i as shown (UTF-8, the red marks' "~" left out).
    QString line(int i) const;

private:
    void fill();
    void print(int layout);

    SubscriberDatabase& database_;
    const ShareLst& sharedLists_;
    ListingParts& listing_;
    SbsSorter sorter_;
    QListWidget* List;
};

} // namespace k4
