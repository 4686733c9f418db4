#include "processing/event_dialog_ops.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <cstdio>
#include <cstdlib>

namespace k4 {

namespace {

// A hexadecimal code 1..4094, or 0.
int hexCode(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 16);
    if (*end != '\0' || v < kFirstEventCode || v > kLastEventCode) return 0;
    return static_cast<int>(v);
}

// Writes the table; on failure the table goes back to what is stored.
int saveOrUndo(EventTable& table, const EventTable& before, const DataDir& dir, Messages& messages) {
    if (table.saveEventTable(dir, messages) == 0) return 0;
    table = before;
    return -1;
}

} // namespace

int storeEventDefinition(EventTable& table, const DataDir& dir, Messages& messages, int oldCode,
                         const std::string& numberText, EventDef def) {
    const int code = hexCode(numberText);
    if (code == 0) {
        messages.ShowNotice(mz("\x03Numer zdarzenia spoza zakresu"), kNoticeInfo);
        return 1;
    }
    if (code != oldCode && table.recordOf(code) != 0 &&
        messages.AskYesNo(mz("\x03Zdarzenie o podanym kodzie juz istnieje.\n Zastąpic go aktualnie wpisanym?")) !=
            kResultYes)
        return 1;
    const EventTable before = table;
    if (oldCode != 0 && code != oldCode) table.deleteEvent(oldCode);
    def.code = static_cast<uint16_t>(code);
    if (table.putEvent(def, code) != 0) {
        table = before;
        messages.ShowNotice(mz("\x03" "dodania zdarzenia"), kNoticeError);
        return -1;
    }
    return saveOrUndo(table, before, dir, messages);
}

int removeEventDefinition(EventTable& table, const DataDir& dir, Messages& messages, int code) {
    char question[64];
    std::snprintf(question, sizeof question, "\x03Usunąć zdarzenie %3.3X ?", code);
    if (messages.AskYesNo(mz(question)) != kResultYes) return 1;
    const EventTable before = table;
    if (table.deleteEvent(code) != 0) {
        messages.ShowNotice(mz("\x03usunięcia zdarzenia"), kNoticeError);
        return -1;
    }
    return saveOrUndo(table, before, dir, messages);
}

const std::array<const char*, 10> kSpecialCodeCaptions = {
    "BRAK TESTU",        "ZAŁ. PRZED CZASEM", "BRAK ZAŁĄCZENIA",     "TEST UŻYTKOWNIKA", "ODP. NA BADANIE",
    "TEST OKRESOWY     *", "TEST ZAŁĄCZENIOWY *", "BRAK ODP. NA T.M.", "BŁĘDNE WYŁĄCZENIE", "LICZNIK ALARMÓW",
};

std::string specialCodeLine(int i, int code, const EventTable& events) {
    const std::string caption = mz(kSpecialCodeCaptions[static_cast<size_t>(i)]);
    if (code == 0) return caption;
    const EventDef* def = events.findEvent(code);
    const std::string shortName = def ? def->shortText() : std::string();
    char line[96];
    std::snprintf(line, sizeof line, "%-19.19s:    %03X - %-8.8s", caption.c_str(), code, shortName.c_str());
    return line;
}

int setSpecialCode(Config& config, Messages& messages, int i, int code) {
    ConfigBlock& block = config.block();
    const int held = block.special_codes[static_cast<size_t>(i)];
    if (held != 0) {
        char question[48];
        std::snprintf(question, sizeof question, "\x03Usunąć test %X?", held);
        if (messages.AskYesNo(mz(question)) != kResultYes) return 1;
    }
    block.special_codes[static_cast<size_t>(i)] = static_cast<int16_t>(code);
    if (config.SaveConfig(1) != 0) {
        block.special_codes[static_cast<size_t>(i)] = static_cast<int16_t>(held);
        messages.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
        return -1;
    }
    return 0;
}

int storeListEntry(AlarmsTableList& list, Messages& messages, int oldObjCode, const ListEntryInput& input) {
    const int obj = hexCode(input.objText);
    if (obj == 0) {
        messages.ShowNotice(mz("\x03Kod zdarzenia spoza zakresu"), kNoticeInfo);
        return 1;
    }
    const int std = hexCode(input.stdText);
    if (std == 0) {
        messages.ShowNotice(mz("\x03Numer zdarzenia spoza zakresu"), kNoticeInfo);
        return 1;
    }
    int sector = 4095;
    bool sectorOverride = false;
    if (input.sector == SectorChoice::None) {
        sectorOverride = true;
    } else if (input.sector == SectorChoice::Own) {
        sectorOverride = true;
        char* end = nullptr;
        const long v = std::strtol(input.sectorText.c_str(), &end, 10);
        sector = input.sectorText.empty() || *end != '\0' || v < 0 || v > 999 ? 4095 : static_cast<int>(v);
    }
    const bool colourOverride = input.colour == ColourChoice::Own;
    const LUT_ENTRY entry =
        LUT_ENTRY::make(obj, std, colourOverride ? input.colourClass & 0x0F : 0, colourOverride, sector, sectorOverride);
    return list.putEntry(entry, oldObjCode) == 0 ? 0 : -1;
}

} // namespace k4
