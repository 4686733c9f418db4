#pragma once
// "Poczekaj!": the window that says a long operation is running. Created once
// at start and only shown and hidden afterwards.
#include <QDialog>

class QLabel;

namespace k4 {

class TWaitForm : public QDialog {
    Q_OBJECT
public:
    explicit TWaitForm(QWidget* parent = nullptr);
    // Shows the text and paints the window before returning, so it is on the
    // screen before the work starts.
    void showText(const QString& text);
    QString text() const;

private:
    QLabel* Msg;
};

} // namespace k4
