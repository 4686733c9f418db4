#include "processing/subscriber_sheet.h"

#include "database/field_text.h"
#include "database/lines_list.h"
#include "database/orders_table_list.h"
#include "database/persons_list.h"
#include "database/sbscrbr.h"
#include "database/stamp.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "printing/printing.h"
#include "processing/event_list.h"
#include "processing/event_printouts.h"
#include "processing/share_lst.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace k4 {

namespace {

const char* const kHashes = "####################";

// "NNNNN" as it is shown: "NN-NNN".
std::string postalCode(const char (&code)[6]) {
    std::string text = fieldText(code);
    if (text.size() > 2) text.insert(2, "-");
    return text;
}

int printHeader(Printing& p, const Clock& clock, int number) {
    const LocalDateTime now = localNow(clock);
    if (p.printLine(kDataChannel, "\r\n%4.4d.%02d.%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                    now.minute, now.second) < 0)
        return -1;
    return p.printLine(kDataChannel, "\r\n%s%10cDANE ABONENTA NR %4.4d%9c%s\r\n", kHashes, ' ', number, ' ', kHashes);
}

int printBasic(Printing& p, const SubscriberRecord& r) {
    if (p.printText(kDataChannel, "DANE PODSTAWOWE ABONENTA:\r\n") < 0) return -1;
    if (p.printLine(kDataChannel, mz("Abonent: %4.4d  Telefon: %-12.12s GSM: %-12.12s Hasło: %-12.12s\r\n").c_str(),
                    static_cast<int>(r.object), fieldText(r.tel).c_str(), fieldText(r.tel_gsm).c_str(),
                    fieldText(r.passwd).c_str()) < 0 ||
        p.printLine(kDataChannel, "Nazwa: %-30s\r\n", fieldText(r.name).c_str()) < 0 ||
        p.printLine(kDataChannel, mz("Miejscowość: %-20s    Kod: %-7.7s\r\n").c_str(), fieldText(r.town).c_str(),
                    postalCode(r.code).c_str()) < 0 ||
        p.printLine(kDataChannel, "Adres: %-30s\r\n", fieldText(r.address).c_str()) < 0 ||
        p.printLine(kDataChannel, "Tel. kontaktowe: %-12s %-12s\r\n", fieldText(r.contact1).c_str(),
                    fieldText(r.contact2).c_str()) < 0 ||
        p.printLine(kDataChannel, "Typ centralki: %-s\r\n", fieldText(r.central).c_str()) < 0 ||
        p.printLine(kDataChannel, mz("Ilość podsystemów: %2d Ilość sektorów: %2ld\r\n").c_str(),
                    static_cast<int>(r.line_nbr), static_cast<long>(static_cast<int32_t>(r.sector_nbr))) < 0)
        return -1;
    static const char* const kTracks[] = {"Komutowany", "Radiowy   ", "Sztywny   ",
                                          "GSM/GPRS  ", "ADEMCO    ", "Contact Id"};
    std::string tracks = "Tory: ";
    for (int bit = 0; bit < 6; ++bit)
        if (r.tracks & (1u << bit)) tracks += kTracks[bit];
    return p.printText(kDataChannel, tracks + "\r\n");
}

// The description cut at its line feeds, each piece indented by nine
// blanks; a rest without a line feed in pieces of at most 65 characters.
int printDescription(Printing& p, Sbscrbr& s) {
    if (p.printText(kDataChannel, "Opis obiektu:\r\n") < 0) return -1;
    if (s.record.desc != 0) {
        std::string text;
        if (s.ReadDescription(text) < 0) return -1;
        std::string_view rest = text;
        // A NUL in the chain ends the text as the printer would see it.
        if (const size_t nul = rest.find('\0'); nul != std::string_view::npos) rest = rest.substr(0, nul);
        while (!rest.empty()) {
            const size_t lf = rest.find('\n');
            if (lf != std::string_view::npos && lf < kPrintLineLimit - 16) {
                const std::string piece(rest.substr(0, lf + 1));
                if (p.printLine(kDataChannel, "%8c %-*.*s", ' ', static_cast<int>(piece.size()),
                                static_cast<int>(piece.size()), piece.c_str()) < 0)
                    return -1;
                rest.remove_prefix(lf + 1);
                continue;
            }
            const size_t end = std::min<size_t>(lf == std::string_view::npos ? rest.size() : lf, 65);
            const std::string piece(rest.substr(0, end));
            if (p.printLine(kDataChannel, "%8c %-65.65s\r\n", ' ', piece.c_str()) < 0) return -1;
            rest.remove_prefix(end);
        }
    }
    return p.printText(kDataChannel, "\r\n");
}

int printOptional(Printing& p, const SubscriberRecord& r) {
    if (p.printText(kDataChannel, "\r\nDANE OPCJONALNE ABONENTA:\r\n") < 0) return -1;
    if (p.printLine(kDataChannel, mz("Pełna nazwa: %-60.60s\r\n").c_str(), fieldText(r.full).c_str()) < 0) return -1;
    if (p.printLine(kDataChannel, mz("Data podłączenia: %-12.12s Numer księgowy: %-12.12s\r\n").c_str(),
                    fieldText(r.KVF_date).c_str(), fieldText(r.book_no).c_str()) < 0)
        return -1;
    return p.printLine(kDataChannel, mz("Numer umowy: %-12.12s  Umowa ważna od: %-12.12s do: %-12.12s\r\n").c_str(),
                       fieldText(r.contr_no).c_str(), fieldText(r.date_from).c_str(), fieldText(r.date_to).c_str());
}

int printEventList(Sbscrbr& s, const SheetParts& parts) {
    Printing& p = parts.printing;
    Messages& messages = s.database().messages();
    if (p.printText(kDataChannel, mz("\r\nLISTA ZDARZEŃ ABONENTA:\r\n")) < 0) return -1;
    Int32Le listId = s.record.alarm_list;
    const int slot = parts.sharedLists.slotOf(listId);
    std::string which;
    if (listId == 0) which = "standardowej";
    else if (slot > 0) which = parts.sharedLists.nameOf(slot);
    else which = mz("własnej");
    const std::string line = mz("Abonent używa listy ") + which + ".";
    if (p.printText(kDataChannel, line + "\r\n") < 0) return -1;
    if (messages.AskYesNo(line + "\n" + mz("Drukować tą listę zdarzeń?")) != kResultYes) return 0;
    AlarmsTableList list(s.database().file(DbFile::Alarmy), parts.events, messages, listId, slot > 0 ? slot : 0,
                         &parts.sharedLists);
    if (!list.loaded()) {
        messages.ShowNotice(mz("\x03odczytu listy zdarzeń"), kNoticeError);
        return -1;
    }
    return p.printListingLines(eventListPrintoutLines(list, parts.events, parts.config));
}

} // namespace

int PrintSheet(Sbscrbr& s, const SheetParts& parts) {
    Printing& p = parts.printing;
    Messages& messages = s.database().messages();
    SubscriberRecord& r = s.record;
    if (printHeader(p, parts.clock, r.object) < 0 || printBasic(p, r) < 0) return -1;
    messages.PollDuringWork();
    if (printDescription(p, s) < 0) return -1;
    messages.PollDuringWork();
    if (printOptional(p, r) < 0) return -1;
    messages.PollDuringWork();
    {
        PersonsList persons(s.database().files(), r.persons);
        if (persons.Print(p) < 0) return -1;
    }
    messages.PollDuringWork();
    {
        LinesList lines(s.database().files(), r.lines);
        if (lines.Print(p) < 0) return -1;
    }
    messages.PollDuringWork();
    if (printEventList(s, parts) < 0) return -1;
    messages.PollDuringWork();
    {
        // A copy: a legacy orders field is read as a set without touching
        // the subscriber being printed.
        uint8_t field[sizeof r.orders];
        std::memcpy(field, r.orders, sizeof field);
        OrdersTableList orders(s.database().files(), s.database().orderNames(), field);
        if (orders.Print(p) < 0) return -1;
    }
    return p.printLine(kDataChannel, "%s%s%s%s\r\n", kHashes, kHashes, kHashes, kHashes);
}

int printSubscriberSheet(Sbscrbr& subscriber, const SheetParts& parts) {
    if (parts.printing.beginDataPrint() != 0) return -1;
    PrintSheet(subscriber, parts);
    parts.printing.endDataPrint();
    return 0;
}

} // namespace k4
