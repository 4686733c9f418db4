// The subscriber printouts on the data printer, over a small database and a
// spooler that keeps the bytes of every job: the data sheet with every block
// it names, and the subscriber listings in their layouts, ranges and filter.
#include "processing_station.h"

#include "database/order_names_table.h"
#include "database/persons_list.h"
#include "database/stamp.h"
#include "processing/test_supervision.h"
#include "database/text_edge.h"
#include "platform/print_spooler.h"
#include "printing/printing.h"
#include "processing/sbs_sorter.h"
#include "processing/subscriber_list_line.h"
#include "processing/subscriber_sheet.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

std::string sp(int n) { return std::string(static_cast<size_t>(n), ' '); }

// One printer; each finished job's bytes in order.
class KeptJobs final : public PrintSpooler {
public:
    std::vector<std::string> jobs;
    std::vector<std::string> printers() override { return {"Listy"}; }
    std::unique_ptr<RawPrintJob> openRaw(const std::string&, std::string*) override {
        struct Job final : RawPrintJob {
            KeptJobs& owner;
            std::string bytes;
            explicit Job(KeptJobs& o) : owner(o) {}
            bool write(std::string_view b) override {
                bytes += b;
                return true;
            }
            bool finish(std::string*) override {
                owner.jobs.push_back(bytes);
                return true;
            }
        };
        return std::make_unique<Job>(*this);
    }
};

struct PrintoutsTest : ::testing::Test {
    test::ProcessingStation st;
    KeptJobs spooler;
    Printing printing{st.config, spooler, st.messages, st.data};
    ListingParts listing{printing, st.messages, st.clock, [this] { return columns; }};
    int columns = 0;

    void SetUp() override {
        st.config.report_printer = 1; // Mazovia listings: the bytes are the stored text
        st.clock.setUnixTime(UnixFromStamp(StampFromLocal({2026, 3, 14, 9, 5, 7})));
    }
    // The one listing job, as UTF-8 text.
    std::string listed() {
        EXPECT_EQ(spooler.jobs.size(), 1u);
        return spooler.jobs.empty() ? std::string() : Utf8FromMazovia(spooler.jobs.back());
    }
    int32_t person(const char* name, const char* tel) {
        OnDemandFile osoby(st.db.files(), DbFile::Osoby, "");
        PersonRecord p{};
        std::snprintf(p.name, sizeof p.name, "%s", name);
        std::snprintf(p.address, sizeof p.address, "Polna 1");
        std::snprintf(p.tel, sizeof p.tel, "%s", tel);
        std::snprintf(p.passwd, sizeof p.passwd, "haslo");
        int32_t at = 0;
        EXPECT_EQ(osoby.file().AppendRecord(at, &p), 0);
        return at;
    }
};

