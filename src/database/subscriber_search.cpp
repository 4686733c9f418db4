#include "database/subscriber_search.h"

#include "database/codepage.h"
#include "database/opened_index.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <cstring>

namespace k4 {

namespace {

const char* const kNobody = "Nie ma takiego abonenta";

} // namespace

SubscriberSearch::SubscriberSearch(const DataDir& dir, SubscriberIndexes& indexes, Messages& messages)
    : dir_(dir), indexes_(indexes), messages_(messages) {}

std::optional<SubscriberFound> SubscriberSearch::search(const SubscriberSearchFields& f) {
    if (f.number != 0) {
        nextOffered_ = false;
        const auto record = indexes_.recordOfNumber(f.number);
        if (!record) {
            messages_.ShowNotice(mz(kNobody), kNoticeInfo);
            return std::nullopt;
        }
        return SubscriberFound{kSearchByNumber, *record};
    }
    if (!f.name.empty()) return byPrefix(kIndexName, f.name.substr(0, 29), kSearchByName);
    if (!f.password.empty()) {
        nextOffered_ = false;
        return byPrefix(kIndexPassword, passwordKey(f.password.substr(0, 10)), kSearchByPassword);
    }
    if (!f.phone.empty()) {
        const std::string digits = f.phone.substr(0, 9);
        bool exists = false;
        const auto record = phoneOwner(digits, 0, exists);
        if (!record) {
            messages_.ShowNotice(mz(kNobody), kNoticeInfo);
            return std::nullopt;
        }
        phone_ = digits;
        phoneStep_ = 0;
        nextOffered_ = true;
        return SubscriberFound{kSearchByPhone, *record};
    }
    return SubscriberFound{};
}

std::optional<SubscriberFound> SubscriberSearch::byPrefix(int index, const std::string& text, int kind) {
    OpenedIndex opened(dir_, indexes_, index);
    if (!opened.ok()) {
        messages_.ShowNotice(mz("\x03otwarcia pliku indeksowego"), kNoticeError);
        return std::nullopt;
    }
    const std::string prefix = IndexHandle::keyText(text);
    IndexKey key;
    const bool found = (*opened).FindFrom(prefix, key) == kIndexFound &&
                       CompareMazoviaN(key.text.c_str(), prefix.c_str(), static_cast<int>(prefix.size())) == 0;
    if (!found) {
        nextOffered_ = false;
        messages_.ShowNotice(mz(kNobody), kNoticeInfo);
        return std::nullopt;
    }
    return SubscriberFound{kind, key.value};
}

std::optional<int32_t> SubscriberSearch::phoneOwner(const std::string& digits, int n, bool& entryExists) {
    entryExists = false;
    OpenedIndex telefon(dir_, indexes_, kIndexPhone);
    if (!telefon.ok()) return std::nullopt;
    const std::string text = IndexHandle::keyText(digits);
    IndexKey key;
    // The entries of one number follow one another; the n-th is counted
    // afresh each time, since the station may use the index in between.
    int r = (*telefon).FindKey(text, key);
    for (int i = 0; i < n && r == kIndexFound; ++i) r = (*telefon).Next(key);
    // The first owner has the digits exactly; the others only need to begin
    // with them (a number typed without its last digits, an extension).
    if (r != kIndexFound || key.text.compare(0, text.size(), text) != 0) return std::nullopt;
    entryExists = true;
    return indexes_.recordOfNumber(key.value);
}

SubscriberFound SubscriberSearch::next(const SubscriberFound& previous) {
    bool exists = false;
    const auto record = phoneOwner(phone_, phoneStep_ + 1, exists);
    if (!exists) {
        messages_.ShowNotice(mz("Nie ma innego abonenta z tym numerem."), kNoticeInfo);
        return previous;
    }
    ++phoneStep_;
    if (!record) {
        messages_.ShowNotice(mz(kNobody), kNoticeInfo);
        return previous;
    }
    return SubscriberFound{kSearchByPhone, *record};
}

} // namespace k4
