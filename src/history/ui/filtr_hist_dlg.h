#pragma once
// "Filtr" of the history window: the operator's filter, read from the
// boxes on "&Szukaj" and "Szukaj i &zliczaj".
#include "history/hist_filter.h"
#include "messages/messages.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace k4 {

class TFiltr_hist_dlg : public QDialog {
    Q_OBJECT
public:
    // operatorOfCode: the number of the operator with a personal code.
    // steps: the alarm-service steps (UTF-8) offered by "&Lista".
    TFiltr_hist_dlg(const HistFilter& current, Messages& messages,
                    std::function<std::optional<int>(const std::string&)> operatorOfCode,
                    std::vector<QString> steps, QWidget* parent = nullptr);

    // "Zdarzenia programowe" to pick a system kind for "Numer zdarzenia":
    // the three hexadecimal digits, or empty.
    void setKindPicker(std::function<QString()> picker);

    const HistFilter& filter() const { return filter_; }
    // "Szukaj i &zliczaj" closed the dialog.
    bool countAsked() const { return count_; }

    // The boxes into the filter: false when the dialog must stay open.
    bool readBoxes();
    void SzukajClick(bool count);
    void ListaClick();

    QLineEdit* OdDaty;
    QLineEdit* OdCzasu;
    QLineEdit* DoDaty;
    QLineEdit* DoCzasu;
    QLineEdit* NumerAbonenta;
    QLineEdit* NumerZdarzenia;
    QLineEdit* NrPodsys;
    QLineEdit* Sektora;
    QLineEdit* KodOperatora;
    QComboBox* Kolor;
    std::array<QCheckBox*, 6> Kategorie{};
    std::array<QCheckBox*, kFilterTrackCount> Tory{};
    std::array<QLineEdit*, kFilterTrackCount> Bazy{};
    QCheckBox* Wybranych;
    QCheckBox* Wszystkich;

private:
    HistFilter filter_;
    Messages& messages_;
    std::function<std::optional<int>(const std::string&)> operatorOfCode_;
    std::vector<QString> steps_;
    std::function<QString()> kindPicker_;
    QWidget* kindButton_ = nullptr;
    int16_t serviceMask_ = 0;
    bool count_ = false;
};

} // namespace k4
