#include "processing/event_text.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/history_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

// printf into a line; a %c of byte 0 ends the text there, as on the printer.
std::string cf(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return std::string(buffer, ::strnlen(buffer, sizeof buffer));
}

// At least `width` digits of a non-negative value, as "%0*d" / "%0*X" give.
void digits(char* out, unsigned value, int width, unsigned base) {
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = "0123456789ABCDEF"[value % base];
        value /= base;
    } while (value != 0);
    while (n < width) reversed[n++] = '0';
    for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    out[n] = '\0';
}

int value16(const HistoryEntry& r) { return r.subscriber; }
int detail8(const HistoryEntry& r) { return r.subsystem; }
int code12(const HistoryEntry& r) { return r.sector & 0x0FFF; }
int code2of(const HistoryEntry& r) { return r.code2 & 0x0FFF; }
int kindHigh(const HistoryEntry& r) { return r.kind >> 12; }
int code2High(const HistoryEntry& r) { return r.code2 >> 12; }
// The extra byte of a system entry, from its two spare nibbles.
int extraByte(const HistoryEntry& r) { return (kindHigh(r) << 4) | code2High(r); }
// Bytes 5..8 read as one 32-bit value.
int32_t longValue(const HistoryEntry& r) {
    const auto* b = reinterpret_cast<const uint8_t*>(&r);
    return static_cast<int32_t>(static_cast<uint32_t>(b[5]) | (static_cast<uint32_t>(b[6]) << 8) |
                                (static_cast<uint32_t>(b[7]) << 16) | (static_cast<uint32_t>(b[8]) << 24));
}

std::string subscriberText(const HistoryEntry& r) {
    return (r.flags & HistoryEntry::kEntryHexNumber) ? cf("%4.4X", r.subscriber & 0xFFFF)
                                                     : cf("%4.4d", static_cast<int>(r.subscriber));
}
std::string subsystemText(const HistoryEntry& r) { return r.subsystem == 255 ? "  " : cf("%2.2d", r.subsystem); }
std::string sectorText(const HistoryEntry& r) { return code12(r) == 4095 ? "   " : cf("%3.3d", code12(r)); }

