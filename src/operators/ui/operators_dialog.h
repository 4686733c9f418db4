#pragma once
// "Operatorzy": the operator list with "Dodaj", "Usuń" and a double-click to
// edit; "Operator": the code and surname of one operator.
#include "platform/data_dir.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace k4 {

class Messages;
class SOperatLst;

class TModOper : public QDialog {
    Q_OBJECT
public:
    // at: the record edited, or -1 for a new operator.
    TModOper(SOperatLst& list, int at, Messages& messages, QWidget* parent = nullptr);

    QLineEdit* Code;
    QLineEdit* Name;
    QPushButton* SaveBtn;
    QPushButton* CancelBtn;

private:
    void SaveBtnClick();

    SOperatLst& list_;
    int at_;
    Messages& messages_;
};

class TOperators : public QDialog {
    Q_OBJECT
public:
    TOperators(const DataDir& dir, Messages& messages, QWidget* parent = nullptr);
    ~TOperators() override;

    QListWidget* ListBox;
    QPushButton* AddBtn;
    QPushButton* RemoveBtn;

    // "%-28.28s(%u)" of a record, for display.
    static QString lineOf(const char* surname, int number);

private:
    void showList();
    void edit(int at);
    void RemoveBtnClick();

    std::unique_ptr<SOperatLst> list_;
    Messages& messages_;
};

} // namespace k4
