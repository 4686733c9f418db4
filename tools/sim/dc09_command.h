#pragma once
// "kestrel4-sim dc09": IP alarm panels from a scenario, or many at once.
#include <ostream>

namespace k4::sim {

void dc09Usage(std::ostream& out);
// The exit status: 0 every answer as expected, 1 one was not, 2 bad arguments.
int runDc09Command(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace k4::sim
