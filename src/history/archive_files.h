#pragma once
// The archive files of the history ("*.log" in the data directory): listed,
// written out to another directory, brought back from one, and removed.
#include "messages/messages.h"
#include "platform/data_dir.h"

#include <string>
#include <vector>

namespace k4 {

// The plain files "*.log" of a directory, sorted by name.
std::vector<std::string> listLogFiles(const std::string& directory);

// "&Zrzut": the archive into the directory; never into the data directory
// itself. 0 or -1 (shown).
int dumpArchive(const DataDir& dir, const std::string& name, const std::string& target, Messages& messages);
// "&Wczytaj" of "Archiwum": an archive of another directory into the data
// directory, an existing one only after the operator agrees. 0 copied,
// 1 left alone, -1 failed (shown).
int restoreArchive(const DataDir& dir, const std::string& sourceDirectory, const std::string& name,
                   Messages& messages);
// "&Usuń": after the operator's Yes. 0 removed, 1 kept, -1 failed.
int deleteArchive(const DataDir& dir, const std::string& name, Messages& messages);

} // namespace k4
