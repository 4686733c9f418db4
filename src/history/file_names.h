#pragma once
// Path pieces of the history's files: archives chosen by the operator may
// live outside the data directory, and their backups and temporary files are
// kept beside them, so that a rename never crosses file systems.
#include <string>

namespace k4 {

std::string fileNameOf(const std::string& path);
// "." for a bare name.
std::string directoryOf(const std::string& path);
// Makes the names created or renamed in a directory durable.
void syncDirectory(const std::string& directory);

} // namespace k4
