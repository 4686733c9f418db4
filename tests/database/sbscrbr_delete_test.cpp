#include "database/lines_list.h"
#include "database/persons_list.h"
#include "database/record_file_audit.h"
#include "database/sbscrbr.h"
#include "database/subsys_lst.h"
#include "database/subsystem_editing.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace k4 {
namespace {

using test::DatabaseTest;
using test::HistoryEntry;

int64_t freeRecords(const std::string& image, const char* name, int size) {
    return AuditRecordImage(image, name, size).freeRecords;
}

struct SubscriberDeleteTest : DatabaseTest {
    // A subscriber with something in every file that hangs from it.
    int32_t build(Sbscrbr& s, int32_t eventList) {
        {
            PersonsList persons(db.files(), s.record.persons);
            std::strcpy(persons.person().name, "Kowalski");
            EXPECT_EQ(persons.AddEntry(0, 0), 0);
            EXPECT_EQ(persons.AddEntry(-1, 1), 0);
            std::strcpy(persons.person().name, "Nowak");
            EXPECT_EQ(persons.AddEntry(0, 2), 0);
        }
        {
            LinesList lines(db.files(), s.record.lines);
            EXPECT_EQ(NewSubsystem(lines, 1, "Parter"), 0);
            SectorsList sectors(lines);
            EXPECT_EQ(NewSector(lines, sectors, 3, "CZ", "Drzwi"), 0);
            EXPECT_EQ(NewSector(lines, sectors, 4, "CZ", "Okno"), 0);
            EXPECT_EQ(NewSubsystem(lines, 2, "Pietro"), 0);
        }
        {
            OnDemandFile opis(db.files(), DbFile::Opis, {});
            int32_t first = 0;
            const std::string text(600, 'o');
            EXPECT_EQ(opis.file().WriteChain(first, text.data(), 600), 0);
            s.record.desc = first;
        }
        s.record.alarm_list = eventList;
        {
            SubsysLst plans(db.files(), s.record.arm_plans);
            EXPECT_EQ(plans.SavePosition(0, 0x81), 0);
            EXPECT_EQ(plans.SavePosition(5, 5), 0);
        }
        {
            // An orders set of its own, in its current form.
            OnDemandFile orders(db.files(), DbFile::Orders, {});
            const std::string set(256, '\x03');
            int32_t at = 0;
            EXPECT_EQ(orders.file().AppendRecord(at, set.data()), 0);
            const Uint32Le marker = kOrdersMarker;
            const Int32Le offset = at;
            std::memcpy(s.record.orders, &marker, sizeof marker);
            std::memcpy(s.record.orders + 4, &offset, sizeof offset);
        }
        s.record.tracks = kTrackRadio | kTrackFixedLine;
        s.record.tracks_nbr = 0x21;
        return storeSubscriber(s);
    }
    int32_t ownEventList() {
        const std::string list(5994, 'L');
        int32_t at = 0;
        EXPECT_EQ(file(DbFile::Alarmy).AppendRecord(at, list.data()), 0);
        return at;
    }
    void picture(const std::string& name) {
        std::filesystem::create_directories(tmp.file("grafika"));
        tmp.write("grafika/" + name, "P");
    }
    bool pictureLeft(const std::string& name) const { return std::filesystem::exists(tmp.file("grafika/" + name)); }
};

TEST_F(SubscriberDeleteTest, RemovesEverythingHangingFromTheSubscriber) {
    Sbscrbr s(db, ByNumber{42});
    const int32_t own = ownEventList();
    const int32_t at = build(s, own);
    picture("0042.pcx");
    picture("0042_wejscie.PCX");
    picture("0042.jpg");
    picture("0042.bmp");
    picture("0043.pcx");
    std::filesystem::create_directories(tmp.file("grafika/0042dir.pcx"));
    ui.boxes.clear();
    history.entries.clear();

    Sbscrbr victim(db, ByNumber{42});
    ASSERT_TRUE(victim.valid);
    EXPECT_EQ(victim.Delete(true), 0);
    EXPECT_TRUE(ui.boxes.empty());

    // Every record of every file is free again.
    for (DbFile which : {DbFile::Osoby, DbFile::Linie, DbFile::Sektory, DbFile::Opis, DbFile::Uzbroj, DbFile::Orders}) {
        const RecordFileDescriptor& d = descriptorOf(which);
        const std::string image = bytes(d.name);
        const RecordFileAudit audit = AuditRecordImage(image, d.name, d.recordSize);
        EXPECT_TRUE(audit.problems.empty()) << d.name;
        EXPECT_GT(audit.records, 0) << d.name;
        EXPECT_EQ(audit.inUse(), 0) << d.name;
    }
    EXPECT_EQ(freeRecords(bytes("alarmy"), "alarmy", 5994), 1);
    EXPECT_EQ(freeRecords(bytes("dane"), "dane", 1575), 1);
    EXPECT_EQ(file(DbFile::Dane).firstFree(), at);

    EXPECT_EQ(index.removed, std::vector<int>{42});
    ASSERT_EQ(supervised.forgotten.size(), 1u);
    EXPECT_EQ(supervised.forgotten[0].number, 42);
    EXPECT_EQ(supervised.forgotten[0].tracks, kTrackRadio | kTrackFixedLine);
    EXPECT_EQ(supervised.forgotten[0].tracksNbr, 0x21);
    EXPECT_EQ(history.entries, (std::vector<HistoryEntry>{{25, 42, 0, 0, 0}}));

    EXPECT_FALSE(pictureLeft("0042.pcx"));
    EXPECT_FALSE(pictureLeft("0042_wejscie.PCX"));
    EXPECT_TRUE(pictureLeft("0042.jpg"));
    EXPECT_TRUE(pictureLeft("0042.bmp"));
    EXPECT_TRUE(pictureLeft("0043.pcx"));
    EXPECT_TRUE(pictureLeft("0042dir.pcx"));

    // The freed record is the next subscriber's.
    Sbscrbr next(db, ByNumber{43});
    ASSERT_EQ(next.Save(), 0);
    EXPECT_EQ(next.offset(), at);
}

TEST_F(SubscriberDeleteTest, SharedEventListStaysAndAKeptIndexIsLoggedAsSuch) {
    const int32_t shared = ownEventList();
    sharedLists.shared.insert(shared);
    Sbscrbr s(db, ByNumber{7});
    build(s, shared);
    history.entries.clear();
    Sbscrbr victim(db, ByNumber{7});
    EXPECT_EQ(victim.Delete(false), 0);
    EXPECT_EQ(freeRecords(bytes("alarmy"), "alarmy", 5994), 0);
    EXPECT_TRUE(index.removed.empty());
    EXPECT_EQ(history.entries, (std::vector<HistoryEntry>{{70, 7, 0, 0, 0}}));
}

TEST_F(SubscriberDeleteTest, LegacyOrdersListOrNoSetFreesNothingInOrders) {
    OnDemandFile orders(db.files(), DbFile::Orders, {});
    const std::string other(256, '\x05');
    int32_t someoneElses = 0;
    ASSERT_EQ(orders.file().AppendRecord(someoneElses, other.data()), 0);
    struct Case {
        const char* what;
        std::vector<uint8_t> field;
    };
    const Case cases[] = {
        {"legacy list of codes", {3, 5, 0x21, 0}},
        {"current form without a set", {0x00, 0xFF, 0xFF, 0x00, 0, 0, 0, 0}},
    };
    int number = 50;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sbscrbr s(db, ByNumber{number});
        std::memcpy(s.record.orders, c.field.data(), c.field.size());
        storeSubscriber(s);
        Sbscrbr victim(db, ByNumber{number++});
        EXPECT_EQ(victim.Delete(true), 0);
        EXPECT_EQ(AuditRecordImage(bytes("orders"), "orders", 256).inUse(), 1);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SubscriberDeleteTest, UnindexedSubscriberIsFreedWithoutIndexOrHistory) {
    Sbscrbr s(db, ByNumber{9});
    ASSERT_EQ(s.Save(), 0);
    const int32_t at = s.offset();
    ASSERT_TRUE(s.unindexed);
    EXPECT_EQ(s.Delete(true), 0);
    EXPECT_EQ(file(DbFile::Dane).firstFree(), at);
    EXPECT_TRUE(index.removed.empty());
    EXPECT_TRUE(supervised.forgotten.empty());
    EXPECT_TRUE(history.entries.empty());
}

TEST_F(SubscriberDeleteTest, RecordThatIsFreeAlreadyIsNotFreedAgain) {
    Sbscrbr s(db, ByNumber{11});
    const int32_t at = storeSubscriber(s);
    Sbscrbr first(db, AtOffset{at});
    Sbscrbr second(db, AtOffset{at}); // the same record held twice
    ASSERT_EQ(first.Delete(true), 0);
    const std::string before = bytes("dane");
    ui.boxes.clear();
    history.entries.clear();
    EXPECT_EQ(second.Delete(true), -1);
    EXPECT_EQ(bytes("dane"), before);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " BŁĄD USUWANIA DANYCH! Zalecane sprawdzenie bazy!");
    EXPECT_EQ(history.entries, (std::vector<HistoryEntry>{{55, 2, 2, 'a', 0}}));
}

