#pragma once
// Table files: a 10-byte header (int32 -1, int16 -1, int16 record size,
// int16 count) and a fixed number of records addressed by index, loaded into
// and saved from the caller's array as a whole.
#include "database/plist.h"
#include "platform/data_dir.h"

#include <cstdint>
#include <functional>
#include <string>

namespace k4 {

constexpr int kTableHeaderSize = 10;

class Table {
public:
    // array: count x rec_size bytes of the caller's, not owned.
    Table(DataDir dir, void* array) : dir_(std::move(dir)), array_(static_cast<uint8_t*>(array)) {}

    // Creates a missing file (header and zeroed records), then reads it;
    // fails when the stored record size or count differs or records are
    // missing.
    int Load(const std::string& name, int recSize, int count);
    // Writes the whole array back once the file's header agrees.
    int Save(const std::string& name, int recSize, int count);
    // Rewrite or zero one record, in the file and in the array.
    int WriteOne(const std::string& name, int index, const void* record);
    int ClearOne(const std::string& name, int index);

    uint8_t* array() const { return array_; }

private:
    bool headerOf(const std::string& name, int& recSize, int& count);

    DataDir dir_;
    uint8_t* array_;
};

// A table with the list of its used entries, in ascending order.
class TableList {
public:
    using UsedRule = std::function<bool(const uint8_t* record)>;

    // By default an entry is used when any of its bytes is set.
    TableList(DataDir dir, Messages& messages, void* array, int recSize, int count, UsedRule used = {});

    int Load(const std::string& name) { return table_.Load(name, recSize_, count_) == 0 ? Rebuild() : -1; }
    int Save(const std::string& name) { return table_.Save(name, recSize_, count_); }
    // Recomputes the used entries.
    int Rebuild();

    Table& table() { return table_; }
    const PListInt& used() const { return used_; }
    int recordSize() const { return recSize_; }
    int count() const { return count_; }
    const uint8_t* record(int index) const { return table_.array() + static_cast<size_t>(index) * recSize_; }

private:
    Table table_;
    PListInt used_;
    int recSize_;
    int count_;
    UsedRule isUsed_;
};

} // namespace k4
