#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace k4 {
namespace {

using test::DatabaseTest;

std::string le16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string le32(int64_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
    return b;
}

// A record image with a value at the start of every field that names its
// offset; reading it through the subscriber shows where each field sits.
TEST_F(DatabaseTest, EveryFieldOfTheRecordSitsAtItsOffset) {
    std::string image(kSubscriberRecordSize, '\0');
    auto put = [&](size_t at, const std::string& bytes) { image.replace(at, bytes.size(), bytes); };
    put(4, le16(1234));
    put(6, "NAZWA");      put(36, "MIASTO");   put(56, "26600");   put(62, "ULICA");
    put(92, "481234567"); put(106, "601222333"); put(116, le32(0x0A000001));
    put(120, "K1");       put(150, "K2");      put(180, "HASLO");  put(191, "CENTR");
    put(203, le16(3));    put(205, le32(7));
    put(209, "\x7F\x05\x21");
    put(212, "PELNA");    put(272, "UMOWA");   put(284, "01.02.03"); put(293, "OD"); put(302, "DO");
    put(311, "KSIEGA");
    put(323, le16(0x0512)); put(325, le16(0x0621));
    put(327, "\x01\x02\x03\x04"); put(331, le16(20)); put(333, le16(0x01E3));
    put(335, "\x06\x07");
    put(337, le32(0x00FFFF00) + le32(0x1111));
    put(437, le32(0x4444));    put(437 + 39 * 4, le32(0x4545));
    put(597, le32(0x5555));    put(597 + 99 * 4, le32(0x5656));
    put(997, le32(0x9999));    put(1001, le32(0x1001));
    put(1005, le32(0x1005));   put(1005 + 9 * 4, le32(0x1041));
    put(1045, le16(0x0123) + le16(0x0201)); put(1045 + 63 * 4, le16(0x0777));
    put(1301, "\x13"); put(1420, "\x14");
    put(1421, le16(0x3F)); put(1423, le16(3)); put(1425, "\x25\x26");
    put(1431, le32(0x1431)); put(1431 + 15 * 4, le32(0x1491));
    put(1506, "\x03");
    put(1547, le16(5) + le16(10) + le16(2) + le32(0x12345678));
    put(1557, le16(0x0201));
    put(1559, "\x59"); put(1568, "\x68");
    put(1569, "\x0F\x63\x62");
    put(1572, "\x72\x73\x74");

    ASSERT_EQ(image.size(), 1575u);
    int32_t at = 0;
    ASSERT_EQ(file(DbFile::Dane).AppendRecord(at, image.data()), 0);
    Sbscrbr s(db, AtOffset{at});
    ASSERT_TRUE(s.valid);
    const SubscriberRecord& r = s.record;
    EXPECT_EQ(r.object, 1234);
    EXPECT_STREQ(r.name, "NAZWA"); EXPECT_STREQ(r.town, "MIASTO"); EXPECT_STREQ(r.code, "26600");
    EXPECT_STREQ(r.address, "ULICA"); EXPECT_STREQ(r.tel, "481234567");
    EXPECT_EQ(std::string(r.tel_gsm, 9), "601222333");
    EXPECT_EQ(r.ip, 0x0A000001);
    EXPECT_STREQ(r.contact1, "K1"); EXPECT_STREQ(r.contact2, "K2"); EXPECT_STREQ(r.passwd, "HASLO");
    EXPECT_STREQ(r.central, "CENTR");
    EXPECT_EQ(r.line_nbr, 3); EXPECT_EQ(r.sector_nbr, 7);
    EXPECT_EQ(r.tracks, 0x7F); EXPECT_EQ(r.chk_tracks, 0x05); EXPECT_EQ(r.tracks_nbr, 0x21);
    EXPECT_STREQ(r.full, "PELNA"); EXPECT_STREQ(r.contr_no, "UMOWA"); EXPECT_STREQ(r.KVF_date, "01.02.03");
    EXPECT_STREQ(r.date_from, "OD"); EXPECT_STREQ(r.date_to, "DO"); EXPECT_STREQ(r.book_no, "KSIEGA");
    EXPECT_EQ(r.forw_flag1, 0x0512); EXPECT_EQ(r.forw_flag2, 0x0621);
    EXPECT_EQ(r.test_type1, 1); EXPECT_EQ(r.test_type2, 2); EXPECT_EQ(r.test_repeat1, 3); EXPECT_EQ(r.test_repeat2, 4);
    EXPECT_EQ(r.test_delay1, 20); EXPECT_EQ(r.test_flags, 0x01E3);
    EXPECT_EQ(r.test_track1, 6); EXPECT_EQ(r.test_track2, 7);
    EXPECT_EQ(r.orders[0], 0x00); EXPECT_EQ(r.orders[1], 0xFF); EXPECT_EQ(r.orders[4], 0x11);
    EXPECT_EQ(r.persons[0], 0x4444); EXPECT_EQ(r.persons[39], 0x4545);
    EXPECT_EQ(r.lines[0], 0x5555); EXPECT_EQ(r.lines[99], 0x5656);
    EXPECT_EQ(r.alarm_list, 0x9999); EXPECT_EQ(r.desc, 0x1001);
    EXPECT_EQ(r.arm_plans[0], 0x1005); EXPECT_EQ(r.arm_plans[9], 0x1041);
    EXPECT_EQ(r.armers[0].code, 0x0123); EXPECT_EQ(r.armers[0].mask, 0x0201); EXPECT_EQ(r.armers[63].code, 0x0777);
    EXPECT_EQ(r.msr[0], 0x13); EXPECT_EQ(r.msr[119], 0x14);
    EXPECT_EQ(r.msr_mask, 0x3F); EXPECT_EQ(r.cnt_flags, 3); EXPECT_EQ(r.cnt1, 0x25); EXPECT_EQ(r.cnt2, 0x26);
    EXPECT_EQ(r.hunits[0], 0x1431); EXPECT_EQ(r.hunits[15], 0x1491);
    EXPECT_EQ(r.gsm_operator, 3);
    EXPECT_EQ(r.alarm_opts.count, 5); EXPECT_EQ(r.alarm_opts.limit, 10); EXPECT_EQ(r.alarm_opts.hours, 2);
    EXPECT_EQ(r.alarm_opts.start, 0x12345678u);
    EXPECT_EQ(r.arm_mask, 0x0201);
    EXPECT_EQ(r.arm_state[0], 0x59); EXPECT_EQ(r.arm_state[9], 0x68);
    EXPECT_EQ(r.test_state, 0x0F); EXPECT_EQ(r.test_miss1, 0x63); EXPECT_EQ(r.test_miss2, 0x62);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.extra), 3), "\x72\x73\x74");
}

