#include "database/subsystem_in_place.h"

#include "database/field_text.h"
#include "database/lines_list.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <algorithm>
#include <cstring>

namespace k4 {

namespace {

template <size_t N>
bool sameText(const char (&field)[N], std::string_view text) {
    return fieldText(field) == text.substr(0, std::min(text.size(), N - 1));
}

bool storeConfirmed(Messages& messages) {
    return messages.AskYesNo(mz("\x03" "Dane zostały zmienione!\nZapisać je?")) == kResultYes;
}

// The record shown again as the file holds it; a buffer that cannot be read
// belongs to no record from then on.
void showAsStored(Base& list, int32_t offset) {
    if (offset == 0 || list.Read(offset) != 0) list.forgetRecord();
}

} // namespace

int StoreEditedSubsystem(LinesList& lines, int number, std::string_view description) {
    Messages& messages = lines.files().messages();
    const int32_t offset = lines.currentPosition();
    if (!lines.usable() || offset == 0) return -1;
    SubsystemRecord& record = lines.subsystem();
    const int oldNumber = record.no;
    if (oldNumber == number && sameText(record.line_desc, description)) return 0;
    if (!storeConfirmed(messages)) {
        showAsStored(lines, offset);
        return 1;
    }
    const bool moved = number != oldNumber;
    if (moved && (number < 0 || number >= kLineSlots || lines.Item(number) != 0)) {
        messages.ShowNotice(mz("\x03Podsystem o takim numerze już istnieje.\nZapis nie zostanie dokonany!"),
                            kNoticeInfo);
        showAsStored(lines, offset);
        return 1;
    }
    const Base::State before = lines.state();
    record.no = static_cast<uint8_t>(number);
    putFieldText(record.line_desc, description);
    if (lines.Rewrite() != 0) {
        messages.ShowNotice(mz("\x03zapisu podsystemu"), kNoticeError);
        lines.restore(before);
        return -1;
    }
    if (!moved) return 0;
    lines.Item(number) = offset;
    if (lines.Clear(oldNumber) != 0) {
        messages.ShowNotice(mz("\x03usunięcia numeru podsystemu"), kNoticeError);
        lines.Item(number) = 0;
        lines.Item(oldNumber) = offset;
    }
    lines.Recount();
    return 0;
}

int StoreEditedSector(LinesList& lines, SectorsList& sectors, int number, std::string_view type,
                      std::string_view description) {
    Messages& messages = lines.files().messages();
    const int32_t offset = sectors.currentPosition();
    if (!lines.usable() || lines.currentPosition() == 0 || offset == 0) return -1;
    SectorRecord& record = sectors.sector();
    const int oldNumber = record.no;
    if (oldNumber == number && sameText(record.type, type) && sameText(record.sector_desc, description)) return 0;
    if (!storeConfirmed(messages)) {
        showAsStored(sectors, offset);
        return 1;
    }
    const bool moved = number != oldNumber;
    if (moved && (number < 0 || number >= kSectorSlots || sectors.Item(number) != 0)) {
        messages.ShowNotice(mz("\x03Sektor o takim numerze już istnieje.\nZapis nie zostanie dokonany!"),
                            kNoticeInfo);
        showAsStored(sectors, offset);
        return 1;
    }
    const Base::State before = sectors.state();
    record.no = static_cast<int16_t>(number);
    putFieldText(record.type, type);
    putFieldText(record.sector_desc, description);
    if (sectors.Rewrite() != 0) {
        messages.ShowNotice(mz("\x03zapisu sektora"), kNoticeError);
        sectors.restore(before);
        return -1;
    }
    if (!moved) return 0;
    sectors.Item(number) = offset;
    if (sectors.Clear(oldNumber) != 0) {
        messages.ShowNotice(mz("\x03usunięcia numeru sektora"), kNoticeError);
        sectors.Item(number) = 0;
        sectors.Item(oldNumber) = offset;
        sectors.Recount();
        return -1;
    }
    // The subsystem's sector array changed: it is written too. When it
    // cannot be, the sector takes its old number back, on disk as in the
    // array, so "linie" and "sektory" keep agreeing.
    if (lines.Rewrite() != 0) {
        messages.ShowNotice(mz("\x03zapisu podsystemu"), kNoticeError);
        sectors.Item(oldNumber) = offset;
        sectors.Item(number) = 0;
        sectors.restore(before);
        if (sectors.Rewrite() != 0) messages.ShowNotice(mz("\x03zapisu sektora"), kNoticeError);
        sectors.Recount();
        return -1;
    }
    sectors.Recount();
    return 0;
}

} // namespace k4
