#pragma once
// "&Pakiety": the modules dialog over the path list, "&Sprawdź pakiety"
// checking the bus again as often as the technician asks.
class QWidget;

namespace k4 {

class Station;

// The dialog's loop; firstDetects: the start form, which detects before the
// dialog is shown the first time.
void runModuleCheckDialog(Station& station, QWidget* parent, bool firstDetects = false);

} // namespace k4