TEST_F(PrintoutsTest, TheDataSheetPrintsEveryBlockInOneListing) {
    ASSERT_EQ(st.db.orderNames().Load(), 0);
    ASSERT_EQ(st.db.orderNames().StoreOrder(0, 3, mz("Otwórz bramę")), 0);
    const int32_t list = st.ownList({LUT_ENTRY::make(0x031, 0x130)});
    const int32_t a = person("Nowak Jan", "600100200");
    const int32_t b = person("Kowalska Anna", "600300400");
    const std::string longDescription = std::string(60, 'x') + "YZ";
    st.addSubscriber(120, [&](SubscriberRecord& r) {
        std::snprintf(r.town, sizeof r.town, "%s", mz("Łódź").c_str());
        std::snprintf(r.code, sizeof r.code, "90123");
        std::snprintf(r.tel, sizeof r.tel, "421234567");
        r.tracks = kTrackDialUp | kTrackGsm;
        r.persons[0] = a;
        r.persons[1] = kPersonPlaceHolder;
        r.persons[2] = b;
        r.alarm_list = list;
        // The legacy orders form: order 3 permitted.
        std::memset(r.orders, 0, sizeof r.orders);
        r.orders[0] = 3;
    });
    {
        OnDemandFile linie(st.db.files(), DbFile::Linie, "");
        Sbscrbr s(st.db, ByNumber{120});
        SubsystemRecord line{};
        ASSERT_EQ(linie.file().ReadRecord(s.record.lines[1], &line), 0);
        std::snprintf(line.line_desc, sizeof line.line_desc, "%s", longDescription.c_str());
        ASSERT_EQ(linie.file().WriteRecord(s.record.lines[1], &line), 0);
        OnDemandFile opis(st.db.files(), DbFile::Opis, "");
        const std::string text = "Brama od ulicy\nKlucz u sąsiada " + std::string(70, 'k');
        const std::string stored = mz(text);
        int32_t first = 0;
        ASSERT_EQ(opis.file().WriteChain(first, stored.data(), static_cast<int>(stored.size())), 0);
        s.record.desc = first;
        ASSERT_EQ(s.Save(), 0);
    }
    st.ui.answers = {BoxAnswer::Yes}; // "Drukować tą listę zdarzeń?"
    Sbscrbr s(st.db, ByNumber{120});
    const SheetParts parts{printing, st.clock, st.events, st.shared, st.config};
    ASSERT_EQ(printSubscriberSheet(s, parts), 0);
    const std::string out = listed();

    const std::string hashes(20, '#');
    EXPECT_EQ(out.rfind("\r\n2026.03.14 09:05:07\r\n" + hashes + sp(10) + "DANE ABONENTA NR 0120" + sp(9) + hashes +
                            "\r\nDANE PODSTAWOWE ABONENTA:\r\n",
                        0),
              0u)
        << out;
    for (const std::string& line : {
             "Abonent: 0120  Telefon: 421234567" + sp(4) + "GSM:" + sp(14) + "Hasło:" + sp(13) + "\r\n",
             "Miejscowość: Łódź" + sp(20) + "Kod: 90-123 \r\n",
             std::string("Tory: KomutowanyGSM/GPRS  \r\n"),
             std::string("Opis obiektu:\r\n         Brama od ulicy\n         Klucz u sąsiada kkkkkk"),
             "\r\nLISTA POWIADOMIEŃ:\r\n        Nazwisko                    Adres                Telefon        "
             "Hasło\r\nNowak Jan" + sp(21) + "Polna 1" + sp(19) + "600100200" + sp(4) + "haslo" + sp(5) +
                 "\r\nKowalska Anna ",
             std::string("\r\nLISTA PODSYSTEMÓW:\r\nPodsystem 01 " + std::string(60, 'x') + "\r\n" +
                         std::string(12, ' ') + " YZ" + std::string(37, ' ') + "\r\n  Sektor  5     "),
             std::string("\r\nLISTA ZDARZEŃ ABONENTA:\r\nAbonent używa listy własnej.\r\n031 (130) WLAMANIE Włamanie"),
             std::string("\r\nLISTA ROZKAZÓW ABONENTA:\r\n03 Otwórz bramę"),
         })
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n---\n" << out;
    EXPECT_EQ(out.substr(out.size() - 82), std::string(80, '#') + "\r\n");
    // The question named the list, and the place-holder printed nothing.
    ASSERT_FALSE(st.ui.boxes.empty());
    EXPECT_EQ(st.ui.boxes.back().text, "Abonent używa listy własnej.\nDrukować tą listę zdarzeń?");
    EXPECT_EQ(out.find("Kowalska Anna") - out.find("Nowak Jan"), 81u);
}

TEST_F(PrintoutsTest, NoToTheEventListLeavesItOutAndNoDataPrinterPrintsNothing) {
    st.addSubscriber(7);
    st.ui.answers = {BoxAnswer::No};
    Sbscrbr s(st.db, ByNumber{7});
    const SheetParts parts{printing, st.clock, st.events, st.shared, st.config};
    ASSERT_EQ(printSubscriberSheet(s, parts), 0);
    const std::string out = listed();
    EXPECT_NE(out.find("Abonent używa listy standardowej.\r\n\r\nLISTA ROZKAZÓW ABONENTA:\r\n####"), std::string::npos)
        << out;
    st.config.report_printer = 0;
    EXPECT_EQ(printSubscriberSheet(s, parts), -1);
    EXPECT_EQ(spooler.jobs.size(), 1u);
}

TEST_F(PrintoutsTest, TheThreeLayoutsOfTheSubscriberList) {
    st.addSubscriber(12, [](SubscriberRecord& r) {
        std::snprintf(r.tel, sizeof r.tel, "221112233");
        std::snprintf(r.address, sizeof r.address, "%s", mz("Długa 5").c_str());
        std::snprintf(r.town, sizeof r.town, "Warszawa");
        std::snprintf(r.code, sizeof r.code, "00950");
        r.line_nbr = 2;
    });
    SbsSorter sorter(st.indexes, st.db);
    ASSERT_EQ(sorter.count(), 1);
    const std::string hashes(20, '#');
    const std::string head = "\r\n2026.03.14 09:05:07\r\n" + hashes + sp(13) + "LISTA ABONENTÓW" + sp(12) + hashes +
                             "\r\n0012 Abonent 12" + sp(19);
    Sbscrbr s(st.db, ByNumber{12});
    const std::string tests = testDisplay(s.record);
    const std::string end = std::string(80, '#') + "\r\n";
    struct Case {
        int layout;
        int columns;
        std::string line;
    };
    for (const Case& c : std::initializer_list<Case>{
             {kListingNormal, 0, " 221112233" + sp(14) + "02\r\n" + sp(17) + "Długa 5" + sp(24) + "00-950 Warszawa" +
                                     sp(11) + "\r\n"},
             {kListingDense, 0, " 221112233" + sp(14) + "02 Długa 5" + sp(24) + "00-950 Warszawa" + sp(11) + "\r\n"},
             // "Adres" and "Testy": the test display, then the address.
             {kListingNames, 0x14, " " + tests + " Długa 5" + sp(22) + "\r\n"},
             // The address shortened after three columns, the town left out.
             {kListingNames, 0x0F, " 221112233" + sp(14) + "Długa 5" + sp(15) + "\r\n"},
         }) {
        spooler.jobs.clear();
        columns = c.columns;
        ASSERT_EQ(printSubscriberListing(sorter.offsets(), st.db, true, c.layout, listing), 0);
        EXPECT_EQ(listed(), head + c.line + end) << c.layout << " " << c.columns;
    }
    spooler.jobs.clear();
    columns = -1; // "Porzuć" in "Wybór danych"
    EXPECT_EQ(printSubscriberListing(sorter.offsets(), st.db, true, kListingNames, listing), 1);
    EXPECT_TRUE(spooler.jobs.empty());
}

