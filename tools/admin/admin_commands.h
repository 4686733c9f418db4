#pragma once
// The technician's commands over the station's own code. Each takes its
// arguments after the command words and writes to the given streams; the
// result is the exit status.
#include <iosfwd>
#include <string>
#include <vector>

namespace k4::admin {

using Args = std::vector<std::string>;

int initCommand(const Args& args, std::ostream& out, std::ostream& err);
int confShowCommand(const Args& args, std::ostream& out, std::ostream& err);
int confSetCommand(const Args& args, std::ostream& out, std::ostream& err);
int confBaseCommand(const Args& args, std::ostream& out, std::ostream& err);
int historyCommand(const Args& args, std::ostream& out, std::ostream& err);
int eventsCommand(const Args& args, std::ostream& out, std::ostream& err);
int dbCommand(const Args& args, std::ostream& out, std::ostream& err);
int subscribersCommand(const Args& args, std::ostream& out, std::ostream& err);
int findCommand(const Args& args, std::ostream& out, std::ostream& err);
int indexCommand(const Args& args, std::ostream& out, std::ostream& err);
// restore: "restore" rather than "backup".
int backupCommand(const Args& args, bool restore, std::ostream& out, std::ostream& err);
int demoCommand(const Args& args, std::ostream& out, std::ostream& err);
int dc09Command(const Args& args, std::ostream& out, std::ostream& err);
int convertCommand(const Args& args, std::istream& in, std::ostream& out, std::ostream& err);

// Dispatches argv; every command answers --help.
int runAdmin(const Args& args, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace k4::admin
