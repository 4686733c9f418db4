#pragma once
// The data of a fresh installation: what a centre starts with before its
// technician sets the ports, printers and bases.
#include "config/config_block.h"
#include "platform/data_dir.h"

#include <string>

namespace k4::admin {

// The supervisor password of a fresh installation; the README names it.
constexpr const char* kFreshSupervisorPassword = "kestrel";

ConfigBlock freshConfig(const std::string& dataDir);
// "obsluga.txt": the code page line and eight alarm-service steps.
std::string freshServiceSteps();

// "zdarzen": the standard event table of a fresh installation.
bool writeFreshEventTable(const DataDir& data, std::string& error);

// Writes the installation into dir (created when missing). Refuses a
// directory that already holds "conf" unless force is set.
bool writeFreshInstallation(const std::string& dir, bool force, std::string& error);

} // namespace k4::admin
