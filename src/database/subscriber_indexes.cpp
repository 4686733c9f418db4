#include "database/subscriber_indexes.h"

#include "database/text_edge.h"
#include "platform/file.h"

#include <cstdio>

namespace k4 {

namespace {

const std::array<IndexDescriptor, kSubscriberIndexCount> kIndexes = {{
    {"numer", false, true},
    {"nazwa", true, false},
    {"miejsc", true, false},
    {"adres", true, false},
    {"telefon", true, true},
    {"indeks", true, false},
}};

} // namespace

const IndexDescriptor& indexDescriptor(int index) { return kIndexes[static_cast<size_t>(index)]; }

std::string numberKey(int number) {
    char key[16];
    std::snprintf(key, sizeof key, "%4.4d", number);
    return key;
}

std::string phoneKey(const std::string& phone) {
    std::string key = phone.substr(0, phone.find('\0'));
    if (key.rfind("0:", 0) == 0)
        key.erase(0, 2);
    else if (!key.empty() && key[0] == '0')
        key.erase(0, 1);
    return key;
}

std::string passwordKey(const std::string& passwd) {
    std::string key;
    for (char c : passwd.substr(0, passwd.find('\0')))
        if (c != ' ') key += c;
    return key;
}

namespace {
constexpr int kDerivedIndexes[] = {kIndexName, kIndexTown, kIndexAddress, kIndexPhone, kIndexPassword};
} // namespace

SubscriberIndexes::SubscriberIndexes(const DataDir& dir, IndexPageCache& cache, IndexFailure& failure,
                                     Messages& messages)
    : dir_(dir), cache_(cache), messages_(messages) {
    for (auto& h : handles_) h = std::make_unique<IndexHandle>(cache, failure);
}

int SubscriberIndexes::openAll(bool create, std::array<bool, kSubscriberIndexCount>* created) {
    for (int i = 0; i < kSubscriberIndexCount; ++i) {
        const auto& d = kIndexes[static_cast<size_t>(i)];
        const bool exists = fileExists(dir_.file(d.name));
        if (created) (*created)[static_cast<size_t>(i)] = !exists;
        int r;
        if (!exists && create)
            r = handles_[static_cast<size_t>(i)]->CreateIndex(dir_, d.name, d.duplicates);
        else
            r = handles_[static_cast<size_t>(i)]->OpenIndex(dir_, d.name, d.duplicates);
        if (r != 0) return i == 0 ? -1 : i;
        if (!d.keptOpen) handles_[static_cast<size_t>(i)]->CloseIndex();
    }
    return 0;
}

void SubscriberIndexes::closeAll() {
    for (auto& h : handles_) h->CloseIndex();
}

bool SubscriberIndexes::use(int index) {
    IndexHandle& h = handle(index);
    if (h.isOpen()) return true;
    const auto& d = kIndexes[static_cast<size_t>(index)];
    return h.OpenIndex(dir_, d.name, d.duplicates) == 0;
}

void SubscriberIndexes::release(int index) {
    if (!keepOpen_ && !kIndexes[static_cast<size_t>(index)].keptOpen) handle(index).CloseIndex();
}

int SubscriberIndexes::AddSubscriberKeys(const SubscriberKeys& s, bool check) {
    const std::string number = numberKey(s.number);
    if (check) {
        if (!use(kIndexNumber)) return -1;
        const int inserted = handle(kIndexNumber).InsertKey(number, s.record);
        release(kIndexNumber);
        if (inserted < 0) return -1;
        if (inserted == 0) {
            messages_.ShowNotice(mz("W bazie istnieje już abonent o podanym numerze ") + number, kNoticeInfo);
            return 1;
        }
    }
    const std::pair<int, std::string> byRecord[] = {
        {kIndexName, s.name}, {kIndexTown, s.town}, {kIndexAddress, s.address}, {kIndexPassword, passwordKey(s.passwd)}};
    for (const auto& [index, text] : byRecord) {
        if (!use(index)) return -1;
        const int r = handle(index).InsertKey(text, s.record);
        release(index);
        if (r < 0) return -1;
    }
    if (!use(kIndexPhone)) return -1;
    for (const std::string& phone : {phoneKey(s.tel), phoneKey(s.telGsm)})
        if (!phone.empty() && handle(kIndexPhone).InsertKey(phone, s.number) < 0) return -1;
    release(kIndexPhone);
    return 0;
}

int SubscriberIndexes::RemoveSubscriberKeys(const SubscriberKeys& s) {
    // A subscriber numbered -1 was never indexed.
    if (s.number == -1) return 0;
    if (!use(kIndexPhone)) return -1;
    for (const std::string& phone : {phoneKey(s.tel), phoneKey(s.telGsm)}) {
        if (phone.empty()) continue;
        if (handle(kIndexPhone).DeleteKey(phone, s.number) != 1) {
            messages_.ShowNotice(mz("\x03usunięcia numeru telefonu"), kNoticeError);
            release(kIndexPhone);
            return kKeysRemovalTold;
        }
    }
    release(kIndexPhone);
    const std::pair<int, std::string> byRecord[] = {{kIndexNumber, numberKey(s.number)},
                                                    {kIndexName, s.name},
                                                    {kIndexTown, s.town},
                                                    {kIndexAddress, s.address},
                                                    {kIndexPassword, passwordKey(s.passwd)}};
    for (const auto& [index, text] : byRecord) {
        if (!use(index)) return -1;
        const int r = handle(index).DeleteKey(text, s.record);
        release(index);
        // The caller tells the failure ("usuwania indeksów"): one box for it.
        if (r != 1) return -1;
    }
    return 0;
}

std::optional<int32_t> SubscriberIndexes::recordOfNumber(int number) {
    if (!use(kIndexNumber)) return std::nullopt;
    IndexKey key;
    const int r = handle(kIndexNumber).FindKey(numberKey(number), key);
    release(kIndexNumber);
    if (r != kIndexFound) return std::nullopt;
    return key.value;
}

std::optional<int> SubscriberIndexes::ownerOfPhone(const std::string& digits) {
    if (digits.empty() || !use(kIndexPhone)) return std::nullopt;
    IndexKey key;
    const int r = handle(kIndexPhone).FindKey(digits, key);
    release(kIndexPhone);
    if (r != kIndexFound) return std::nullopt;
    return key.value;
}

bool SubscriberIndexes::phoneOfSubscriber(const std::string& digits, int subscriber) {
    if (digits.empty() || !use(kIndexPhone)) return false;
    const bool found = handle(kIndexPhone).FindPair(digits, subscriber) == kIndexFound;
    release(kIndexPhone);
    return found;
}

int SubscriberIndexes::rebuildDerived(
    const std::function<std::optional<SubscriberKeys>(int32_t record)>& loadKeys) {
    // The five files are made from nothing, so nothing in them is worth a
    // wait for the disk until the end: they stay open, their pages go out
    // unsynced, and one sync per file closes the rebuild. A crash in the
    // middle leaves "numer" as it was and the rebuild is run again.
    // The new indexes are made beside the old ones and take their places
    // only when they are whole: a rebuild that breaks off leaves the old
    // indexes as they were, never one it did not fill.
    beginBulk();
    bool complete = false;
    int result = -1;
    try {
        result = fillDerived(loadKeys, complete);
    } catch (...) {
        // Whatever broke the walk off, the old files stay and the bulk ends.
        try {
            endBulk();
            installDerived(false);
        } catch (...) {
        }
        throw;
    }
    const int synced = endBulk();
    const int installed = installDerived(complete && synced == 0);
    if (result != 0) return result;
    return synced != 0 ? synced : installed;
}

namespace {
std::string rebuiltName(const char* name) { return std::string(name) + ".nowy"; }
} // namespace

int SubscriberIndexes::installDerived(bool install) {
    int result = 0;
    for (int index : kDerivedIndexes) {
        const auto& d = kIndexes[static_cast<size_t>(index)];
        handle(index).CloseIndex();
        const std::string made = dir_.file(rebuiltName(d.name));
        if (!install) {
            std::remove(made.c_str());
        } else if (fileExists(made) && !renameDurably(made, dir_.file(d.name), nullptr)) {
            messages_.ShowNotice(mz("\x03utworzenia indeksu!") + d.name, kNoticeError);
            result = -1;
        }
        // An index kept open for the run is open again, on its file.
        if (d.keptOpen && handle(index).OpenIndex(dir_, d.name, d.duplicates) != 0) result = -1;
    }
    return result;
}

void SubscriberIndexes::beginBulk() {
    keepOpen_ = true;
    cache_.setDeferredSync(true);
}

int SubscriberIndexes::endBulk() {
    int synced = 0;
    // Still deferred: each file gets its pages and header unsynced, then
    // the one sync.
    for (int index = 0; index < kSubscriberIndexCount; ++index)
        if (handle(index).SyncIndex() != 0) synced = -1;
    cache_.setDeferredSync(false);
    keepOpen_ = false;
    for (int index = 0; index < kSubscriberIndexCount; ++index) release(index);
    return synced;
}

int SubscriberIndexes::fillDerived(
    const std::function<std::optional<SubscriberKeys>(int32_t record)>& loadKeys, bool& complete) {
    complete = false;
    for (int index : kDerivedIndexes) {
        const auto& d = kIndexes[static_cast<size_t>(index)];
        if (handle(index).CreateIndex(dir_, rebuiltName(d.name), d.duplicates) != 0) {
            messages_.ShowNotice(mz("\x03utworzenia indeksu!") + d.name, kNoticeError);
            return -1;
        }
        release(index);
    }
    if (!use(kIndexNumber)) return -1;
    IndexHandle& numer = handle(kIndexNumber);
    IndexKey entry;
    if (numer.First(entry) != kIndexFound) {
        release(kIndexNumber);
        messages_.ShowNotice(mz(" ustawienia indeksu"), kNoticeError);
        // An empty "numer" (a damaged one has ended the work already): the
        // empty indexes made are what it asks for.
        complete = true;
        return -1;
    }
    int result = 0;
    for (int r = kIndexFound; r == kIndexFound; r = numer.Next(entry)) {
        auto keys = loadKeys(entry.value);
        if (!keys) {
            messages_.ShowNotice(mz(" utworzenia kluczy"), kNoticeError);
            continue;
        }
        keys->record = entry.value;
        if (AddSubscriberKeys(*keys, false) == -1) {
            result = -1;
            break;
        }
    }
    release(kIndexNumber);
    complete = result == 0;
    return result;
}

} // namespace k4
