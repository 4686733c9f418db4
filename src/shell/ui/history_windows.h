#pragma once
// The history windows over a running station: "Historia" of the station's
// own history (all of it, or one subscriber's) and the archive files.
class QWidget;

namespace k4 {

class Printing;
class Station;

// subscriber -1: every subscriber. Nothing while a history window is open.
void openHistoryWindow(Station& station, Printing* printing, QWidget* parent, int subscriber = -1);
void openArchiveFiles(Station& station, Printing* printing, QWidget* parent);

} // namespace k4
