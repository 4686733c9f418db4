#include "database/subscriber_saving.h"

#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

namespace {

// Every pair of the keys, in each index that can be opened; an index that
// cannot is left out and the walk goes on. False when one was left out or
// refused its pair.
template <typename Work>
bool forEveryPair(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberKeys& keys, Work&& work) {
    const std::pair<int, std::string> byRecord[] = {{kIndexNumber, numberKey(keys.number)},
                                                    {kIndexName, keys.name},
                                                    {kIndexTown, keys.town},
                                                    {kIndexAddress, keys.address},
                                                    {kIndexPassword, passwordKey(keys.passwd)}};
    bool whole = true;
    auto withIndex = [&](int index, auto&& step) {
        IndexHandle& h = indexes.handle(index);
        const bool opened = !h.isOpen();
        if (opened && h.OpenIndex(db.dataDir(), indexDescriptor(index).name, indexDescriptor(index).duplicates) != 0) {
            whole = false;
            return;
        }
        step(h);
        if (opened) h.CloseIndex();
    };
    for (const auto& entry : byRecord)
        withIndex(entry.first, [&](IndexHandle& h) {
            if (!work(h, entry.second, keys.record)) whole = false;
        });
    withIndex(kIndexPhone, [&](IndexHandle& h) {
        for (const std::string& phone : {phoneKey(keys.tel), phoneKey(keys.telGsm)})
            if (!phone.empty() && !work(h, phone, keys.number)) whole = false;
    });
    return whole;
}

} // namespace

void takeBackSubscriberKeys(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberKeys& keys) {
    forEveryPair(db, indexes, keys, [](IndexHandle& h, const std::string& text, int32_t value) {
        h.DeleteKey(text, value);
        return true;
    });
}

int putBackSubscriberKeys(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberKeys& keys) {
    const bool whole = forEveryPair(db, indexes, keys, [](IndexHandle& h, const std::string& text, int32_t value) {
        return h.InsertKey(text, value) >= 0;
    });
    return whole ? 0 : -1;
}

int saveNewSubscriber(SubscriberDatabase& db, SubscriberIndexes& indexes, const SubscriberRecord& record,
                      int32_t& offset) {
    Messages& messages = db.messages();
    const std::string number = numberKey(record.object);
    IndexHandle& numer = indexes.handle(kIndexNumber);
    if (!numer.isOpen()) {
        messages.ShowNotice(mz("\x03otwarcia indeksu"), kNoticeError);
        return kSubscriberNotSaved;
    }
    // Refused before anything is written: a record saved under a taken
    // number would be reachable from no index.
    IndexKey existing;
    if (numer.FindKey(number, existing) == kIndexFound) {
        messages.ShowNotice(mz("W bazie istnieje już abonent o podanym numerze ") + number, kNoticeInfo);
        return kSubscriberNumberTaken;
    }

    Sbscrbr s(db);
    s.record = record;
    s.record.free_link = 0;
    s.CheckTracks();
    if (s.Save() != 0) {
        messages.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
        return kSubscriberNotSaved;
    }
    const SubscriberKeys keys = subscriberKeysOf(s);
    const int indexed = indexes.AddSubscriberKeys(keys, true);
    if (indexed == 0) {
        offset = s.offset();
        return kSubscriberSaved;
    }
    // The duplicate was told by the index itself; anything else is an index
    // that could not take the keys. Either way the record goes again, so no
    // subscriber stays in "dane" that no index finds.
    if (indexed != 1) {
        messages.ShowNotice(mz("\x03zapisu indeksów"), kNoticeError);
        takeBackSubscriberKeys(db, indexes, keys);
    }
    if (db.file(DbFile::Dane).FreeRecord(s.offset()) != 0)
        messages.ShowNotice(mz("\x03usuwania abonenta"), kNoticeError);
    return indexed == 1 ? kSubscriberNumberTaken : kSubscriberNotSaved;
}

} // namespace k4
