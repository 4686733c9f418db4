#pragma once
// The six index files of the subscribers and the keys each holds:
//   "numer"   "%4.4d" of the number       -> record offset, no duplicates
//   "nazwa"   name, upper-cased           -> record offset
//   "miejsc"  town, upper-cased           -> record offset
//   "adres"   address, upper-cased        -> record offset
//   "telefon" each phone, no leading 0    -> subscriber number
//   "indeks"  password without blanks     -> record offset
// "numer" and "telefon" stay open for the whole run; the others are opened
// for the operation that needs them.
#include "database/index_file.h"
#include "messages/messages.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace k4 {

enum SubscriberIndexId : int {
    kIndexNumber = 0,
    kIndexName = 1,
    kIndexTown = 2,
    kIndexAddress = 3,
    kIndexPhone = 4,
    kIndexPassword = 5,
};
constexpr int kSubscriberIndexCount = 6;
constexpr int kKeysRemovalTold = -2;

struct IndexDescriptor {
    const char* name;
    bool duplicates;
    bool keptOpen;
};
const IndexDescriptor& indexDescriptor(int index);

// What the indexes need of a subscriber record (texts in Mazovia).
struct SubscriberKeys {
    int number = 0;
    int32_t record = 0;
    std::string name, town, address, passwd, tel, telGsm;
};

std::string numberKey(int number);
// A phone as the index keeps it: without a leading "0:" or "0"; empty when
// there is no number.
std::string phoneKey(const std::string& phone);
std::string passwordKey(const std::string& passwd);

class SubscriberIndexes {
public:
    SubscriberIndexes(const DataDir& dir, IndexPageCache& cache, IndexFailure& failure, Messages& messages);

    // Opens (or creates) each file in order. created: whether a file was
    // made now, per index, for the all-or-nothing check of the data set.
    // Indexes kept on demand are closed again. 0 or the index that failed.
    int openAll(bool create, std::array<bool, kSubscriberIndexCount>* created = nullptr);
    void closeAll();

    // After a save of the subscriber. 0, 1 when "numer" refuses the number
    // (told to the operator), -1 when an index cannot be opened.
    int AddSubscriberKeys(const SubscriberKeys& s, bool check);
    // Before a save that may change keys, and when a subscriber goes. 0, or
    // -1 when a pair is missing (the removal stops there; the caller tells
    // it), or kKeysRemovalTold when a phone pair was missing and the
    // operator has had its box already.
    int RemoveSubscriberKeys(const SubscriberKeys& s);

    // The record of a subscriber number, from "numer".
    std::optional<int32_t> recordOfNumber(int number);
    // The subscriber that owns a phone number, from "telefon".
    std::optional<int> ownerOfPhone(const std::string& digits);
    // Whether "telefon" holds the phone for this subscriber (a phone may
    // belong to several).
    bool phoneOfSubscriber(const std::string& digits, int subscriber);

    // Bulk work (an import, a rebuild) with the directory's lock held and no
    // station running: the indexes stay open, their pages wait in the cache
    // and reach the files unsynced; endBulk writes everything and syncs each
    // file once. A crash in between leaves indexes that "index rebuild"
    // makes anew. endBulk gives 0, or -1 when a file could not be synced.
    void beginBulk();
    int endBulk();

    // Makes the five derived indexes anew from the subscribers in "numer".
    // loadKeys reads the subscriber at a record offset. 0 or -1.
    int rebuildDerived(const std::function<std::optional<SubscriberKeys>(int32_t record)>& loadKeys);

    IndexHandle& handle(int index) { return *handles_[static_cast<size_t>(index)]; }

private:
    // 0 when every subscriber of "numer" went in; complete tells whether
    // the new files hold all of "numer" (also when it is empty).
    int fillDerived(const std::function<std::optional<SubscriberKeys>(int32_t record)>& loadKeys, bool& complete);
    // The new files take the places of the old ones, or go again.
    int installDerived(bool install);
    // The open handle of an index, opening an on-demand one for the caller.
    bool use(int index);
    void release(int index);

    DataDir dir_;
    IndexPageCache& cache_;
    Messages& messages_;
    // A rebuild keeps the on-demand indexes open between subscribers.
    bool keepOpen_ = false;
    std::array<std::unique_ptr<IndexHandle>, kSubscriberIndexCount> handles_;
};

} // namespace k4
