#include "shell/ui/edit_key_filter.h"

#include "shell/key_filters.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace k4 {

EditKeyFilter::EditKeyFilter(QLineEdit* edit, Kind kind, char extra)
    : QObject(edit), edit_(edit), kind_(kind), extra_(extra) {}

EditKeyFilter* EditKeyFilter::install(QLineEdit* edit, Kind kind, char extra) {
    auto* filter = new EditKeyFilter(edit, kind, extra);
    edit->installEventFilter(filter);
    return filter;
}

bool EditKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Keys without a character (arrows, Delete, Home) are editing, not typing.
    if (text.size() != 1 || key->key() == Qt::Key_Backspace) return false;
    const QChar typed = text.front();
    if (typed.unicode() < 0x20 && typed.unicode() != 8) return false;
    const char c = typed.unicode() < 0x80 ? static_cast<char>(typed.unicode()) : '\x7F';
    char allowed = 0;
    switch (kind_) {
    case Kind::Digits: allowed = DigitsKey(c); break;
    case Kind::HexDigits: allowed = HexDigitsKey(c); break;
    case Kind::Decimal: allowed = DecimalKey(c, edit_->text().toStdString()); break;
    case Kind::DigitsPlus: allowed = DigitsPlusKey(c, extra_); break;
    }
    if (allowed == 0) return true;
    if (allowed != c) {
        QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(), QString(QChar(allowed)));
        QCoreApplication::sendEvent(edit_, &replaced);
        return true;
    }
    return false;
}

} // namespace k4
