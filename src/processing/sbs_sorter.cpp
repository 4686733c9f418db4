#include "processing/sbs_sorter.h"

#include "database/codepage.h"
#include "database/opened_index.h"
#include "database/field_text.h"
#include "database/index_file.h"
#include "database/sbscrbr.h"
#include "database/stamp.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "printing/printing.h"
#include "processing/test_supervision.h"

#include <algorithm>
#include <cstdio>

namespace k4 {

namespace {

const char* const kHashes = "####################";

std::string postalCode(const char (&code)[6]) {
    std::string text = fieldText(code);
    if (text.size() > 2) text.insert(2, "-");
    return text;
}

int printNamesColumns(Printing& p, const SubscriberRecord& r, int columns) {
    int position = 34;
    if (columns & 0x10) {
        p.printLine(kDataChannel, " %-6.6s", testDisplay(r).c_str());
        position = 41;
    }
    if (columns & 0x01) {
        p.printLine(kDataChannel, " %-12.12s", fieldText(r.tel).c_str());
        position += 13;
    }
    if (columns & 0x02) {
        p.printLine(kDataChannel, " %-9.9s", fieldText(r.tel_gsm).c_str());
        position += 10;
    }
    if (columns & 0x04) {
        // The address gives way to the town when the line is already long.
        if (position < 57) {
            p.printLine(kDataChannel, " %-29.29s", fieldText(r.address).c_str());
            position += 30;
        } else {
            p.printLine(kDataChannel, " %-22.22s", fieldText(r.address).c_str());
            position += 23;
        }
    }
    if (columns & 0x08) {
        if (position <= 60) p.printLine(kDataChannel, " %-19.19s", fieldText(r.town).c_str());
        else if (position <= 64) p.printLine(kDataChannel, " %-15.15s", fieldText(r.town).c_str());
    }
    return p.printText(kDataChannel, "\r\n");
}

int printTestedPaths(Printing& p, const SubscriberRecord& r) {
    static const char* const kPaths[] = {"Komutow.", "Radiowy", "Sztywny", "GSM/GPRS"};
    std::string line = " Tory badania: ";
    for (int bit = 0; bit < 4; ++bit)
        if (r.tracks & (1u << bit)) line += std::string(kPaths[bit]) + " ";
    return p.printText(kDataChannel, line + "\r\n");
}

} // namespace

SbsSorter::SbsSorter(SubscriberIndexes& indexes, SubscriberDatabase& database) : indexes_(indexes), database_(database) {
    collect(kIndexNumber, {}, {}, 0, kNoFilter);
}

std::vector<int32_t> SbsSorter::offsets() const {
    std::vector<int32_t> out;
    out.reserve(entries_.size());
    for (int i = 0; i < count(); ++i) out.push_back(offset(i));
    return out;
}

void SbsSorter::collect(int index, std::string from, std::string to, int keyLength, uint16_t mask, bool mark) {
    Messages& messages = database_.messages();
    if (index < 0 || index >= kSubscriberIndexCount) {
        messages.ShowNotice(mz("\x03" "Błędny indeks wyszukiwania"), kNoticeInfo);
        index = kIndexNumber;
    }
    index_ = index;
    from_ = std::move(from);
    to_ = std::move(to);
    keyLength_ = keyLength;
    mask_ = mask;
    mark_ = mark;
    entries_.clear();
    if (mask == 0) return;

    OpenedIndex opened(database_.dataDir(), indexes_, index);
    if (!opened.ok()) {
        messages.ShowNotice(mz("\x03otwarcia indeksu"), kNoticeError);
        return;
    }
    IndexHandle& handle = *opened;
    IndexKey key;
    const bool ranged = keyLength_ > 0;
    int r = ranged ? handle.FindFrom(from_, key) : handle.First(key);
    if (!ranged && r != kIndexFound) {
        if (r != kIndexEnd && r != kIndexNotFound) messages.ShowNotice(mz("\x03ustawienia indeksu"), kNoticeError);
        return;
    }
    // The range end is compared over its own length only: "A".."B" keeps
    // every key beginning with B.
    const int n = std::min<int>(keyLength_, static_cast<int>(to_.size()));
    const uint32_t markByte = mark ? 0xFF000000u : 0u;
    for (; r == kIndexFound; r = handle.Next(key)) {
        if (ranged && CompareMazoviaN(key.text.c_str(), to_.c_str(), n) > 0) break;
        if (mask != kNoFilter) {
            Sbscrbr s(database_, AtOffset{key.value});
            if (!s.valid || !passesFilter(s.record, mask)) continue;
        }
        entries_.push_back((static_cast<uint32_t>(key.value) & 0x00FFFFFFu) | markByte);
        if (entries_.size() % 1000 == 0) messages.PollDuringWork();
    }
}

int printSubscriberListing(const std::vector<int32_t>& offsets, SubscriberDatabase& database, bool full, int layout,
                           ListingParts& parts) {
    Messages& messages = parts.messages;
    Printing& p = parts.printing;
    const int count = static_cast<int>(offsets.size());
    if (count >= 13) {
        char question[400];
        std::snprintf(question, sizeof question,
                      mz("Lista liczy %d abonentów.\nMożna ograniczyć listę przez sortowanie z zakresem.\n\n"
                         "Kontynuować wydruk?")
                          .c_str(),
                      count);
        if (messages.AskYesNo(question) != kResultYes) return 1;
    }
    int columns = 0;
    if (full && layout == kListingNames) {
        columns = parts.chooseColumns ? parts.chooseColumns() : 0;
        if (columns < 0) return 1;
    }
    if (p.beginDataPrint() != 0) return -1;
    const LocalDateTime now = localNow(parts.clock);
    p.printLine(kDataChannel, "\r\n%4.4d.%02d.%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour, now.minute,
                now.second);
    if (full)
        p.printLine(kDataChannel, mz("\r\n%s%13cLISTA ABONENTÓW%12c%s\r\n").c_str(), kHashes, ' ', ' ', kHashes);
    else
        p.printLine(kDataChannel, mz("\r\n%s%8cLISTA BADANYCH ABONENTÓW%8c%s\r\n").c_str(), kHashes, ' ', ' ',
                    kHashes);
    for (int i = 0; i < count; ++i) {
        Sbscrbr s(database, AtOffset{offsets[static_cast<size_t>(i)]});
        if (s.valid) {
            const SubscriberRecord& r = s.record;
            p.printLine(kDataChannel, "%4.4d %-29.29s", static_cast<int>(r.object), fieldText(r.name).c_str());
            if (!full) {
                printTestedPaths(p, r);
            } else if (layout == kListingNames) {
                printNamesColumns(p, r, columns);
            } else {
                p.printLine(kDataChannel, " %-12.12s %-9.9s %2.2d", fieldText(r.tel).c_str(),
                            fieldText(r.tel_gsm).c_str(), static_cast<int>(r.line_nbr));
                if (layout == kListingDense)
                    p.printLine(kDataChannel, " %-29.29s %7.7s %-19.19s\r\n", fieldText(r.address).c_str(),
                                postalCode(r.code).c_str(), fieldText(r.town).c_str());
                else
                    p.printLine(kDataChannel, "\r\n%17c%-29.29s %7.7s %-19.19s\r\n", ' ',
                                fieldText(r.address).c_str(), postalCode(r.code).c_str(), fieldText(r.town).c_str());
            }
        }
        if (i % 2 == 1) messages.PollDuringWork();
    }
    p.printLine(kDataChannel, "%s%s%s%s\r\n", kHashes, kHashes, kHashes, kHashes);
    p.endDataPrint();
    return 0;
}

} // namespace k4
