#pragma once
// The history windows over a running station: "Historia" of the station's
// own history (all of it, or one subscriber's) and the archive files.
#include <functional>

class QWidget;

namespace k4 {

class Printing;
class Station;

// subscriber -1: every subscriber. openSubscriber: the card of an entry's
// subscriber in history mode, true when it was left with "&Historia".
void openHistoryWindow(Station& station, Printing* printing, QWidget* parent, int subscriber = -1,
                       std::function<bool(int subscriber)> openSubscriber = {});
void openArchiveFiles(Station& station, Printing* printing, QWidget* parent);

} // namespace k4
