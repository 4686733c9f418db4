#pragma once
// The operator file "operator": a table file of 32 records of 43 bytes, each
// a scrambled personal code, a surname and an operator number. The used
// records come first; numbers are issued from the header counter and never
// reused, because history entries name operators by number.
#include "platform/data_dir.h"
#include "platform/little_endian.h"
#include "processing/name_sources.h"
#include "operators/scramble.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k4 {

constexpr int kOperatorCapacity = 32;
constexpr int kOperatorRecordSize = 43;
constexpr int kOperatorFileSize = 10 + kOperatorCapacity * kOperatorRecordSize; // 1386
constexpr int kOperatorCodeLimit = 10;
constexpr int kOperatorSurnameLimit = 29;

struct OperatorRecord {
    uint8_t code[kCodeFieldSize];   // scrambled
    char surname[30];               // Mazovia, NUL-terminated
    Int16Le number;                 // 0: unused record
};
static_assert(sizeof(OperatorRecord) == kOperatorRecordSize);

class SOperatLst : public OperatorNames {
public:
    explicit SOperatLst(DataDir dir) : dir_(std::move(dir)) {}

    // Loads "operator", creating a new one when missing and converting the
    // older 16 x 42 layout. false (and an empty list) on any failure; a file
    // that could not be read is then never overwritten by Save.
    bool Load();
    int Count() const { return count_; }
    const OperatorRecord& Item(int at) const { return records_[at]; }
    OperatorRecord& Item(int at) { return records_[at]; }
    int Append(const OperatorRecord& record);
    // Closes the gap: the later records move up.
    int Remove(int at);
    // Writes the whole table in one durable step; -1 when it cannot, or when
    // the list was not loaded from a sound file.
    int Save();

    // With a record: the counter goes up by one and the record takes the new
    // number. Without one: the counter is set to value. The file's header is
    // rewritten either way; -1 on any file error.
    int issueOperatorNumber(OperatorRecord* record, int value);
    // The last number issued (-1 and -2 count as 0).
    int lastIssued() const;

    std::optional<std::string> surnameOf(int operatorNumber) override;

private:
    bool convertOlderLayout(const std::string& older);
    void recount();

    DataDir dir_;
    int16_t counter_ = -1;
    OperatorRecord records_[kOperatorCapacity] {};
    int count_ = 0;
    bool loaded_ = false;
};

// The number of the operator whose code is typed (Mazovia), or -1. Every
// record is compared in full whatever matches, so the time taken does not
// tell how much of a code was right. An empty text never matches.
int findOperatorByCode(const SOperatLst& list, std::string_view typed);
// The index of the first record other than skip whose code is typed, or -1;
// timed the same way.
int operatorIndexByCode(const SOperatLst& list, std::string_view typed, int skip = -1);

} // namespace k4
