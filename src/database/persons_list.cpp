#include "database/persons_list.h"

#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

PersonsList::PersonsList(DatabaseFiles& files, Int32Le (&persons)[kPersonSlots])
    : Base(&files.file(DbFile::Osoby), descriptorOf(DbFile::Osoby).recordSize),
      ListT<Int32Le>(persons, kPersonSlots), files_(files),
      osoby_(files, DbFile::Osoby, mz("\x03otwarcia pliku")) {
    Recount();
}

int PersonsList::Recount() {
    count_ = 0;
    while (count_ < capacity_ && items_[count_] != 0) ++count_;
    return 0;
}

int PersonsList::AddEntry(int32_t entry, int index) {
    if (!usable() || Count() >= Capacity()) return -1;
    if (entry == kPersonPlaceHolder) return Insert(Int32Le(kPersonPlaceHolder), index);
    int32_t at = 0;
    if (Append(at) != 0) return -1;
    return Add(Int32Le(at));
}

int PersonsList::StoreEntry(int index) {
    if (!usable() || index < 0 || index >= Count()) return -1;
    const int32_t entry = Item(index);
    if (entry == kPersonPlaceHolder) {
        int32_t at = 0;
        if (Append(at) != 0) return -1;
        return Put(Int32Le(at), index);
    }
    // Rewrite refuses a buffer that was loaded from another person.
    setCurrentPosition(entry);
    return Rewrite();
}

int PersonsList::ReadEntry(int index) {
    if (!usable() || index < 0 || index >= Count() || Item(index) == kPersonPlaceHolder) {
        clearBuffer();
        return -1;
    }
    return Read(Item(index));
}

int PersonsList::RefuseWhenFull() {
    if (Count() < Capacity()) return 0;
    files_.messages().ShowNotice(mz("\x03Lista osób jest pełna"), kNoticeInfo);
    return -1;
}

int PersonsList::RemoveEntry(int index) {
    if (!usable() || index < 0 || index >= Count()) return -1;
    Messages& messages = files_.messages();
    const int32_t entry = Item(index);
    if (entry == kPersonPlaceHolder) {
        if (Remove(index) == 0) return 0;
        messages.ShowNotice(mz("\x03usunięcia pustej osoby"), kNoticeError);
        return -1;
    }
    if (messages.AskYesNo(mz("\x03" "Dane zostaną bezpowrotnie stracone!")) != kResultYes) return 1;
    if (Remove(index) != 0) {
        messages.ShowNotice(mz("\x03usunięcia osoby z listy"), kNoticeError);
        return -1;
    }
    if (Delete(entry) != 0) {
        messages.ShowNotice(mz("\x03usunięcia osoby z pliku"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
