#include "database/subsystem_editing.h"

#include "database/field_text.h"
#include "database/lines_list.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <algorithm>
#include <cstring>

namespace k4 {

namespace {

bool replaceConfirmed(Messages& messages, const char* what) {
    return messages.AskYesNo(mz(std::string("\x03") + what + "\nZastąpić go aktualnie wpisanym?")) == kResultYes;
}

} // namespace

int NewSubsystem(LinesList& lines, int number, std::string_view description, int copyFrom) {
    Messages& messages = lines.files().messages();
    if (!lines.usable()) return -1;
    if (lines.Count() >= kLineSlots) {
        messages.ShowNotice(mz("\x03Lista jest pełna"), kNoticeInfo);
        return 1;
    }
    if (number < 0 || number >= kLineSlots) {
        messages.ShowNotice(mz("\x03Liczba poza dozwolonym zakresem (0 - 99)"), kNoticeInfo);
        return 1;
    }
    const int32_t old = lines.Item(number);
    if (old != 0 && !replaceConfirmed(messages, "Podsystem o podanym numerze już istnieje.")) return 1;

    // The new record is built first, so copying the sectors of the very
    // subsystem being replaced works, and a failed copy leaves the old one
    // in place. It is built in the list's buffer, which belongs to the
    // subsystem selected before: a failure gives that one back its buffer.
    const Base::State before = lines.state();
    auto failed = [&] {
        lines.restore(before);
        return -1;
    };
    SectorsList copies(lines);
    if (copyFrom >= 0) {
        const int source = lines.Find(copyFrom);
        if (source < 0) {
            messages.ShowNotice(mz("\x03Podsystem, z którego mają być skopiowane sektory, nie istnieje"),
                                kNoticeInfo);
            return 1;
        }
        if (lines.ReadIndex(source) != 0) {
            messages.ShowNotice(mz("\x03odczytu podsystemu"), kNoticeError);
            return failed();
        }
        copies.Recount();
        if (copies.CopyTo(lines.sectorsFile()) != 0) return failed();
    } else {
        lines.clearBuffer();
    }
    SubsystemRecord& record = lines.subsystem();
    record.no = static_cast<uint8_t>(number);
    putFieldText(record.line_desc, description);

    int32_t added = 0;
    if (lines.Append(added) != 0) {
        messages.ShowNotice(mz("\x03zapisu podsystemu"), kNoticeError);
        // The sector copies belong to no one now.
        RecordFile& sectors = lines.sectorsFile();
        for (Int32Le& sector : record.sectors)
            if (sector != 0 && copyFrom >= 0) sectors.FreeRecord(sector);
        return failed();
    }
    lines.Item(number) = added;
    int result = 0;
    if (old != 0 && lines.DeleteSubsystem(old) != 0) result = -1;
    lines.Recount();
    lines.Read(added); // the new subsystem stays selected
    return result;
}

int DeleteSubsystemEntry(LinesList& lines, int listIndex) {
    Messages& messages = lines.files().messages();
    if (!lines.usable() || listIndex < 0 || listIndex >= lines.Count()) return -1;
    if (messages.AskYesNo(mz("\x03Wszelkie dane podsystemu (wraz z informacją o sektorach) zostaną usunięte!")) !=
        kResultYes)
        return 1;
    const int number = lines.SlotNumber(listIndex);
    const int32_t old = lines.Item(number);
    if (lines.Clear(number) != 0) {
        messages.ShowNotice(mz("\x03usunięcia numeru podsystemu"), kNoticeError);
        return -1;
    }
    lines.Recount();
    // The removal reads the old record into the buffer. Afterwards the
    // buffer is the selected subsystem's again, or nobody's when that was
    // the one removed: it must never keep the positions of a record gone
    // from the list, whatever the removal came to.
    const Base::State before = lines.state();
    const int result = lines.DeleteSubsystem(old) == 0 ? 0 : -1;
    if (before.current == old || before.current == 0) lines.forgetRecord();
    else lines.restore(before);
    return result;
}

int NewSector(LinesList& lines, SectorsList& sectors, int number, std::string_view type,
              std::string_view description) {
    Messages& messages = lines.files().messages();
    if (!lines.usable() || lines.currentPosition() == 0) return -1;
    if (number < 0 || number >= kSectorSlots) {
        messages.ShowNotice(mz("\x03Liczba poza dozwolonym zakresem (0 - 511)"), kNoticeInfo);
        return 1;
    }
    const int32_t old = sectors.Item(number);
    if (old != 0 && !replaceConfirmed(messages, "Sektor o podanym numerze już istnieje.")) return 1;

    const Base::State before = sectors.state();
    sectors.clearBuffer();
    SectorRecord& record = sectors.sector();
    record.no = static_cast<int16_t>(number);
    putFieldText(record.type, type);
    putFieldText(record.sector_desc, description);
    int32_t added = 0;
    if (sectors.Append(added) != 0) {
        messages.ShowNotice(mz("\x03zapisu sektora"), kNoticeError);
        sectors.restore(before);
        return -1;
    }
    // The subsystem names the new sector on disk before the old one is
    // freed.
    sectors.Item(number) = added;
    if (lines.Rewrite() != 0) {
        messages.ShowNotice(mz("\x03zapisu podsystemu"), kNoticeError);
        sectors.Item(number) = old;
        lines.sectorsFile().FreeRecord(added);
        sectors.Recount();
        sectors.restore(before);
        return -1;
    }
    sectors.Recount();
    if (old != 0 && sectors.Delete(old) != 0) {
        messages.ShowNotice(mz("\x03usunięcia sektora"), kNoticeError);
        return -1;
    }
    return 0;
}

int DeleteSectorEntry(LinesList& lines, SectorsList& sectors, int listIndex) {
    Messages& messages = lines.files().messages();
    if (!lines.usable() || lines.currentPosition() == 0 || listIndex < 0 || listIndex >= sectors.Count())
        return -1;
    if (messages.AskYesNo(mz("\x03" "Dane o sektorze zostaną usunięte!")) != kResultYes) return 1;
    const int number = sectors.SlotNumber(listIndex);
    const int32_t old = sectors.Item(number);
    if (sectors.Clear(number) != 0) {
        messages.ShowNotice(mz("\x03usunięcia numeru sektora"), kNoticeError);
        return -1;
    }
    // The subsystem lets go of the sector on disk before it is freed.
    if (lines.Rewrite() != 0) {
        messages.ShowNotice(mz("\x03zapisu podsystemu"), kNoticeError);
        sectors.Item(number) = old;
        sectors.Recount();
        return -1;
    }
    sectors.Recount();
    // A buffer that held the removed sector belongs to nobody now.
    if (sectors.currentPosition() == old) sectors.forgetRecord();
    if (sectors.Delete(old) != 0) {
        messages.ShowNotice(mz("\x03usunięcia sektora"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
