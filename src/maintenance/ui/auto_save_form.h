#pragma once
// "Automatyczny zrzut bazy": where the nightly dump goes and whether it runs.
#include "config/config.h"
#include "maintenance/auto_dump.h"
#include "messages/messages.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace k4 {

class TAutoSaveForm : public QDialog {
    Q_OBJECT
public:
    TAutoSaveForm(Config& config, AutoDump& dump, Messages& messages, QWidget* parent = nullptr);

    QLabel* directoryLabel;
    QCheckBox* enabledBox;
    QPushButton* OkBtn;
    QPushButton* ChangeBtn;

    void OkBtnClick();
    void ChangeBtnClick();

private:
    void showDirectory();

    Config& config_;
    AutoDump& dump_;
    Messages& messages_;
};

} // namespace k4
