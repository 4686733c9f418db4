// The printouts of a subscriber's persons, subsystems with their sectors and
// permitted orders: blocks of the subscriber's data sheet, printed into the
// listing job the caller opened.
#include "database/field_text.h"
#include "database/lines_list.h"
#include "database/order_names_table.h"
#include "database/orders_table_list.h"
#include "database/persons_list.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "printing/printing.h"

namespace k4 {

namespace {

constexpr size_t kDescriptionLine = 60;

// A description of more than 60 characters goes on with its 61st on a
// second line, indented under the first.
int printDescribed(Printing& printing, const std::string& head, const std::string& description) {
    if (printing.printLine(kDataChannel, "%s %-60.60s\r\n", head.c_str(), description.c_str()) < 0) return -1;
    if (description.size() <= kDescriptionLine) return 0;
    return printing.printLine(kDataChannel, "%12c %-39.39s\r\n", ' ', description.c_str() + kDescriptionLine);
}

} // namespace

int PersonsList::Print(Printing& printing) {
    if (printing.printText(kDataChannel, mz("\r\nLISTA POWIADOMIEŃ:\r\n")) < 0) return -1;
    if (printing.printText(kDataChannel,
                           mz("        Nazwisko                    Adres                Telefon        Hasło\r\n")) < 0)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        if (Item(i) == kPersonPlaceHolder) continue;
        if (!usable() || Read(Item(i)) != 0) {
            files_.messages().ShowNotice(mz("\x03pobrania osoby"), kNoticeError);
            return -1;
        }
        const PersonRecord& p = person();
        if (printing.printLine(kDataChannel, "%-29.29s %-25.25s %-12.12s %-10.10s\r\n", fieldText(p.name).c_str(),
                               fieldText(p.address).c_str(), fieldText(p.tel).c_str(),
                               fieldText(p.passwd).c_str()) < 0)
            return -1;
    }
    return 0;
}

int LinesList::Print(Printing& printing) {
    if (printing.printText(kDataChannel, mz("\r\nLISTA PODSYSTEMÓW:\r\n")) < 0) return -1;
    for (int i = 0; i < Count(); ++i) {
        if (ReadIndex(i) != 0) {
            files_.messages().ShowNotice(mz("\x03odczytu podsystemu"), kNoticeError);
            return -1;
        }
        char head[32];
        std::snprintf(head, sizeof head, "Podsystem %2.2d", SlotNumber(i));
        if (printDescribed(printing, head, fieldText(subsystem().line_desc)) < 0) return -1;
        SectorsList sectors(*this);
        for (int k = 0; k < sectors.Count(); ++k) {
            if (sectors.ReadIndex(k) != 0) {
                files_.messages().ShowNotice(mz("\x03odczytu sektora"), kNoticeError);
                return -1;
            }
            const SectorRecord& s = sectors.sector();
            std::snprintf(head, sizeof head, "  Sektor %2d %3.3s", sectors.SlotNumber(k), fieldText(s.type).c_str());
            if (printDescribed(printing, head, fieldText(s.sector_desc)) < 0) return -1;
        }
        files_.messages().PollDuringWork();
    }
    return 0;
}

int OrdersTableList::Print(Printing& printing) const {
    if (printing.printText(kDataChannel, mz("\r\nLISTA ROZKAZÓW ABONENTA:\r\n")) < 0) return -1;
    for (int i = 0; i < Count(); ++i) {
        const OrderNameRecord& order = RecordAt(i);
        if (printing.printLine(kDataChannel, "%2.2x %-60.60s\r\n", CodeAt(i), fieldText(order.name).c_str()) < 0)
            return -1;
    }
    return 0;
}

} // namespace k4
