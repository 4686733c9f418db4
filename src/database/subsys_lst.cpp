#include "database/subsys_lst.h"

#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

SubsysLst::SubsysLst(DatabaseFiles& files, Int32Le (&armPlans)[kArmPositions])
    : Base(&files.file(DbFile::Uzbroj), descriptorOf(DbFile::Uzbroj).recordSize),
      ListT<Int32Le>(armPlans, kArmPositions), files_(files),
      uzbroj_(files, DbFile::Uzbroj, mz("\x03otwarcia pliku")) {
    Recount();
}

int SubsysLst::Recount() {
    count_ = 0;
    for (int i = 0; i < capacity_; ++i)
        if (items_[i] != 0) ++count_;
    return 0;
}

int SubsysLst::ReadPosition(int position) {
    if (!usable() || !InRange(position) || Item(position) == 0) {
        clearBuffer();
        setPositions(0);
        return -1;
    }
    return Read(Item(position));
}

int SubsysLst::deleteRecord(int32_t offset) {
    Messages& messages = files_.messages();
    if (Read(offset) != 0) {
        messages.ShowNotice(mz("\x03odczytu podsystemu"), kNoticeError);
        return -1;
    }
    if (Delete(offset) != 0) {
        messages.ShowNotice(mz("\x03usunięcia podsystemu"), kNoticeError);
        return -1;
    }
    setPositions(0);
    return 0;
}

int SubsysLst::CopyPosition(int source, int target) {
    if (!usable() || !InRange(source) || !InRange(target)) return -1;
    // An empty source fails before anything is asked or changed.
    if (Item(source) == 0) return -1;
    const int32_t old = Item(target);
    if (old != 0 &&
        files_.messages().AskYesNo(mz("\x03Wpis pod podanym numerem już istnieje.\nZastąpić go aktualnie wpisanym?")) !=
            kResultYes)
        return 0;
    // The copy is made before the target lets go of its own schedule.
    if (ReadPosition(source) != 0) return -1;
    int32_t added = 0;
    if (Append(added) != 0) return -1;
    Item(target) = added;
    Recount();
    if (old != 0 && deleteRecord(old) != 0) return -1;
    return 0;
}

int SubsysLst::DeleteAt(int position, bool ask) {
    if (!usable() || !InRange(position)) return -1;
    const int32_t old = Item(position);
    if (old == 0) return 0;
    if (ask && files_.messages().AskYesNo(mz("\x03Wszelkie dane o podsystemie zostaną usunięte!")) != kResultYes)
        return -1;
    Item(position) = 0;
    Recount();
    return deleteRecord(old);
}

int SubsysLst::DeleteAll() {
    int result = 0;
    for (int position = 0; position < Capacity(); ++position)
        if (DeleteAt(position, false) != 0) result = -1;
    return result;
}

int SubsysLst::SavePosition(int position, uint8_t identification) {
    if (!usable() || !InRange(position)) return -1;
    schedule().identification = identification;
    const int32_t existing = Item(position);
    int result;
    if (existing != 0) {
        result = file_->WriteRecord(existing, buffer());
        if (result == 0) setPositions(existing);
    } else {
        int32_t added = 0;
        result = Append(added);
        if (result == 0) {
            Item(position) = added;
            Recount();
        }
    }
    if (result != 0)
        files_.messages().ShowNotice(mz("\x03zapisu danych o Wyłączeniach/Załączeniach"), kNoticeError);
    return result;
}

int SubsysLst::RemovePosition(int position, Uint16Le& armMask) {
    if (!InRange(position)) return -1;
    const int result = DeleteAt(position, true);
    if (result != 0 && Item(position) != 0) {
        // Declined: the schedule and its supervision stay.
        return result;
    }
    armMask &= static_cast<uint16_t>(~(1u << position));
    if (result != 0)
        files_.messages().ShowNotice(mz("\x03usunięcia danych o Wyłączeniach/Załączeniach"), kNoticeError);
    return result;
}

int SubsysLst::CopyToPosition(int source, int target) {
    const int result = CopyPosition(source, target);
    if (result != 0)
        files_.messages().ShowNotice(mz("\x03kopiowania danych o Wyłączeniach/Załączeniach"), kNoticeError);
    return result;
}

bool SubsysLst::TickPosition(int position, bool ticked, Uint16Le& armMask) {
    if (!InRange(position)) return false;
    const uint16_t bit = static_cast<uint16_t>(1u << position);
    if (ticked && Item(position) != 0) {
        armMask |= bit;
        return true;
    }
    armMask &= static_cast<uint16_t>(~bit);
    return false;
}

} // namespace k4
