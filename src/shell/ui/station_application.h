#pragma once
// The application of the station with a display. A fault thrown out of any
// event handler is shown to the operator in a "Błąd" box instead of ending
// the station that watches the alarms.
#include "shell/ui/help_pages.h"

#include <QApplication>

namespace k4 {

class OperatorUi;

class StationApplication : public QApplication {
public:
    StationApplication(int& argc, char** argv);

    // The boxes go through the station's operator side once it exists.
    void setOperatorUi(OperatorUi* ui) { ui_ = ui; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void show(const std::string& text);
    OperatorUi* ui_ = nullptr;
    HelpKey helpKey_;
};

} // namespace k4
