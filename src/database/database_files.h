#pragma once
// The record files of the subscriber database, in the order in which the
// set is opened, each with its record size and whether it is opened only by
// the operation that needs it. One object holds them for the whole run.
#include "database/record_file.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace k4 {

enum class DbFile { Dane, Osoby, Linie, Sektory, Alarmy, Opis, Uzbroj, Orders };
constexpr int kDbFileCount = 8;

struct RecordFileDescriptor {
    const char* name;
    int recordSize;
    bool onDemand;
};

inline constexpr RecordFileDescriptor kRecordFileSet[kDbFileCount] = {
    {"dane", 1575, false},  {"osoby", 88, true},  {"linie", 2143, true}, {"sektory", 100, true},
    {"alarmy", 5994, false}, {"opis", 256, true},  {"uzbroj", 91, false}, {"orders", 256, true},
};

inline const RecordFileDescriptor& descriptorOf(DbFile which) { return kRecordFileSet[static_cast<int>(which)]; }

class DatabaseFiles {
public:
    DatabaseFiles(const DataDir& dir, Messages& messages, HistorySink& history);

    RecordFile& file(DbFile which) { return *files_[static_cast<size_t>(which)]; }
    const DataDir& dataDir() const { return dir_; }
    Messages& messages() { return messages_; }
    HistorySink& history() { return history_; }

private:
    DataDir dir_;
    Messages& messages_;
    HistorySink& history_;
    std::array<std::unique_ptr<RecordFile>, kDbFileCount> files_;
};

// A file of the set for one operation: opened here unless it is open
// already (kept open for the run, or opened by an enclosing operation), and
// closed again at the end only by the one that opened it.
class OnDemandFile {
public:
    // The texts are the operations shown after "Błąd " when opening or
    // closing fails; an empty text shows nothing.
    OnDemandFile(DatabaseFiles& files, DbFile which, std::string_view openFailure,
                 std::string_view closeFailure = {});
    ~OnDemandFile();
    OnDemandFile(const OnDemandFile&) = delete;
    OnDemandFile& operator=(const OnDemandFile&) = delete;

    bool ok() const { return ok_; }
    RecordFile& file() { return file_; }

private:
    RecordFile& file_;
    Messages& messages_;
    std::string closeFailure_;
    bool ok_ = false;
    bool opened_ = false;
};

} // namespace k4
