// Event lists beyond their own record: copies from files and other lists,
// dumps to a file, and the removal of a shared list from every subscriber.
#include "processing/event_list.h"

#include "database/index_file.h"
#include "database/subscriber_record.h"
#include "database/text_edge.h"
#include "platform/file.h"

#include <cstring>

namespace k4 {

namespace {

// The codes of a list file in strictly rising order up to the first empty
// entry, as every list is kept: a file out of order (another program's,
// or damaged) would make the look-up miss codes that are in it.
bool isOrderedList(const std::string& bytes) {
    int previous = 0;
    for (int i = 0; i < kListEntries; ++i) {
        LUT_ENTRY e;
        std::memcpy(&e, bytes.data() + static_cast<size_t>(i) * sizeof e, sizeof e);
        if (e.objCode() == 0) break;
        if (e.objCode() <= previous || e.objCode() > kLastEventCode) return false;
        previous = e.objCode();
    }
    return true;
}

} // namespace

int AlarmsTableList::loadFrom(int32_t source, bool asNew, const std::optional<std::string>& chosenFile) {
    if (source == -1) {
        if (!chosenFile) return -1;
        std::string bytes;
        if (!readWholeFile(*chosenFile, bytes, nullptr) || bytes.size() < static_cast<size_t>(kListRecordSize) ||
            !isOrderedList(bytes)) {
            messages_.ShowNotice(mz("\x03wczytania listy zdarzeń"), kNoticeError);
            return -1;
        }
        std::memcpy(buffer(), bytes.data(), static_cast<size_t>(kListRecordSize));
        recount();
        return setList(-1, true);
    }
    if (source > 0) {
        if (Read(source) != 0) return -1;
        recount();
        return setList(-1, true);
    }
    buildStandard(true);
    return asNew ? setList(-1, true) : setList(0, false);
}

int AlarmsTableList::dumpToDisk(const std::string& fileName, const std::string& startDirectory) {
    if (holder_ == 0) {
        messages_.ShowNotice(mz("\x03""Abonent posiada standardową listę zdarzeń. Lista nie zostanie zapisana."),
                             kNoticeInfo);
        return 1;
    }
    const auto directory = messages_.ui().askText("Zapis listy zdarzeń", "Nazwa katalogu listy zdarzeń:", startDirectory);
    if (!directory || directory->empty()) return 1;
    std::string path = *directory;
    if (path.back() != '/') path += '/';
    path += fileName;
    if (fileExists(path) &&
        messages_.AskYesNo(mz("\x03W podanym katalogu istnieje już lista zdarzeń tego abonenta. Czy ma zostać nadpisana?")) !=
            kResultYes)
        return 1;
    std::string error;
    if (!replaceFileDurably(path, std::string_view(reinterpret_cast<const char*>(buffer()), kListRecordSize), &error)) {
        const bool opening = error.rfind("open", 0) == 0;
        messages_.ShowNotice(mz(opening ? "\x03otwarcia listy zdarzeń" : "\x03zapisu listy zdarzeń"), kNoticeError);
        return -1;
    }
    return 0;
}

int AlarmsTableList::deleteSharedList(RecordFile& dane, IndexHandle& numberIndex, const std::function<int()>& unlink) {
    if (messages_.AskYesNo(mz("\x03Lista zdarzeń zostanie usunięta! Wszyscy abonenci z niej korzystający będą "
                              "uzywać listy standardowej. \n Kontynuować?")) != kResultYes)
        return -1;
    const int32_t id = holder_;
    if (id == 0) return -1;
    // Without the number index the subscribers cannot all be reached, and a
    // record freed under one of them would become the next new list.
    if (!numberIndex.isOpen()) {
        messages_.ShowNotice(mz("\x03ustawienia indeksu"), kNoticeError);
        return -1;
    }

    constexpr int kAlarmListField = static_cast<int>(offsetof(SubscriberRecord, alarm_list));
    IndexKey key;
    int walked = 0;
    for (int r = numberIndex.First(key); r == kIndexFound; r = numberIndex.Next(key)) {
        Int32Le used;
        if (dane.ReadPart(key.value, &used, kAlarmListField, sizeof used) != 0) {
            // Any subscriber left pointing at the list keeps the record alive:
            // freeing it now would hand its bytes to the next new list.
            messages_.ShowNotice(mz("\x03pobrania danych"), kNoticeError);
            return -1;
        }
        if (used == id) {
            const Int32Le standard = 0;
            if (dane.WritePart(key.value, &standard, kAlarmListField, sizeof standard) != 0) {
                messages_.ShowNotice(mz("\x03zapisu danych"), kNoticeError);
                return -1;
            }
        }
        if (++walked % 200 == 0) messages_.PollDuringWork();
    }
    if (unlink && unlink() != 0) return -1;
    if (Delete(id) != 0) {
        messages_.ShowNotice(mz("\x03usuwania listy zdarzeń"), kNoticeError);
        return -1;
    }
    holder_ = 0;
    slot_ = 0;
    return 0;
}

} // namespace k4
