#include "shell/ui/wait_form.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace k4 {

TWaitForm::TWaitForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setObjectName("WaitForm");
    setWindowTitle(QStringLiteral("Poczekaj!"));
    setModal(false);
    Msg = new QLabel(this);
    Msg->setObjectName("Msg");
    Msg->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Msg);
    resize(300, 90);
}

void TWaitForm::showText(const QString& text) {
    Msg->setText(text);
    if (parentWidget() == nullptr) {
        if (auto* screen = QApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
    }
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString TWaitForm::text() const { return Msg->text(); }

} // namespace k4
