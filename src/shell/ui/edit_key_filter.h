#pragma once
// Installs one of the numeric key filters on a line edit: keys the filter
// drops never reach the field, small hex letters arrive as capitals.
#include <QObject>

class QLineEdit;

namespace k4 {

class EditKeyFilter : public QObject {
    Q_OBJECT
public:
    enum class Kind { Digits, HexDigits, Decimal, DigitsPlus };

    static EditKeyFilter* install(QLineEdit* edit, Kind kind, char extra = 0);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditKeyFilter(QLineEdit* edit, Kind kind, char extra);
    QLineEdit* edit_;
    Kind kind_;
    char extra_;
};

} // namespace k4
