// Deleting a subscriber with everything that hangs from it (its orders set
// too, which would otherwise stay in "orders" for no one). A failure in one
// step is reported and the others still run, except for the record itself:
// a record that is already free must not be freed again.
#include "database/sbscrbr.h"

#include "database/lines_list.h"
#include "database/subscriber_database.h"
#include "database/subsys_lst.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace k4 {

namespace {

void showError(Messages& messages, const char* operation) {
    messages.ShowNotice(mz(std::string("\x03") + operation), kNoticeError);
}

bool endsWithPcx(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".pcx";
}

// The subscriber's PCX pictures, "grafika/NNNN*.pcx"; its JPEG and BMP
// pictures stay. The extension is matched without regard to case, as the
// pictures were named on systems that did not tell cases apart.
void deletePcxPictures(const DataDir& dir, int number) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%4.4d", number);
    std::error_code error;
    std::filesystem::directory_iterator it(dir.file("grafika"), error), end;
    for (; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) != 0 || !endsWithPcx(name) || name.size() < std::strlen(prefix) + 4) continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored)) std::filesystem::remove(it->path(), ignored);
    }
}

} // namespace

int Sbscrbr::Delete(bool removeIndex) {
    Messages& messages = db_.messages();
    DatabaseFiles& files = db_.files();
    bool failed = false;

    // Notification persons, up to the end of the list; place-holders have
    // no record.
    bool anyPerson = false;
    for (const Int32Le& person : record.persons) {
        if (person == 0) break;
        if (person != -1) anyPerson = true;
    }
    if (anyPerson) {
        OnDemandFile osoby(files, DbFile::Osoby, {});
        for (Int32Le& person : record.persons) {
            if (person == 0) break;
            if (person == -1) continue;
            RecordFile& file = osoby.file();
            if (!osoby.ok() || file.CheckNotFree(person) != 0 || file.FreeRecord(person) != 0) {
                showError(messages, "usuwania osoby");
                failed = true;
                continue;
            }
            person = -1; // kept as a place-holder so the list still reads on
        }
    }

    // Subsystems with their sectors.
    bool anyLine = false;
    for (const Int32Le& line : record.lines) anyLine = anyLine || line != 0;
    if (anyLine) {
        LinesList lines(files, record.lines);
        if (!lines.usable() || lines.DeleteAll() != 0) failed = true;
    }

    // The description chain.
    if (record.desc != 0) {
        OnDemandFile opis(files, DbFile::Opis, mz("\x03otwarcia pliku opisu"));
        if (!opis.ok()) {
            failed = true;
        } else {
            int32_t first = record.desc;
            if (opis.file().CheckNotFree(first) != 0 || opis.file().FreeChain(first) != 0) {
                showError(messages, "usuwania opisu abonenta");
                failed = true;
            } else {
                record.desc = 0;
            }
        }
    }

    // An event list of its own; a shared list stays for its other users.
    if (record.alarm_list != 0 && !db_.sharedLists().IsSharedList(record.alarm_list)) {
        OnDemandFile alarmy(files, DbFile::Alarmy, {});
        RecordFile& file = alarmy.file();
        if (!alarmy.ok() || file.CheckNotFree(record.alarm_list) != 0 || file.FreeRecord(record.alarm_list) != 0) {
            showError(messages, "usuwania listy zdarzeń");
            failed = true;
        } else {
            record.alarm_list = 0;
        }
    }

    // Arming schedules.
    bool anyPlan = false;
    for (const Int32Le& plan : record.arm_plans) anyPlan = anyPlan || plan != 0;
    if (anyPlan) {
        SubsysLst plans(files, record.arm_plans);
        if (!plans.usable() || plans.DeleteAll() != 0) failed = true;
    }

    // The orders set. Only the current form names a record of its own; a
    // legacy list lives inside the subscriber record and goes with it.
    Uint32Le ordersMarker;
    Int32Le ordersRecord;
    std::memcpy(&ordersMarker, record.orders, sizeof ordersMarker);
    std::memcpy(&ordersRecord, record.orders + sizeof ordersMarker, sizeof ordersRecord);
    if (ordersMarker == kOrdersMarker && ordersRecord != 0) {
        OnDemandFile orders(files, DbFile::Orders, mz("\x03otwarcia pliku"));
        RecordFile& file = orders.file();
        if (!orders.ok() || file.CheckNotFree(ordersRecord) != 0 || file.FreeRecord(ordersRecord) != 0) {
            showError(messages, "usuwania rozkazów abonenta");
            failed = true;
        } else {
            const Int32Le none = 0;
            std::memcpy(record.orders + sizeof ordersMarker, &none, sizeof none);
        }
    }

    // The record itself.
    RecordFile& file = dane();
    bool freed = false;
    if (unindexed) {
        if (offset_ != 0) {
            if (file.CheckNotFree(offset_) != 0 || file.FreeRecord(offset_) != 0) {
                showError(messages, "usuwania abonenta");
                failed = true;
            } else {
                freed = true;
            }
        }
    } else if (offset_ != 0) {
        db_.supervisedLists().ForgetSubscriber(record.object, record.tracks, record.tracks_nbr);
        if (file.CheckNotFree(offset_) != 0) return -1;
        // One box for one failure: a missing phone pair has had its own.
        const int removed = removeIndex ? db_.index().RemoveSubscriberKeys(*this) : 0;
        if (removed == -1) showError(messages, "usuwania indeksów");
        if (removed != 0) failed = true;
        if (file.FreeRecord(offset_) != 0) {
            showError(messages, "usuwania abonenta");
            failed = true;
        } else {
            freed = true;
            db_.history().LogSystemEvent(removeIndex ? kHistorySubscriberDeleted : kHistorySubscriberDeletedKeptIndex,
                                         record.object, 0, 0, 0);
        }
    }

    deletePcxPictures(db_.dataDir(), record.object);

    if (freed) {
        valid = false;
        offset_ = 0;
    }
    return failed ? -1 : 0;
}

} // namespace k4