TEST_F(DatabaseTest, NewSubscriberIsStoredWithItsDefaultsByteForByte) {
    Sbscrbr s(db, ByNumber{12});
    EXPECT_TRUE(s.valid);
    EXPECT_TRUE(s.unindexed);
    EXPECT_EQ(s.offset(), 0);
    ASSERT_EQ(s.Save(), 0);
    EXPECT_EQ(s.offset(), 32);

    std::string expected(kSubscriberRecordSize, '\0');
    expected.replace(4, 2, le16(12));
    expected.replace(36, 5, "Radom");           // the configured town
    expected[329] = 1;                          // test repeats: one half-hour
    expected[330] = 1;
    expected.replace(331, 2, le16(15));         // test 1 delay 15 minutes
    expected.replace(333, 2, le16(0x00F0));     // tests off, test 2 delay 15 minutes
    expected.replace(337, 8, le32(0x00FFFF00) + le32(0)); // current orders form, no set yet
    EXPECT_EQ(bytes("dane").substr(32), expected);
}

TEST_F(DatabaseTest, TheThreeWaysToMakeASubscriber) {
    Sbscrbr empty(db);
    EXPECT_TRUE(empty.valid);
    EXPECT_EQ(empty.record.test_delay1, 15);
    EXPECT_EQ(empty.record.test_flags, 0x00F0);
    EXPECT_EQ(empty.record.orders[1], 0); // no orders marker
    EXPECT_EQ(empty.record.town[0], 0);

    Sbscrbr stored(db, ByNumber{7});
    std::strcpy(stored.record.name, "Sklep");
    const int32_t at = storeSubscriber(stored);

    Sbscrbr byNumber(db, ByNumber{7});
    EXPECT_TRUE(byNumber.valid);
    EXPECT_FALSE(byNumber.unindexed);
    EXPECT_EQ(byNumber.offset(), at);
    EXPECT_STREQ(byNumber.record.name, "Sklep");

    Sbscrbr byOffset(db, AtOffset{at});
    EXPECT_TRUE(byOffset.valid);
    EXPECT_STREQ(byOffset.record.name, "Sklep");

    for (int32_t bad : {0, at + 1, at + kSubscriberRecordSize}) {
        Sbscrbr none(db, AtOffset{bad});
        EXPECT_FALSE(none.valid) << bad;
        EXPECT_TRUE(none.unindexed);
        EXPECT_EQ(none.record.test_delay1, 0);
    }

    // In the index but not readable: not valid, and not taken for a new one.
    index.numbers[8] = at + kSubscriberRecordSize;
    EXPECT_FALSE(Sbscrbr(db, ByNumber{8}).valid);
    // An index that cannot be searched gives no new subscriber either.
    index.result = -1;
    EXPECT_FALSE(Sbscrbr(db, ByNumber{9}).valid);
}