// Formats with Polish letters, in their stored form.
struct Texts {
    std::string start = mz("~Początek pracy Systemu ( wersja %d.%d.%d%c)~");
    std::string end = mz("~Koniec pracy Systemu   ( wersja %d.%d.%d%c)~");
    std::string noBase = mz("Brak komunikacji z Bazą KVF16Z");
    std::string intoSupervisor = mz("Wejście do 'Nadzoru'");
    std::string outOfSupervisor = mz("Wyjście z 'Nadzoru'");
    std::string operatorStart = mz("Operator %s (%d) rozpoczął pracę");
    std::string serviceStart = mz("Wejście w obsługę alarmu %s %s %3.3X %s");
    std::string serviceEnd = mz("Koniec obsługi alarmu %s %s %3.3X %s - %s");
    std::string orderSent = mz("Wysł. do %4.4d rozk %2.2X (%2.2X)- %-25.25s %s%d");
    std::string periodChanged = mz("Zmieniono okres badań w torze %s z %d na %d");
    std::string unblockedIncomplete = mz("Odblokowano niepełne %4.4d");
    std::string blockedIncomplete = mz("Zablokowano niepełne %4.4d");
    std::string testsChanged = mz("Zmiana Testów %4.4d");
    std::string forward[6] = {mz("Wysłanie"), mz("NIE wysłano"), mz("Test wysłania"),
                              mz("Niewysłany test"), mz("Brak potw. przesłania"), mz("Potw. przesłania")};
    std::string testsOn = mz("Włączono kontrolę testów w torze  %2.2s%d");
    std::string probeOn = mz("Włączono badanie w torze  %2.2s%d");
    std::string testsOff = mz("Wyłączono kontrolę testów w torze  %2.2s%d");
    std::string probeOff = mz("Wyłączono badanie w torze %2.2s%d");
    std::string deleted = mz("Usunięto abonenta %4.4d");
    std::string historyDeleted = mz("Usunięto zdarzenia z historii do %4.4d.%2.2d.%2.2d");
    std::string noReceivingBase = mz("Brak komunikacji z bazą odbiorczą %d");
    std::string userProbeOn = mz("Włączono badanie użytkownika  %4.4d w torze %2.2s");
    std::string userProbeOff = mz("Wyłączono badanie użytkownika %4.4d w torze %2.2s");
    std::string baseTestOn = mz("Włączono test komunikacji z bazą odbiorczą %d");
    std::string baseTestOff = mz("Wyłączono test komunikacji z bazą odbiorczą %d");
    std::string armingChanged = mz("Zmiana Wyłączeń/Załączeń %4.4d");
    std::string wrongPhone = mz("Błędny telefon - %ld %c");
    std::string wrongGsmPhone = mz("Błędny telefon GSM - %ld %c");
    std::string userProbeStarted = mz("Rozpoczęto badanie na żądanie użytkownika %4.4d w torze %2.2s");
    std::string programError = mz("~Błąd programu %d %x %c~");
    std::string numberChanged = mz("Zmiana numeru abonenta z %4.4d na %4.4d");
    std::string eventChanged = mz("Zmiana zdarzenia %3.3x w liście standardowej");
    std::string incomplete = mz("Niepełny meldunek %2s: %s %*c %2.2s%d");
    std::string incompleteHex = mz("Niepełny meldunek %2s: %8s %22c %2.2s%d");
    std::string userProbeMissing = mz("   BRAK  w badaniu na żądanie użytkownika %4.4d w torze %2.2s");
    std::string userProbeOk = mz("    OK   w badaniu na żądanie użytkownika %4.4d w torze %2.2s");
    std::string serviceConfirmed = mz("Potwierdzenie obsługi alarmu %s %s %3.3X %s %8c %s%d");
    std::string serviceTimedOut = mz("Upłynął czas obsługi alarmu %s %s %3.3X %s %9c %s%d");
    std::string armedEarly = mz("Abonent %4.4d został wcześniej uzbrojony w %2.2d");
    std::string wronglyArmed = mz("Błędnie uzbrojony abonent %4.4d w %2.2d");
    std::string unknownKind = mz("Nieistniejące zdarzenie %4.4d %2.2d %3.3X %3.3d (%3.3X)");
};

const Texts& texts() {
    static const Texts t;
    return t;
}

} // namespace

std::string eventLinePrefix(Stamp time) {
    const LocalDateTime t = LocalFromStamp(time);
    return cf("%2.2d.%02d.%02d %02d:%02d:%02d   ", twoDigitYear(t.year) % 100, t.month, t.day, t.hour, t.minute,
              t.second);
}

EventFormatter::EventFormatter(const EventTable& events, const PathTypeTable& pathTypes, OrderNames* orders,
                               OperatorNames* operators)
    : events_(events), pathTypes_(pathTypes), orders_(orders), operators_(operators) {}

std::string EventFormatter::pathName(const HistoryEntry& r) const {
    const int type = kindHigh(r);
    return type < 7 ? std::string(pathTypes_[type].name) : std::string("??");
}

std::string EventFormatter::orderName(int code) const { return orders_ ? orders_->orderName(code) : std::string(); }

std::string EventFormatter::formatEvent(const HistoryEntry& record, OperatorNames* operators) const {
    if (!record.isSystem()) return reportText(record, false);
    if (record.kindCode() == kDemonstrationKind) return reportText(record, true);
    return eventLinePrefix(record.time) + systemText(record, operators ? operators : operators_);
}

