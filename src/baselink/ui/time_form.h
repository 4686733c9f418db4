#pragma once
// "Czas": the correction of a PC clock that gains or loses, in tenths of a
// second a day, spread by the station over the day's hourly corrections.
#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace k4 {

class Config;
class Messages;

class TTimeForm : public QDialog {
    Q_OBJECT
public:
    // openClockPanel: the system's own date and time settings.
    TTimeForm(Config& config, Messages& messages, std::function<void()> openClockPanel, QWidget* parent = nullptr);

    QLineEdit* CorrectionE;
    QPushButton* SaveBtn;
    QPushButton* ClockBtn;
    QPushButton* EndBtn;

    // "Zapisz &poprawkę": 0, or -1 when the value was refused or not saved.
    int SaveBtnClick();

private:
    Config& config_;
    Messages& messages_;
};

// The field's value as the configuration keeps it: -9999..99999 accepted,
// above the 16 signed bits the largest correction they hold. Nothing for a
// value outside the field's range or not a number.
std::optional<int16_t> storedCorrection(const std::string& text);

} // namespace k4
