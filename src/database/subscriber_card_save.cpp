#include "database/subscriber_card_save.h"

#include "database/history_sink.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/subscriber_saving.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

void noteCardEditing(SubscriberDatabase& db, int number) {
    db.history().LogSystemEvent(kHistoryCardEditing, number, 0, 0, 0);
}

namespace {

int saveNew(SubscriberDatabase& db, SubscriberIndexes& indexes, Sbscrbr& s) {
    int32_t offset = 0;
    const int saved = saveNewSubscriber(db, indexes, s.record, offset);
    if (saved != kSubscriberSaved) return saved == kSubscriberNumberTaken ? kCardKeptOpen : kCardNotSaved;
    // The record as stored, with what CheckTracks made of the tests; the
    // flags of the dialogs stay for the rescheduling after the save.
    const bool tests = s.tests_changed, plans = s.plans_changed;
    if (s.Load(offset) != 0) {
        db.messages().ShowNotice(mz("\x03odczytu danych abonenta"), kNoticeError);
        return kCardNotSaved;
    }
    s.valid = true;
    s.unindexed = false;
    s.tests_changed = tests;
    s.plans_changed = plans;
    return kCardSaved;
}

bool numberTaken(SubscriberIndexes& indexes, int number, int32_t ownOffset) {
    const std::optional<int32_t> at = indexes.recordOfNumber(number);
    return at && *at != ownOffset;
}

} // namespace

int saveSubscriberCard(SubscriberDatabase& db, SubscriberIndexes& indexes, Sbscrbr& s) {
    Messages& messages = db.messages();
    if (!s.valid) return kCardNotSaved;
    if (s.offset() == 0) return saveNew(db, indexes, s);

    // The keys to take out are those of the record as it is stored, whatever
    // the dialogs opened from the card did to the copy in memory.
    Sbscrbr stored(db, AtOffset{s.offset()});
    if (!stored.valid) {
        messages.ShowNotice(mz("\x03odczytu danych abonenta"), kNoticeError);
        return kCardNotSaved;
    }
    const SubscriberKeys oldKeys = subscriberKeysOf(stored);
    const bool indexed = !s.unindexed;
    // A number that belongs to another subscriber is refused before anything
    // changes: no key and no byte of the record move.
    if (numberTaken(indexes, s.number(), s.offset())) {
        messages.ShowNotice(mz("W bazie istnieje już abonent o podanym numerze ") + numberKey(s.number()),
                            kNoticeInfo);
        return kCardKeptOpen;
    }

    if (indexed) {
        const int removed = indexes.RemoveSubscriberKeys(oldKeys);
        if (removed != 0) {
            if (removed != kKeysRemovalTold) messages.ShowNotice(mz("\x03usunięcia indeksów"), kNoticeError);
            // The removal stopped at a missing pair; the pairs after it must
            // go too, or the new keys would stand beside them.
            takeBackSubscriberKeys(db, indexes, oldKeys);
        }
    }
    s.CheckTracks();
    auto putBackOldKeys = [&] {
        if (indexed && putBackSubscriberKeys(db, indexes, oldKeys) != 0)
            messages.ShowNotice(mz("\x03zapisu indeksów"), kNoticeError);
    };
    if (s.Save() != 0) {
        messages.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
        putBackOldKeys();
        return kCardNotSaved;
    }
    const SubscriberKeys newKeys = subscriberKeysOf(s);
    const int added = indexes.AddSubscriberKeys(newKeys, true);
    if (added == 0) {
        s.unindexed = false;
        return kCardSaved;
    }
    if (added != 1) messages.ShowNotice(mz("\x03zapisu indeksów"), kNoticeError);
    takeBackSubscriberKeys(db, indexes, newKeys);
    // The record goes back to what its old keys find.
    if (stored.Save() != 0) messages.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
    putBackOldKeys();
    return added == 1 ? kCardKeptOpen : kCardNotSaved;
}

} // namespace k4
