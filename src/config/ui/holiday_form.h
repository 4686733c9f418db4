#pragma once
// "Najbliższe święto": the date of the next holiday and whether it lasts
// two days, saved into the configuration with "&Zapisz".
#include "config/holiday.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;

namespace k4 {

class Messages;

class THoliday : public QDialog {
    Q_OBJECT
public:
    THoliday(Config& config, const Clock& clock, Messages& messages, QWidget* parent = nullptr);

    void ZapiszClick();

    QDateEdit* Data;
    QCheckBox* Dwudniowe;

private:
    Config& config_;
    Messages& messages_;
};

} // namespace k4
