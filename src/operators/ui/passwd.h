#pragma once
// "Hasło": one masked line under a label its caller sets; Enter accepts,
// Escape abandons.
#include "operators/supervisor_password.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace k4 {

class TPasswd : public QDialog {
    Q_OBJECT
public:
    explicit TPasswd(QWidget* parent = nullptr);

    // Clears the edit and the accepted flag, shows the label, runs modal.
    void prompt(const QString& label, int helpContext);
    bool accepted() const { return accepted_; }
    // The first 19 characters typed, in Mazovia.
    std::string text() const { return text_; }

    QLineEdit* PasswdEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* label_;
    bool accepted_ = false;
    std::string text_;
};

// The prompt the station's commands ask through.
class QtPasswordPrompt final : public PasswordPrompt {
public:
    explicit QtPasswordPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> askPassword(const std::string& labelUtf8, int helpContext) override;

private:
    QWidget* parent_;
};

} // namespace k4
