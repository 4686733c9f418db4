#include "operators/ui/passwd.h"

#include "database/text_edge.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace k4 {

TPasswd::TPasswd(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Hasło"));
    setModal(true);
    label_ = new QLabel(this);
    PasswdEdit = new QLineEdit(this);
    PasswdEdit->setObjectName(QStringLiteral("PasswdEdit"));
    PasswdEdit->setEchoMode(QLineEdit::Password);
    // One "*" a character, whatever bullet the style would draw.
    PasswdEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(PasswdEdit);
}

void TPasswd::prompt(const QString& label, int helpContext) {
    PasswdEdit->clear();
    accepted_ = false;
    text_.clear();
    label_->setText(label);
    setProperty("helpContext", helpContext);
    PasswdEdit->setFocus();
    exec();
}

void TPasswd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accepted_ = true;
        // Stored passwords are Mazovia, as the earlier generation kept them.
        text_ = MazoviaFromUtf8(PasswdEdit->text().left(kPasswordTextLimit).toStdString());
        done(QDialog::Accepted);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<std::string> QtPasswordPrompt::askPassword(const std::string& labelUtf8, int helpContext) {
    TPasswd dialog(parent_);
    dialog.prompt(QString::fromStdString(labelUtf8), helpContext);
    if (!dialog.accepted()) return std::nullopt;
    return dialog.text();
}

} // namespace k4
