#pragma once
// "Opis grafiki": the number (one digit) and short name (up to three
// characters) of a picture. One form serves the whole run and keeps the
// values of its last use.
#include <QDialog>

#include <string>

class QLineEdit;

namespace k4 {

class TModGraphForm : public QDialog {
    Q_OBJECT
public:
    explicit TModGraphForm(QWidget* parent = nullptr);

    int number = 0;
    std::string shortName; // UTF-8

    QLineEdit* NoME;
    QLineEdit* DescE;
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override; // FormShow
};

} // namespace k4