TEST_F(DatabaseTest, GsmNumberLosesItsTrunkPrefixOnLoad) {
    const struct {
        const char* stored;
        const char* loaded;
    } cases[] = {{"0601222333", "601222333"}, {"0:60122233", "60122233"}, {"601222333", "601222333"}, {"0", ""}};
    for (const auto& c : cases) {
        Sbscrbr s(db, ByNumber{1});
        std::memcpy(s.record.tel_gsm, c.stored, std::strlen(c.stored));
        ASSERT_EQ(s.Save(), 0);
        Sbscrbr loaded(db, AtOffset{s.offset()});
        EXPECT_EQ(std::string(loaded.record.tel_gsm, strnlen(loaded.record.tel_gsm, 10)), c.loaded) << c.stored;
    }
}

TEST_F(DatabaseTest, SaveLeavesTheSeparatelyWrittenBlocksAlone) {
    Sbscrbr card(db, ByNumber{3});
    const int32_t at = storeSubscriber(card);

    // Reports write the state, the pending order, the mask and the limiter
    // through an object of their own while the card is open.
    Sbscrbr report(db, AtOffset{at});
    const uint8_t state[kStateBlockSize] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0x05, 7, 8};
    EXPECT_EQ(report.WriteState(state), 0);
    const uint8_t order[kExtraSize] = {0x21, 0x22, 0x23};
    EXPECT_EQ(report.WriteExtra(order), 0);
    EXPECT_EQ(report.WriteArmMask(0x0203), 0);
    report.record.alarm_opts.count = 4;
    report.record.alarm_opts.start = 0x01020304;
    EXPECT_EQ(report.WriteAlarmOpts(), 0);
    const std::string tail = bytes("dane").substr(static_cast<size_t>(at) + kSubscriberSavedBytes);

    std::strcpy(card.record.name, "Nowa nazwa");
    card.record.arm_mask = 0; // stale in the card
    std::memset(card.record.unused1507, 0x55, sizeof card.record.unused1507);
    ASSERT_EQ(card.Save(), 0);
    const std::string after = bytes("dane");
    EXPECT_EQ(after.substr(static_cast<size_t>(at) + kSubscriberSavedBytes), tail);
    EXPECT_EQ(after.substr(static_cast<size_t>(at) + 6, 10), "Nowa nazwa");

    uint8_t read[kStateBlockSize] = {};
    EXPECT_EQ(card.ReadState(read), 0);
    EXPECT_EQ(std::memcmp(read, state, sizeof read), 0);
    uint8_t other[kStateBlockSize] = {};
    Sbscrbr fresh(db);
    EXPECT_EQ(fresh.ReadState(other), -1); // not stored
    EXPECT_EQ(fresh.WriteState(state), -1);
    EXPECT_EQ(fresh.ReadStateAt(at, other), 0);
    EXPECT_EQ(std::memcmp(other, state, sizeof other), 0);
    uint8_t extra[kExtraSize] = {};
    EXPECT_EQ(card.ReadExtra(extra), 0);
    EXPECT_EQ(std::memcmp(extra, order, sizeof extra), 0);
    uint8_t tracks[3] = {};
    EXPECT_EQ(fresh.ReadTracks(at, tracks), 0);
    EXPECT_EQ(fresh.offset(), 0);
}

