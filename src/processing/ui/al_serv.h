#pragma once
// "Typ obsługi": the eight service steps of an alarm as check boxes, each
// with its letter; Ctrl+A .. Ctrl+H tick them from the keyboard.
#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace k4 {

class TAlServ : public QDialog {
    Q_OBJECT
public:
    // steps: the eight texts as the window shows them (UTF-8).
    TAlServ(const std::array<std::string, 8>& steps, uint16_t service, QWidget* parent = nullptr);

    // The ticked steps, bits 0..7; every tick rewrites it.
    uint16_t service() const { return service_; }
    // kServiceRemove for "&Usuń", kServiceKeep otherwise.
    int outcome() const { return outcome_; }

    void toggleStep(int step);
    QCheckBox* step(int i) const { return boxes_[static_cast<size_t>(i)]; }

private:
    std::array<QCheckBox*, 8> boxes_{};
    uint16_t service_;
    int outcome_;
};

} // namespace k4
