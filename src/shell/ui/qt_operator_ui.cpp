#include "shell/ui/qt_operator_ui.h"

#include "shell/ui/wait_form.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace k4 {

namespace {

QMessageBox::StandardButton standardButton(BoxAnswer answer) {
    switch (answer) {
    case BoxAnswer::Ok: return QMessageBox::Ok;
    case BoxAnswer::Cancel: return QMessageBox::Cancel;
    case BoxAnswer::Yes: return QMessageBox::Yes;
    case BoxAnswer::No: return QMessageBox::No;
    case BoxAnswer::None: break;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon icon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Stop: return QMessageBox::Critical;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The captions of the buttons in the language of the station.
void addButtons(QMessageBox& box, BoxButtons buttons) {
    auto add = [&](QMessageBox::StandardButton b, const char* text) {
        box.addButton(b)->setText(QString::fromUtf8(text));
    };
    switch (buttons) {
    case BoxButtons::Ok: add(QMessageBox::Ok, "OK"); break;
    case BoxButtons::OkCancel:
        add(QMessageBox::Ok, "OK");
        add(QMessageBox::Cancel, "Anuluj");
        break;
    case BoxButtons::YesNo:
        add(QMessageBox::Yes, "&Tak");
        add(QMessageBox::No, "&Nie");
        break;
    case BoxButtons::YesNoCancel:
        add(QMessageBox::Yes, "&Tak");
        add(QMessageBox::No, "&Nie");
        add(QMessageBox::Cancel, "Anuluj");
        break;
    }
}

} // namespace

QtOperatorUi::QtOperatorUi(QWidget* parent)
    : parent_(parent), waitForm_(std::make_unique<TWaitForm>()) {}

QtOperatorUi::~QtOperatorUi() = default;

BoxAnswer QtOperatorUi::showBox(const BoxRequest& request) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromStdString(request.caption));
    box.setText(QString::fromStdString(request.text));
    box.setIcon(icon(request.icon));
    addButtons(box, request.buttons);
    if (auto b = standardButton(request.defaultButton); b != QMessageBox::NoButton)
        box.setDefaultButton(b);
    if (request.topmost) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    auto* clicked = box.clickedButton();
    if (!clicked) return BoxAnswer::None;
    switch (box.standardButton(clicked)) {
    case QMessageBox::Ok: return BoxAnswer::Ok;
    case QMessageBox::Cancel: return BoxAnswer::Cancel;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    default: break;
    }
    return BoxAnswer::None;
}

void QtOperatorUi::showWait(const std::string& text) {
    waitForm_->showText(QString::fromStdString(text));
}

void QtOperatorUi::hideWait() { waitForm_->hide(); }

std::optional<std::string> QtOperatorUi::askDirectory(const std::string& caption,
                                                      const std::string& startDir) {
    QString dir = QFileDialog::getExistingDirectory(parent_, QString::fromStdString(caption),
                                                    QString::fromStdString(startDir));
    if (dir.isEmpty()) return std::nullopt;
    return dir.toStdString();
}

std::optional<std::string> QtOperatorUi::askText(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(parent_, QString::fromStdString(caption),
                                         QString::fromStdString(prompt), QLineEdit::Normal,
                                         QString::fromStdString(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

} // namespace k4