std::string EventFormatter::reportText(const HistoryEntry& r, bool demonstration) const {
    const int code = demonstration ? code2of(r) : r.kindCode();
    const EventDef* def = events_.findEvent(code);
    // The precisions stop inside the name fields even without their NUL.
    const char* shortName = def ? def->shortName : "";
    const char* fullName = def ? def->fullName : "";
    // The short fields by hand: they are most of the cost of a line.
    char path[16];
    const int type = kindHigh(r);
    const char* typeName = type < 7 ? pathTypes_[type].name : "??";
    path[0] = typeName[0];
    path[1] = typeName[0] ? typeName[1] : '\0';
    path[2] = '\0';
    if (code2High(r) >= 10) path[2] = '1', path[3] = static_cast<char>('0' + code2High(r) - 10), path[4] = '\0';
    else if (code2High(r) != 0) path[2] = static_cast<char>('0' + code2High(r)), path[3] = '\0';

    char subscriber[12];
    if (r.flags & HistoryEntry::kEntryHexNumber) digits(subscriber, r.subscriber & 0xFFFF, 4, 16);
    else if (r.subscriber >= 0) digits(subscriber, r.subscriber, 4, 10);
    else std::snprintf(subscriber, sizeof subscriber, "%4.4d", static_cast<int>(r.subscriber));
    char subsystem[8] = "  ";
    if (r.subsystem != 255) digits(subsystem, r.subsystem, r.subsystem >= 100 ? 3 : 2, 10);
    char sector[8] = "   ";
    if (code12(r) != 4095) digits(sector, code12(r), code12(r) >= 1000 ? 4 : 3, 10);

    // One format for the whole line: reports start two columns earlier than
    // system texts, over the last two blanks of the prefix.
    const LocalDateTime t = LocalFromStamp(r.time);
    const int year = twoDigitYear(t.year) % 100;
    std::string line =
        demonstration
            ? cf("%2.2d.%02d.%02d %02d:%02d:%02d TST-%-8.8s %s %s %3.3X %s %-27.27s%s", year, t.month, t.day, t.hour,
                 t.minute, t.second, shortName, subscriber, subsystem, code2of(r), sector, fullName, path)
            : cf("%2.2d.%02d.%02d %02d:%02d:%02d %3.3X-%-8.8s %s %s %3.3X %s %-27.27s%s", year, t.month, t.day,
                 t.hour, t.minute, t.second, code, shortName, subscriber, subsystem, code2of(r), sector, fullName,
                 path);

    constexpr size_t kFullNameColumn = 47;
    constexpr size_t kBlockadeColumn = 54;
    if (r.flags & HistoryEntry::kEntryBlocked)
        line = line.substr(0, kBlockadeColumn) + cf("%-10.10s%s", "# BLOKADA", path);

    const char* mark = nullptr;
    if (r.flags & HistoryEntry::kEntryLastReport) mark = "# OSTATNI MELDUNEK!";
    else if (r.sector & kUnknownSubscriberMask) mark = "# NIEZNANY ABONENT!";
    else if (r.sector & kUnknownEventMask) mark = "# NIEZNANE ZDARZENIE!";
    else if (r.sector & kUnknownSubsystemMask) mark = "# NIEZNANY PODSYSTEM!";
    else if (r.sector & kUnknownSectorMask) mark = "# NIEZNANY SEKTOR!";
    if (mark) line = line.substr(0, kFullNameColumn) + cf("%-27.27s%s", mark, path);
    return line;
}

