#pragma once
// "Lista Badanych Abonentów": the subscribers of the number index, one line
// each with paths, tests and arming marks, narrowed by "&Filtr"; the marks
// of supervised paths and of disarmed positions are drawn red.
#include "processing/supervised_list.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QListWidget;

namespace k4 {

class SubscriberDatabase;
class SubscriberIndexes;

// "Filtr": which subscribers the list keeps.
class TChkFiltrForm : public QDialog {
    Q_OBJECT
public:
    TChkFiltrForm(uint16_t mask, bool activeOnly, QWidget* parent = nullptr);
    uint16_t mask() const;
    bool activeOnly() const;

private:
    std::vector<QCheckBox*> paths_, states_;
    QCheckBox* Wszyscy;
    QCheckBox* Aktywne;
};

class TChkSbsrs : public QDialog {
    Q_OBJECT
public:
    // print: prints the subscribers listed (their record offsets, in list
    // order); without it the list has no "&Wydruk".
    using PrintList = std::function<void(const std::vector<int32_t>&)>;
    TChkSbsrs(SubscriberIndexes& indexes, SubscriberDatabase& database, QWidget* parent = nullptr,
              PrintList print = {});

    // Collects the list again with this filter.
    void refilter(uint16_t mask, bool activeOnly);
    void FiltrClick();
    // "K&asuj ZW": "Kasowanie Testów Z W" for the selected subscriber, then
    // the list again so its marks show what is stored.
    void KasujZWClick();
    // "&Wydruk": the list as it stands, filter and all.
    void WydrukClick();
    void select(int i);
    // Who opens the subscriber's dialog (by its record offset) on a double
    // click or Space on the list: "Tory badania", or its blockade when the
    // list was opened for blockades; none, nothing opens.
    void setPathDialog(std::function<void(int32_t offset)> open) { openPaths_ = std::move(open); }
    void ListDblClick();

    int count() const;
    // Line i as drawn (UTF-8, the red marks' "~" left out).
    QString line(int i) const;

private:
    SubscriberIndexes& indexes_;
    SubscriberDatabase& database_;
    uint16_t mask_ = kNoFilter;
    bool activeOnly_ = false;
    QListWidget* List;
    std::vector<int32_t> offsets_; // record offset of each line
    PrintList print_;
    std::function<void(int32_t)> openPaths_;
};

} // namespace k4
