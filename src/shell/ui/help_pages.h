#pragma once
// F1 anywhere in the station: the short Polish help page of the context of
// the window, dialog or menu item under the operator's hand, shipped with
// the program.
#include <QObject>
#include <QString>

class QWidget;

namespace k4 {

// The page of a help context; the station's general page for a context
// without one of its own.
QString helpPage(int context);
// The help context of a widget: its own or that of the nearest parent that
// has one; 0 for none.
int helpContextOf(const QWidget* widget);

class HelpKey final : public QObject {
public:
    using QObject::QObject;
    // The last page shown (for the tests).
    const QString& lastShown() const { return last_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(int context);
    QString last_;
    bool showing_ = false;
};

} // namespace k4
