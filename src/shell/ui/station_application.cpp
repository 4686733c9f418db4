#include "shell/ui/station_application.h"

#include "platform/operator_ui.h"
#include "shell/error_text.h"

#include <cstdio>

namespace k4 {

StationApplication::StationApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // F1 is taken before any window sees it: every window and dialog gets
    // its help page the same way.
    installEventFilter(&helpKey_);
}

bool StationApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        show(errorBoxText(error));
    } catch (...) {
        show(unknownErrorBoxText());
    }
    return false;
}

void StationApplication::show(const std::string& text) {
    std::fprintf(stderr, "kestrel4: %s\n", text.c_str());
    if (!ui_) return;
    BoxRequest box;
    box.text = text;
    box.caption = "Błąd";
    box.icon = BoxIcon::Stop;
    ui_->showBox(box);
}

} // namespace k4
