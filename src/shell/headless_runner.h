#pragma once
// The station without a display: the same 100 ms timer as the window, event
// lines on standard output, the alarm sounds and the service for display
// programs, until SIGTERM or SIGINT asks it to stop; then the data layer is
// put away in its order.
namespace k4 {

class Station;

// 0 after a clean stop, 1 when the start failed.
int runHeadless(Station& station);

} // namespace k4
