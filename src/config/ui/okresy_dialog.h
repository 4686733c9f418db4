#pragma once
// "Okresy między badaniami": nine edits, "Zapisz" and "Porzuć".
#include "config/probe_periods.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace k4 {

class Messages;

class TOkresy : public QDialog {
    Q_OBJECT
public:
    // save: the accepted values into the block, the paths and the history.
    TOkresy(const ProbePeriodValues& shown, Messages& messages, std::function<void(const ProbePeriodValues&)> save,
            QWidget* parent = nullptr);

    QLineEdit* Fields[kProbePeriodFields];
    QPushButton* SaveBtn;
    QPushButton* CancelBtn;

private:
    void SaveBtnClick();

    ProbePeriodValues shown_;
    Messages& messages_;
    std::function<void(const ProbePeriodValues&)> save_;
};

} // namespace k4