TEST_F(PrintoutsTest, ALongListAsksFirstAndTheTestedListNamesThePaths) {
    for (int n = 1; n <= 13; ++n) st.addSubscriber(n, [](SubscriberRecord& r) { r.tracks = kTrackDialUp | kTrackGsm; });
    SbsSorter sorter(st.indexes, st.db);
    ASSERT_EQ(sorter.count(), 13);
    st.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(printSubscriberListing(sorter.offsets(), st.db, false, kListingNormal, listing), 1);
    EXPECT_TRUE(spooler.jobs.empty());
    EXPECT_EQ(st.ui.boxes.back().text, "Lista liczy 13 abonentów.\nMożna ograniczyć listę przez sortowanie z zakresem."
                                       "\n\nKontynuować wydruk?");
    st.ui.answers = {BoxAnswer::Yes};
    ASSERT_EQ(printSubscriberListing(sorter.offsets(), st.db, false, kListingNormal, listing), 0);
    const std::string out = listed();
    EXPECT_NE(out.find("####################        LISTA BADANYCH ABONENTÓW        ####################\r\n"
                       "0001 Abonent 1" + sp(21) + "Tory badania: Komutow. GSM/GPRS \r\n0002 "),
              std::string::npos)
        << out;
}

TEST_F(PrintoutsTest, TheSorterKeepsARangeOverTheEndsOwnLengthAndTheFilter) {
    const char* towns[] = {"Andrychów", "Bydgoszcz", "Bródno", "Chełm", "Łódź"};
    int n = 1;
    for (const char* town : towns)
        st.addSubscriber(n++, [&](SubscriberRecord& r) {
            std::snprintf(r.town, sizeof r.town, "%s", mz(town).c_str());
            r.tracks = n % 2 ? kTrackRadio : kTrackDialUp;
        });
    SbsSorter sorter(st.indexes, st.db);
    auto towns_of = [&] {
        std::vector<std::string> out;
        for (int i = 0; i < sorter.count(); ++i) {
            Sbscrbr s(st.db, AtOffset{sorter.offset(i)});
            out.push_back(Utf8FromMazovia(s.record.town));
        }
        return out;
    };
    sorter.collect(kIndexTown, "A", "B", 20, kNoFilter);
    EXPECT_EQ(towns_of(), (std::vector<std::string>{"Andrychów", "Bródno", "Bydgoszcz"}));
    sorter.collect(kIndexTown, "A", "BR", 20, kNoFilter);
    EXPECT_EQ(towns_of(), (std::vector<std::string>{"Andrychów", "Bródno"}));
    sorter.collect(kIndexTown, {}, {}, 0, kTrackDialUp, true);
    EXPECT_EQ(towns_of(), (std::vector<std::string>{"Andrychów", "Bródno", "Łódź"}));
    EXPECT_TRUE(sorter.marked(0));
    sorter.refilter(0);
    EXPECT_EQ(sorter.count(), 0);
}

TEST(SubscriberListLineTest, MarksInTheirColumnsAndSupervisedPathsBetweenTildes) {
    SubscriberRecord r{};
    r.object = 42;
    std::snprintf(r.name, sizeof r.name, "Sklep");
    r.tracks = kTrackDialUp | kTrackRadio;
    r.chk_tracks = kTrackRadio;
    r.tracks_nbr = 0x20;
    const std::string line = subscriberListLine(r, 60, 0);
    std::string shown = line;
    std::erase(shown, '~');
    EXPECT_EQ(shown.find('K'), 34u);
    EXPECT_EQ(shown.substr(36, 2), "R3");
    EXPECT_NE(line.find("~R3~"), std::string::npos);
    EXPECT_EQ(shown.size(), 56u) << "the standard list ends the line before its column";
    r.alarm_list = 5000;
    auto shownAt56 = [&](int slot) {
        std::string text = subscriberListLine(r, 60, slot);
        std::erase(text, '~');
        return text.substr(56, 2);
    };
    EXPECT_EQ(shownAt56(3), "W3");
    EXPECT_EQ(shownAt56(0), "NS");
}

} // namespace
} // namespace k4
