#pragma once
// "Testy": a subscriber's two tests, their types, activation, repeat and
// allowed delay, and the test paths they are bound to. Opened from the
// subscriber editor, the alarm description and the path dialog; opened for
// viewing its inputs are disabled.
#include "processing/test_settings_edit.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QRadioButton;

namespace k4 {

class Messages;
class Sbscrbr;

class TTests : public QDialog {
    Q_OBJECT
public:
    TTests(Sbscrbr& subscriber, Messages& messages, bool viewOnly, QWidget* parent = nullptr);

    // "&Zapisz": the settings into the subscriber; tests_changed only when
    // they differ. The subscriber is saved by its editor.
    void ZapiszClick();

    const TestSettingsEdit& edit() const { return edit_; }
    // The operator ticks or clicks a path of " Tory testów ".
    void tickPath(int path);
    void selectPath(int path);

private:
    void showTest();
    void takeInputs();

    Sbscrbr& subscriber_;
    Messages& messages_;
    TestSettingsEdit edit_;
    bool updating_ = false;

    QGroupBox* TypTestu;
    std::array<QRadioButton*, 7> types_{};
    QCheckBox* Aktywacja;
    QLineEdit* Powtorz;
    QLineEdit* Opoznienie;
    QListWidget* Tory;
};

} // namespace k4
