#pragma once
// "Zrzut" and "Odzysk": the whole database copied into a directory, and put
// back from one. Before a restore the database as it is goes into
// "BAZA.000" in the data directory, and a restore that fails half-way puts
// that copy back, so the station never runs on half of two databases.
#include "database/history_sink.h"
#include "maintenance/backup_set.h"
#include "maintenance/file_copy.h"
#include "maintenance/target_volume.h"
#include "messages/messages.h"
#include "platform/data_dir.h"

#include <string>

namespace k4 {

class ServiceSteps;

// What a running station does around the replacing of its files: it closes
// the files it keeps open (so that no handle stays on the old ones) and
// holds its inputs and its timer, and afterwards opens the database and
// reads the tables again. A tool with the directory's lock has nothing open.
class LiveDatabase {
public:
    virtual ~LiveDatabase() = default;
    virtual void releaseForRestore() = 0;
    // 0, or -1 when the restored files do not open (the box was shown).
    virtual int reopenAfterRestore() = 0;
};

class DatabaseBackup {
public:
    struct Parts {
        DataDir dir;
        Messages& messages;
        TargetVolume& volumes;
        bool& receptionSuspended;
        HistorySink& history;
        // The alarm-service texts, read again from a restored "obsluga.txt".
        ServiceSteps& serviceSteps;
        // Null when nothing keeps the files open.
        LiveDatabase* live = nullptr;
    };

    explicit DatabaseBackup(const Parts& parts);

    // Every file of the set into directory, in order; the first failure
    // ends it. The working files are never changed. silent: existing copies
    // are overwritten without asking. 0 or -1.
    // wholeSetOptional: a file absent from the data directory is left out
    // of the copy (the safety copy of an installation that has no database
    // yet) instead of failing it.
    int Backup(const std::string& directory, bool silent, bool wholeSetOptional = false);
    // The inner copy of a restore: every file of the set from directory over
    // the working one (each made beside it and put in its place whole), then
    // "obsluga.txt" read again. The caller has released the live files.
    // 0 or -1.
    // absentRemoves: a file absent from the copy is removed from the data
    // directory (the rollback to a safety copy that had it absent).
    int Restore(const std::string& directory, bool absentRemoves = false);
    // The whole restore from directory: the safety copy "BAZA.000", the
    // probe on "blokady", the restore and its rollback, the database opened
    // again. 0, or -1 (the database as it was, or the operator told how bad
    // it is).
    int RestoreDatabase(const std::string& directory);

    // The main window's commands: the directory asked, then the above.
    int Zrzut();
    int Odzysk();

    // Whether directory is the data directory itself.
    bool isBaseDirectory(const std::string& directory) const;
    // A directory as the operator gave it: relative ones are in the data
    // directory.
    std::string resolve(const std::string& directory) const;
    std::string safetyCopyPath() const { return dir_.file(kSafetyCopyDir); }
    FileCopier& copier() { return copier_; }
    void setServingInputs(bool on) { copier_.setServingInputs(on); }

private:
    int restoreServiceTexts(const std::string& directory);
    bool emptyDirectory(const std::string& path);

    DataDir dir_;
    Messages& messages_;
    ServiceSteps& serviceSteps_;
    LiveDatabase* live_;
    FileCopier copier_;
};

} // namespace k4