TEST_F(DatabaseTest, FailedSaveKeepsTheOperatorsWork) {
    Sbscrbr s(db, ByNumber{5});
    std::strcpy(s.record.name, "Piekarnia");
    file(DbFile::Dane).Close();
    EXPECT_EQ(s.Save(), -1);
    EXPECT_STREQ(s.record.name, "Piekarnia");
    EXPECT_EQ(s.offset(), 0);
    Sbscrbr invalid(db, AtOffset{0});
    EXPECT_EQ(invalid.Save(), -1);
}

TEST_F(DatabaseTest, TestsOnPathsTheSubscriberDoesNotUseAreSwitchedOff) {
    const char* const warning = " Aktywacja testów wyłączona - abonent nie podłączony do toru";
    struct Case {
        uint8_t tracks, chk, track1, track2;
        uint16_t flags;
        uint16_t flagsAfter;
        uint8_t chkAfter;
        bool warned;
    };
    const Case cases[] = {
        {kTrackGsm, 0x09, kTestPathGsmRing, kNoTestPath, 0x00F1, 0x00F1, 0x08, false}, // GSM ring on GSM
        {kTrackDialUp, 0x01, kTestPathGsmRing, kNoTestPath, 0x00F1, 0x00F0, 0x01, true},
        {kTrackGsm, 0x08, 0, kTestPathEthernet, 0x00F3, 0x00F0, 0x08, true},             // both off
        {kTrackEthernet, 0, kNoTestPath, kTestPathEthernet, 0x00F2, 0x00F2, 0, false},
        {kTrackRadio, 0x02, 1, 2, 0x00F0, 0x00F0, 0x02, false},                            // inactive
    };
    for (const Case& c : cases) {
        Sbscrbr s(db);
        s.record.tracks = c.tracks;
        s.record.chk_tracks = c.chk;
        s.record.test_track1 = c.track1;
        s.record.test_track2 = c.track2;
        s.record.test_flags = c.flags;
        ui.boxes.clear();
        EXPECT_EQ(s.CheckTracks(), c.warned ? 1 : 0);
        EXPECT_EQ(s.record.test_flags, c.flagsAfter);
        EXPECT_EQ(s.record.chk_tracks, c.chkAfter);
        ASSERT_EQ(ui.boxes.size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(ui.boxes[0].text, warning);
        }
    }
}

TEST_F(DatabaseTest, DescriptionOfAFullRecordAndOneByteMore) {
    ASSERT_EQ(file(DbFile::Opis).Open("opis", 256), 0);
    for (int length : {252, 253}) {
        const std::string text(static_cast<size_t>(length), 'x');
        int32_t first = 0;
        ASSERT_EQ(file(DbFile::Opis).WriteChain(first, text.data(), length), 0);
        const std::string opis = bytes("opis");
        const int32_t firstLink = test::int32At(opis, static_cast<size_t>(first) + 252);
        if (length == 252) {
            EXPECT_EQ(firstLink, -252);
        } else {
            ASSERT_GT(firstLink, 0);
            EXPECT_EQ(test::int32At(opis, static_cast<size_t>(firstLink) + 252), -253);
        }

        Sbscrbr s(db);
        s.record.desc = first;
        std::string read;
        EXPECT_EQ(s.ReadDescription(read), length);
        EXPECT_EQ(read, text);
    }
    EXPECT_EQ(test::recordsIn(bytes("opis"), 256), 3);
    file(DbFile::Opis).Close();

    Sbscrbr none(db);
    std::string read = "stale";
    EXPECT_EQ(none.ReadDescription(read), 0);
    EXPECT_EQ(read, "");
    none.record.desc = 32 + 256 * 5; // past the end
    EXPECT_EQ(none.ReadDescription(read), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, " Błąd  odczytu opisu abonenta");
    EXPECT_FALSE(file(DbFile::Opis).isOpen()); // opened for the read alone
}

} // namespace
} // namespace k4