std::string EventFormatter::systemText(const HistoryEntry& r, OperatorNames* operators) const {
    const Texts& t = texts();
    const int value = value16(r);
    const int detail = detail8(r);
    const int code = code12(r);
    const int code2 = code2of(r);
    const int base = code2High(r);
    const std::string path = pathName(r);
    const char* p = path.c_str();

    switch (r.kindCode()) {
    case 1:
    case 2: {
        const int letter = extraByte(r) == 0 ? ' ' : extraByte(r);
        return cf((r.kindCode() == 1 ? t.start : t.end).c_str(), detail, code, value, letter);
    }
    case 3: return t.noBase;
    case 4: return t.intoSupervisor;
    case 5: return t.outOfSupervisor;
    case 6: {
        std::optional<std::string> surname;
        if (operators) surname = operators->surnameOf(value);
        return cf(t.operatorStart.c_str(), surname ? surname->c_str() : "'nieznany'", value);
    }
    case 7:
        return cf(t.serviceStart.c_str(), subscriberText(r).c_str(), subsystemText(r).c_str(), code2,
                  sectorText(r).c_str());
    case 8: {
        // The steps the operator ticked: bit i is step 'A' + i.
        const int mask = extraByte(r);
        char steps[9] = {};
        for (int i = 0; i < 8; ++i) steps[i] = (mask & (1 << i)) ? static_cast<char>('A' + i) : '_';
        return cf(t.serviceEnd.c_str(), subscriberText(r).c_str(), subsystemText(r).c_str(), code2,
                  sectorText(r).c_str(), steps);
    }
    case 9: return cf(t.orderSent.c_str(), value, detail, code, orderName(detail).c_str(), p, base);
    case 10: return cf("Linia OK w pakiecie %33c %s%d", ' ', p, base);
    case 11: return cf("Brak linii telef. (%2.2X) w pakiecie %19c %s%d ", code2, ' ', p, base);
    case 12: return cf(t.unblockedIncomplete.c_str(), value);
    case 13: return cf("Odblokowano abonenta %4.4d", value);
    case 14: return cf("Odblokowano alarmy   %4.4d", value);
    case 15: return cf(t.blockedIncomplete.c_str(), value);
    case 16: return cf("Zablokowano abonenta %4.4d", value);
    case 17: return cf("Zablokowano alarmy   %4.4d", value);
    case 18: return cf(t.periodChanged.c_str(), p, value, code);
    case 19: return cf(mz("Zmieniono okres powt. badań w torze %s z %d na %d").c_str(), p, value, code);
    case 20:
    case 23:
    case 38:
    case 39:
    case 46:
    case 47: {
        const int which = r.kindCode() == 20 ? 0 : r.kindCode() == 23 ? 1 : r.kindCode() == 38 ? 2
                        : r.kindCode() == 39 ? 3 : r.kindCode() == 46 ? 4 : 5;
        std::string text = t.forward[which];
        if ((value & 0xFFFF) == 0xAAAA) text += " testu kom.";
        else if (r.flags & HistoryEntry::kEntryHexNumber) text += cf(" alarmu %4.4X", value & 0xFFFF);
        else text += cf(" alarmu %4.4d", value);
        text += code2 != 0 ? cf(" %2.2X do bazy odb. %d", code, detail) : cf(" %2.2X do bazy odb. %d", detail, code);
        if (code2 == 2) {
            text += " w ";
            const int paths = kindHigh(r);
            if (paths & 0x1) text += "RS ";
            if (paths & 0x2) text += "TR ";
            if (paths & 0x4) text += "TG ";
            if (paths & 0x8) text += "TE ";
        }
        return text;
    }
    case 21: return cf((value != 0 ? t.testsOn : t.probeOn).c_str(), p, base);
    case 22: return cf((value != 0 ? t.testsOff : t.probeOff).c_str(), p, base);
    case 24: return cf("Zapisano abonenta %4.4d", value);
    case 25: return cf(t.deleted.c_str(), value);
    case 26: return cf(t.historyDeleted.c_str(), value, detail, code);
    case 35: {
        std::string text = cf(t.noReceivingBase.c_str(), value);
        if (detail == 1) text += " w TR";
        else if (detail == 2) text += " w TG";
        else if (detail == 3) text += " w TE";
        return text;
    }
    case 36: return cf(t.userProbeOn.c_str(), value, p);
    case 37: return cf(t.userProbeOff.c_str(), value, p);
    case 40: return cf(t.testsChanged.c_str(), value);
    case 41: return cf(t.baseTestOn.c_str(), value);
    case 42: return cf(t.baseTestOff.c_str(), value);
    case 43:
        return cf(code2 != 0 ? "Niezapisany telefon - %ld %c" : "Niezapisany telefon GSM - %ld %c",
                  static_cast<long>(longValue(r)), 'v');
    case 44: return cf(t.armingChanged.c_str(), value);
    case 45:
        return cf((code2 != 0 ? t.wrongPhone : t.wrongGsmPhone).c_str(), static_cast<long>(longValue(r)), 'v');
    case 51: return cf(t.userProbeStarted.c_str(), value, p);
    case 55: return cf(t.programError.c_str(), value, detail, code & 0xFF);
    case 56: return cf("%4.4d potwierdza rozkaz %2.2X - %-25.25s %s%d", value, detail, orderName(detail).c_str(), p, base);
    case 57: {
        const LocalDateTime sent = LocalFromStamp(longValue(r));
        std::string shift;
        if (kindHigh(r) & 0x1) shift = ">68 godz.";
        else if (kindHigh(r) & 0x2) shift = ">-68 godz.";
        else shift = cf("%d min.", (kindHigh(r) & 0x4) ? -code2 : code2);
        return cf(mz("Czas wysłania %2.2d.%02d.%02d %02d:%02d:%02d (%s) %c").c_str(), twoDigitYear(sent.year) % 100,
                  sent.month, sent.day, sent.hour, sent.minute, sent.second, shift.c_str(), 'v');
    }
    case 65: {
        const auto* b = reinterpret_cast<const uint8_t*>(&r);
        const int newNumber = static_cast<int16_t>(b[7] | (b[8] << 8));
        return cf(t.numberChanged.c_str(), value, newNumber);
    }
    case 66: return cf(t.eventChanged.c_str(), value);
    case 67: return incompleteReportText(r);
    case 68: return cf((detail != 0 ? t.userProbeMissing : t.userProbeOk).c_str(), value, p);
    case 70: return cf("Zdalnie edytowano abonenta %4.4d", value);
    case 71: return cf(mz("Wejście do edycji abonenta %4.4d").c_str(), value);
    case 72:
        return cf(t.serviceConfirmed.c_str(), subscriberText(r).c_str(), subsystemText(r).c_str(), code2,
                  sectorText(r).c_str(), ' ', p, base);
    case 73:
        return cf(t.serviceTimedOut.c_str(), subscriberText(r).c_str(), subsystemText(r).c_str(), code2,
                  sectorText(r).c_str(), ' ', p, base);
    case 240: return cf("~Zmiana numeru pliku events na %d~", value);
    case 302: return cf(t.armedEarly.c_str(), value, detail);
    case 303: return cf("Nie rozbrojony abonent %4.4d w %2.2d", value, detail);
    case 304: return cf(t.wronglyArmed.c_str(), value, detail);
    default: return cf(t.unknownKind.c_str(), value, detail, code2, code, r.kindCode());
    }
}

