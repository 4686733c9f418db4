#pragma once
// "Drukarki": the event and data printers, their code pages and the
// graphic mode of the data printer. "Ustaw" stores and saves, "Koniec"
// closes without saving.
#include "config/config.h"
#include "messages/messages.h"

#include <QDialog>

#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;

namespace k4 {

constexpr int kHelpPrinters = 1053;

class TPrintersForm : public QDialog {
    Q_OBJECT
public:
    TPrintersForm(Config& config, Messages& messages, const std::vector<std::string>& printers,
                  QWidget* parent = nullptr);

    QComboBox* CBAl;
    QComboBox* CBDa;
    QButtonGroup* RGAlPl;
    QButtonGroup* RGDaPl;
    QCheckBox* graphicMode;
    QPushButton* SetBtn;
    QPushButton* Button3;
    QPushButton* closeBtn;

    void SetBtnClick();
    void Button3Click();

private:
    Config& config_;
    Messages& messages_;
};

// "Wybór danych": which data accompany each subscriber of a listing.
class TPrintNamesForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrintNamesForm(QWidget* parent = nullptr);
    std::vector<QCheckBox*> items;
    QPushButton* printBtn;
    QPushButton* dropBtn;
    int mask() const;
};

// The mask of the ticked items, or -1 for "Porzuć".
int choosePrintData(QWidget* parent);

} // namespace k4
