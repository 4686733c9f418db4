#include "processing/event_text.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "processing/system_kinds.h"

#include <gtest/gtest.h>

#include <map>

namespace k4 {
namespace {

struct Names final : OperatorNames, OrderNames {
    std::optional<std::string> surnameOf(int number) override {
        if (number == 5) return mz("Kowalski");
        return std::nullopt;
    }
    std::string orderName(int code) override { return code == 3 ? mz("Odpowiedź na test użytkownika") : ""; }
};

struct Formatting : testing::Test {
    EventTable events;
    PathTypeTable pathTypes;
    Names names;
    EventFormatter formatter{events, pathTypes, &names, &names};
    Stamp when = 0;

    void SetUp() override {
        events.setRecords({});
        ASSERT_EQ(events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie - strefa wewnętrzna", 4), 0x130), 0);
        ASSERT_EQ(events.putEvent(makeEventDef(0x602, "TEST", "Test okresowy", 0), 0x602), 0);
        LocalDateTime t;
        t.year = 2026;
        t.month = 5;
        t.day = 7;
        t.hour = 9;
        t.minute = 3;
        t.second = 1;
        when = StampFromLocal(t);
    }

    HistoryEntry report(int subscriber, int subsystem, int sector, int code, int pathType, int base) const {
        HistoryEntry e{};
        e.time = when;
        e.subscriber = static_cast<int16_t>(subscriber);
        e.subsystem = static_cast<uint8_t>(subsystem);
        e.sector = static_cast<uint16_t>(sector);
        e.kind = static_cast<uint16_t>(code | (pathType << 12));
        e.code2 = static_cast<uint16_t>(code | (base << 12));
        return e;
    }
    HistoryEntry system(int kind, int value, int detail, int code, int extra) const {
        HistoryEntry e = systemEntry(kind, value, detail, code, extra, true);
        e.time = when;
        return e;
    }
    std::string line(const HistoryEntry& e) const { return Utf8FromMazovia(formatter.formatEvent(e)); }
};

const std::string kReportPrefix = "26.05.07 09:03:01 ";
const std::string kSystemPrefix = "26.05.07 09:03:01   ";

TEST_F(Formatting, ReportLines) {
    HistoryEntry blocked = report(1202, 1, 3, 0x130, 1, 0);
    blocked.flags = HistoryEntry::kEntryBlocked | 0x40;
    HistoryEntry blockedUnknown = report(12, 255, 4095 | kUnknownSubscriberMask, 0x130, 1, 2);
    blockedUnknown.flags = HistoryEntry::kEntryBlocked;
    HistoryEntry hexLast = report(0xBEEF, 93, 4095, 0x602, 6, 1);
    hexLast.flags = HistoryEntry::kEntryHexNumber | HistoryEntry::kEntryLastReport;
    HistoryEntry translated = report(40, 2, 17, 0x130, 0, 0);
    translated.code2 = 0x0E1; // the code the panel sent, before its list

    const std::pair<HistoryEntry, std::string> cases[] = {
        {report(12, 255, 4095, 0x130, 1, 2),
         kReportPrefix + "130-WLAMANIE 0012    130     Włamanie - strefa wewnętrznTR2"},
        {report(12, 0, 5, 0x130, 7, 0), kReportPrefix + "130-WLAMANIE 0012 00 130 005 Włamanie - strefa wewnętrzn??"},
        {blocked, kReportPrefix + "130-WLAMANIE 1202 01 130 003 Włamani# BLOKADA TR"},
        {blockedUnknown, kReportPrefix + "130-WLAMANIE 0012    130     # NIEZNANY ABONENT!        TR2"},
        {report(12, 1, 3 | kUnknownEventMask, 0x555, 2, 0),
         kReportPrefix + "555-         0012 01 555 003 # NIEZNANE ZDARZENIE!      TS"},
        {report(7, 9, 3 | kUnknownSubsystemMask | kUnknownSectorMask, 0x602, 3, 0),
         kReportPrefix + "602-TEST     0007 09 602 003 # NIEZNANY PODSYSTEM!      TA"},
        {report(7, 1, 300 | kUnknownSectorMask, 0x602, 4, 0),
         kReportPrefix + "602-TEST     0007 01 602 300 # NIEZNANY SEKTOR!         TC"},
        {hexLast, kReportPrefix + "602-TEST     BEEF 93 602     # OSTATNI MELDUNEK!        TE1"},
        {translated, kReportPrefix + "130-WLAMANIE 0040 02 0E1 017 Włamanie - strefa wewnętrznTK"},
    };
    for (const auto& [entry, expected] : cases) EXPECT_EQ(line(entry), expected);
}

TEST_F(Formatting, DemonstrationReportTakesItsCodeFromCode2) {
    HistoryEntry demo = report(5002, 11, 42, 0, 7, 0);
    demo.flags = HistoryEntry::kEntrySystem | 0x40;
    demo.kind = static_cast<uint16_t>(kDemonstrationKind | (7 << 12));
    demo.code2 = 0x130;
    EXPECT_EQ(line(demo), kReportPrefix + "TST-WLAMANIE 5002 11 130 042 Włamanie - strefa wewnętrzn??");
}

TEST_F(Formatting, SystemLines) {
    HistoryEntry sentAt = system(57, 0, 0, 0, 0);
    const Stamp sent = when - 181;
    sentAt.subscriber = static_cast<int16_t>(sent & 0xFFFF);
    sentAt.subsystem = static_cast<uint8_t>((sent >> 16) & 0xFF);
    sentAt.sector = static_cast<uint16_t>((sent >> 24) & 0xFF);
    sentAt.kind = static_cast<uint16_t>(57 | (0x4 << 12));
    sentAt.code2 = 15;

    const std::pair<HistoryEntry, std::string> cases[] = {
        {system(1, 13, 4, 2, ' '), "~Początek pracy Systemu ( wersja 4.2.13 )~"},
        {system(2, 13, 4, 2, 'b'), "~Koniec pracy Systemu   ( wersja 4.2.13b)~"},
        {system(6, 5, 0, 0, 0), "Operator Kowalski (5) rozpoczął pracę"},
        {system(6, 9, 0, 0, 0), "Operator 'nieznany' (9) rozpoczął pracę"},
        // Steps 1 and 3 of the alarm service ticked.
        {[&] { auto e = system(8, 1202, 1, 3, 0x05); e.code2 = static_cast<uint16_t>(e.code2 | 0x130); return e; }(),
         "Koniec obsługi alarmu 1202 01 130 003 - A_C_____"},
        {system(9, 1444, 3, 3, 0x12), "Wysł. do 1444 rozk 03 (03)- Odpowiedź na test użytkow TR2"},
        {system(10, 0, 0, 0, 0x21), "Linia OK w pakiecie " + std::string(33, ' ') + " TS1"},
        {system(18, 300, 0, 600, 0x11), "Zmieniono okres badań w torze TR z 300 na 600"},
        {[&] { auto e = system(20, 0xAAAA, 3, 5, 0x60); e.code2 = static_cast<uint16_t>(e.code2 | 2); return e; }(),
         "Wysłanie testu kom. 05 do bazy odb. 3 w TR TG "},
        {system(47, 1444, 3, 0x21, 0), "Potw. przesłania alarmu 1444 03 do bazy odb. 33"},
        {system(22, 0, 0, 0, 0x52), "Wyłączono badanie w torze TG2"},
        {system(26, 2025, 12, 31, 0), "Usunięto zdarzenia z historii do 2025.12.31"},
        {system(35, 4, 2, 0, 0), "Brak komunikacji z bazą odbiorczą 4 w TG"},
        {system(55, 2, 4, 'a', 0), "~Błąd programu 2 4 a~"},
        {sentAt, "Czas wysłania 26.05.07 09:00:00 (-15 min.) v"},
        {[&] { auto e = system(65, 12, 0, 0, 0); e.subsystem = 0x39; e.sector = 0x05; return e; }(),
         "Zmiana numeru abonenta z 0012 na 1337"},
        {system(250, 7, 3, 0, 0), "Nieistniejące zdarzenie 0007 03 000 000 (0FA)"},
        {system(302, 1444, 2, 0, 0), "Abonent 1444 został wcześniej uzbrojony w 02"},
    };
    for (const auto& [entry, expected] : cases) EXPECT_EQ(line(entry), kSystemPrefix + expected);
}

TEST_F(Formatting, IncompleteReportRawBytes) {
    auto raw = [&](uint8_t flags, std::initializer_list<uint8_t> bytes, int code2) {
        HistoryEntry e = system(67, 0, 0, 0, 0x10);
        e.flags = static_cast<uint8_t>(HistoryEntry::kEntrySystem | flags);
        auto* b = reinterpret_cast<uint8_t*>(&e);
        int at = 5;
        for (uint8_t v : bytes) b[at++] = v;
        e.code2 = static_cast<uint16_t>(code2);
        return e;
    };
    const std::pair<HistoryEntry, std::string> cases[] = {
        // Hex digits of the first `code` nibbles (code sits at offset 8).
        {raw(0x04, {0x12, 0x34, 0x56, 0x05, 0x00}, 2), "Niepełny meldunek   : 12345" + std::string(27, ' ') + "TR0"},
        // As many nibbles as the flags' high nibble says.
        {raw(0x34, {0xAB, 0xCD, 0xEF, 0x00, 0x00}, 3), "Niepełny meldunek   : ABC" + std::string(29, ' ') + "TR0"},
        // Characters, control bytes as x and two hex digits.
        {raw(0x04, {'1', '2', 0x07, '4', '5'}, 0), "Niepełny meldunek   : 12x0745" + std::string(25, ' ') + "TR0"},
        // No raw flag: the first four bytes as eight hex digits.
        {raw(0x00, {0x1A, 0x2B, 0x3C, 0x4D}, 1), "Niepełny meldunek cd: 1A2B3C4D" + std::string(24, ' ') + "TR0"},
    };
    for (const auto& [entry, expected] : cases) EXPECT_EQ(line(entry), kSystemPrefix + expected);

    // A count beyond the entry stops at its last byte.
    HistoryEntry greedy = raw(0xF4, {'A', 'B', 'C', 'D', 'E'}, 0x80);
    const std::string start = kSystemPrefix + "Niepełny meldunek   : ABCDEC";
    EXPECT_EQ(line(greedy).substr(0, start.size()), start);
    EXPECT_TRUE(line(greedy).find("x10€x00 ") != std::string::npos) << line(greedy); // 0x80 shows as the euro sign of CP1250
}

TEST_F(Formatting, WithoutAnEventTableNamesPrintEmpty) {
    EventTable none;
    EventFormatter bare(none, pathTypes);
    EXPECT_EQ(Utf8FromMazovia(bare.formatEvent(report(12, 1, 3, 0x130, 1, 0))),
              kReportPrefix + "130-         0012 01 130 003                            TR");
}

TEST_F(Formatting, SystemKindListSkipsKindsWithoutText) {
    std::map<int, std::string> byKind;
    for (const auto& l : systemKindLines(formatter)) byKind[l.kind] = Utf8FromMazovia(l.line);
    EXPECT_EQ(byKind.count(0), 0u);
    EXPECT_EQ(byKind.count(27), 0u);
    EXPECT_EQ(byKind.count(305), 0u);
    EXPECT_EQ(byKind.at(3), "003 Brak komunikacji z Bazą KVF16Z");
    EXPECT_EQ(byKind.at(0x12), "012 Zmieniono okres badań w torze TK z 0 na 0");
    EXPECT_EQ(byKind.at(304), "130 Błędnie uzbrojony abonent 0000 w 00");
    EXPECT_EQ(byKind.count(0x45), 1u);
}

} // namespace
} // namespace k4
