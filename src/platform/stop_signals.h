#pragma once
// SIGTERM (the session ending, the technician's kill) and SIGINT (Ctrl+C)
// end the station the normal way: the handler only raises a flag, and the
// station's timer sees it and stops the data in order.
namespace k4 {

// Installs the handlers and lowers the flag.
void watchStopSignals();
bool stopSignalled();

} // namespace k4
