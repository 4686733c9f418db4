#pragma once
// "Kasowanie Testów Z W": which of a subscriber's test marks and arming
// marks (Z armed, W disarmed) of positions 0..9 "&Kasuj" wipes.
#include "processing/erase_test_marks.h"

#include <QDialog>

#include <array>

class QCheckBox;

namespace k4 {

class Sbscrbr;

class TEraseZWForm : public QDialog {
    Q_OBJECT
public:
    TEraseZWForm(Sbscrbr& subscriber, Messages& messages, QWidget* parent = nullptr);
    // Wipes the ticked marks; the dialog closes when the block was written,
    // and stays open after the failure box.
    void KasujClick();
    QCheckBox* test(int number) { return number == 2 ? Test2 : Test1; }
    QCheckBox* position(int i) { return positions_[static_cast<size_t>(i)]; }

private:
    Sbscrbr& subscriber_;
    Messages& messages_;
    MessageGuard stateGuard_;
    QCheckBox* Test1;
    QCheckBox* Test2;
    std::array<QCheckBox*, 10> positions_{};
};

} // namespace k4
