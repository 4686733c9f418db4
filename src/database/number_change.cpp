#include "database/number_change.h"

#include "database/picture_files.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"

#include <cstdio>
#include <sys/stat.h>

namespace k4 {

namespace {

// The pictures named by the old number take the new one; a file already
// named so (left by a subscriber deleted earlier) is not overwritten.
void renamePictures(const DataDir& dir, int oldNumber, int newNumber, Messages& messages) {
    SubscriberPictures pictures(dir, oldNumber, messages);
    pictures.listPictures();
    char head[8];
    std::snprintf(head, sizeof head, "%4.4d", newNumber);
    for (const std::string& name : pictures.names()) {
        const std::string target = head + name.substr(4);
        struct stat st {};
        if (::stat(pictures.pathOf(target).c_str(), &st) == 0) {
            messages.ShowNotice(mz("\x03Grafika " + name + " zostaje pod starym numerem: plik " + target +
                                   " już istnieje."),
                                kNoticeInfo);
            continue;
        }
        std::rename(pictures.pathOf(name).c_str(), pictures.pathOf(target).c_str());
    }
}

} // namespace

int changeSubscriberNumber(SubscriberDatabase& db, SubscriberIndexes& indexes, int oldNumber, int newNumber) {
    Messages& messages = db.messages();
    if (indexes.recordOfNumber(newNumber)) {
        messages.ShowNotice(mz("\x03W bazie istnieje już abonent o podanym numerze"), kNoticeInfo);
        return kNumberTaken;
    }
    const std::optional<int32_t> record = indexes.recordOfNumber(oldNumber);
    Sbscrbr s(db, AtOffset{record.value_or(0)});
    if (!record || !s.valid) {
        messages.ShowNotice(mz("\x03Nie znaleźono abonenta"), kNoticeInfo);
        return kNumberNotFound;
    }
    const SubscriberKeys oldKeys = subscriberKeysOf(s);
    if (indexes.RemoveSubscriberKeys(oldKeys) != 0) {
        messages.ShowNotice(mz("\x03usunięcia indeksów"), kNoticeError);
        // A removal that stopped half-way is undone, so the subscriber is
        // found by every key as before.
        indexes.AddSubscriberKeys(oldKeys, false);
        return kNumberNotChanged;
    }
    s.record.object = static_cast<int16_t>(newNumber);
    if (s.Save() != 0) {
        messages.ShowNotice(mz("\x03uaktualnienia abonenta"), kNoticeError);
        // The record was not rewritten: the old keys lead to it again.
        indexes.AddSubscriberKeys(oldKeys, false);
        return kNumberNotChanged;
    }
    if (indexes.AddSubscriberKeys(subscriberKeysOf(s), true) != 0) {
        messages.ShowNotice(mz("\x03zapisu indeksów"), kNoticeError);
        // Half a change would leave a subscriber no index finds: the record
        // takes its old number back, with its old keys.
        indexes.RemoveSubscriberKeys(subscriberKeysOf(s));
        s.record.object = static_cast<int16_t>(oldNumber);
        if (s.Save() == 0) indexes.AddSubscriberKeys(oldKeys, false);
        return kNumberNotChanged;
    }
    db.history().LogSystemEvent(kHistoryNumberChanged, oldNumber, newNumber & 0xFF, (newNumber >> 8) & 0xFF, 0);
    renamePictures(db.dataDir(), oldNumber, newNumber, messages);
    return kNumberChanged;
}

} // namespace k4
