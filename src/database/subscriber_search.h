#pragma once
// The operator's search for a subscriber ("Znajdź abonenta"): by number, by
// the beginning of the name or of the password, or by a phone number, whose
// other owners "&Następny" steps through.
#include "platform/data_dir.h"

#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

class Messages;
class SubscriberIndexes;

// What the dialog holds; texts in Mazovia.
struct SubscriberSearchFields {
    int number = 0; // 0 counts as empty
    std::string name;
    std::string password;
    std::string phone;
};

enum : int {
    kSearchByNumber = 0,
    kSearchByName = 1,
    kSearchByPassword = 2,
    kSearchByPhone = 3,
};

struct SubscriberFound {
    int kind = -1;
    int32_t offset = -1; // record in "dane"; -1 nobody
};

class SubscriberSearch {
public:
    SubscriberSearch(const DataDir& dir, SubscriberIndexes& indexes, Messages& messages);

    // "S&zukaj" over the first field filled. Nothing when the dialog is to
    // stay open (the operator was told why); {-1, -1} when every field is empty.
    std::optional<SubscriberFound> search(const SubscriberSearchFields& fields);
    // "&Następny": the next subscriber whose phone begins with the digits
    // searched last; the previous result when there is none ("Nie ma innego
    // abonenta z tym numerem.").
    SubscriberFound next(const SubscriberFound& previous);
    // Whether "&Następny" is offered: only after a phone search found someone.
    bool nextOffered() const { return nextOffered_; }

private:
    std::optional<SubscriberFound> byPrefix(int index, const std::string& text, int kind);
    // The owner of the n-th entry of the phone's digits, looked up in "numer".
    std::optional<int32_t> phoneOwner(const std::string& digits, int n, bool& entryExists);

    DataDir dir_;
    SubscriberIndexes& indexes_;
    Messages& messages_;
    bool nextOffered_ = false;
    std::string phone_; // the digits of the last phone search
    int phoneStep_ = 0; // which of its entries was given last
};

} // namespace k4