std::string EventFormatter::incompleteReportText(const HistoryEntry& r) const {
    const Texts& t = texts();
    const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
    // The raw bytes begin at offset 5 and can run to the end of the entry,
    // never beyond it, whatever count the entry claims.
    constexpr int kRawStart = 5;
    constexpr int kRawBytes = static_cast<int>(kHistoryEntrySize) - kRawStart;
    const int code = code12(r);
    const int code2 = code2of(r);
    const char* cd = code2 == 1 ? "cd" : "  ";
    const std::string path = pathName(r);
    const int base = code2High(r);

    if (!(r.flags & HistoryEntry::kEntryHexNumber)) {
        const std::string hex = cf("%02X%02X%02X%02X", bytes[5], bytes[6], bytes[7], bytes[8]);
        return cf(t.incompleteHex.c_str(), cd, hex.c_str(), ' ', path.c_str(), base);
    }

    std::string text;
    auto nibble = [&](int i) { // high nibble first, as the digits were received
        const uint8_t b = bytes[kRawStart + i / 2];
        return (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
    };
    if (code2 == 2 || code2 == 3) {
        const int wanted = code2 == 2 ? code : (r.flags >> 4);
        const int n = std::min(wanted, kRawBytes * 2);
        for (int i = 0; i < n; ++i) text += "0123456789ABCDEF"[nibble(i)];
    } else {
        const int wanted = (code2 & 0x80) ? (r.flags >> 4) : 5;
        const int n = std::min(wanted, kRawBytes);
        for (int i = 0; i < n; ++i) {
            const uint8_t b = bytes[kRawStart + i];
            if (b < 32) text += cf("x%02X", b);
            else text += static_cast<char>(b);
        }
    }
    const int width = std::max(1, 30 - static_cast<int>(text.size()));
    return cf(t.incomplete.c_str(), cd, text.c_str(), width, ' ', path.c_str(), base);
}

} // namespace k4
