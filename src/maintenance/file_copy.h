#pragma once
// One file of the database copied out to a backup directory, or back in
// from one. A file that does not fit on a removable medium goes on in parts
// on the next ones, each medium but the last holding an empty marker that
// says another part follows; a fixed disk that is too small refuses it.
// Every part is on the medium (synced, with its directory) before the copy
// says it is done, and every failure names the file and the reason.
#include "database/history_sink.h"
#include "maintenance/target_volume.h"
#include "messages/messages.h"

#include <cstdint>
#include <string>

namespace k4 {

// No file longer than this is copied: a database file that large is broken.
inline constexpr int64_t kMaxCopiedFile = 30000000;
inline constexpr size_t kCopyBlock = 16384;
// A removable medium with less room than this takes no part of a file.
inline constexpr uint64_t kLeastPartRoom = 1024;
// History kind of a consistency fault of the database files.
inline constexpr int kHistoryDatabaseFault = 55;

// dir + "/" + name; dir empty gives name.
std::string pathIn(const std::string& dir, const std::string& name);
// What errno means, in Polish, for the operator's box.
std::string copyFailureReason(int error);

class FileCopier {
public:
    // receptionSuspended belongs to the station: raised for each file, so
    // that no datagram is taken while the database is half copied.
    FileCopier(Messages& messages, TargetVolume& volumes, bool& receptionSuspended, HistorySink& history);

    // While on, the inputs are served between the blocks of a file (the
    // nightly dump and a backup of a working station keep receiving). A file
    // changed by what was served is copied again from its start.
    void setServingInputs(bool on) { servingInputs_ = on; }

    // The file at sourcePath into directory under name. silent: an existing
    // copy is overwritten without asking, and a file that does not fit is
    // refused even on a removable medium (nobody is there to change it).
    // 0 or -1 after the box that says why.
    int CopyOut(const std::string& name, const std::string& directory, const std::string& sourcePath, bool silent);
    // The file name of directory (all its parts, medium after medium) into
    // targetPath, which is made anew. 0 or -1 after the box.
    int CopyIn(const std::string& targetPath, const std::string& name, const std::string& directory);

private:
    int copyWhole(int source, int64_t size, const std::string& sourcePath, const std::string& target,
                  const std::string& name);
    int copyInParts(int source, int64_t size, const std::string& directory, const std::string& name);
    void error(const std::string& what, const std::string& path, int errnum);

    Messages& messages_;
    TargetVolume& volumes_;
    bool& receptionSuspended_;
    HistorySink& history_;
    bool servingInputs_ = false;
};

} // namespace k4
