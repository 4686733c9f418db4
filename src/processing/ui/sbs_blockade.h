#pragma once
// "Blokada abonenta %4.4d": the operator sets a blockade of one subscriber,
// of the whole subscriber, of its alarms or of its incomplete reports, for
// good or for a number of minutes.
#include "processing/blockade_setting.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace k4 {

class BlockLst;
class Messages;
class Scheduler;

struct BlockadeSubscriber {
    int number = 0;
    std::string name;     // UTF-8
    std::string password; // UTF-8
    // The object description, shown by "&Opis" (UTF-8).
    std::function<std::string()> description;
    // The description window in view mode, with the pictures; when set,
    // "&Opis" opens it instead of showing the text alone.
    std::function<void(QWidget* parent)> openDescription;
};

class TSbsBlockade : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDefaultMinutes = 60;

    TSbsBlockade(const BlockadeSubscriber& subscriber, BlockLst& blockades, Scheduler& scheduler, Messages& messages,
                 QWidget* parent = nullptr);

    // "&Ustaw": the window closes when the blockade is set.
    void UstawClick();
    void OpisClick();

private:
    BlockadeSubscriber subscriber_;
    BlockLst& blockades_;
    Scheduler& scheduler_;
    Messages& messages_;

    QRadioButton* Abonenta;
    QRadioButton* Alarmow;
    QRadioButton* Niepelnych;
    QRadioButton* Ciagla;
    QRadioButton* Czasowa;
    QLineEdit* Minutes;
};

} // namespace k4