TEST_F(SubscriberDeleteTest, AFailingStepIsReportedAndTheOthersStillRun) {
    Sbscrbr s(db, ByNumber{12});
    build(s, 0);
    Sbscrbr victim(db, ByNumber{12});
    victim.record.desc = 32 + 256 * 50; // a description that is not there
    ui.boxes.clear();
    EXPECT_EQ(victim.Delete(true), -1);
    EXPECT_EQ(shown(), (std::vector<std::string>{" BŁĄD USUWANIA DANYCH!", " Błąd  usuwania opisu abonenta"}));
    EXPECT_EQ(AuditRecordImage(bytes("linie"), "linie", 2143).inUse(), 0);
    EXPECT_EQ(freeRecords(bytes("dane"), "dane", 1575), 1);
}

TEST_F(SubscriberDeleteTest, AFailedKeyRemovalIsOneBox) {
    struct Case {
        int removal;
        std::vector<std::string> boxes;
    };
    // -2: the index told its own box (a missing phone pair); the delete adds none.
    for (const Case& c : {Case{-1, {" Błąd  usuwania indeksów"}}, Case{-2, {}}}) {
        Sbscrbr s(db, ByNumber{20 + c.removal});
        storeSubscriber(s);
        Sbscrbr victim(db, ByNumber{20 + c.removal});
        index.removal = c.removal;
        ui.boxes.clear();
        EXPECT_EQ(victim.Delete(true), -1);
        EXPECT_EQ(shown(), c.boxes) << c.removal;
    }
}

} // namespace
} // namespace k4
