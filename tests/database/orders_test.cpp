#include "database/order_names_table.h"
#include "database/orders_table_list.h"
#include "database/service_steps.h"
#include "database/text_edge.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::DatabaseTest;

struct OrdersTest : DatabaseTest {
    OrderNamesTable& names = db.orderNames();
    OrdersTest() {
        EXPECT_EQ(names.Load(), 0);
        for (int code : {0x05, 0x0A, 0x15, 0x25, 0x30}) EXPECT_EQ(names.StoreOrder(0, code, "Rozkaz"), 0);
    }
    std::string codes(const OrdersTableList& list) {
        std::string s;
        char part[16];
        for (int i = 0; i < list.Count(); ++i) {
            std::snprintf(part, sizeof part, "%02X(%02X) ", list.CodeAt(i), list.SentCode(i));
            s += part;
        }
        return s;
    }
};

TEST_F(OrdersTest, LegacyListIsShownAsASetAndComesBackUnlessSaved) {
    Sbscrbr s(db);
    s.record.orders[0] = 0x05;
    s.record.orders[1] = 0x0A;
    s.record.orders[2] = 0x00;
    s.record.orders[3] = 0x30; // after the end of the list
    const std::string legacy(reinterpret_cast<char*>(s.record.orders), 100);
    {
        OrdersTableList list(db.files(), names, s.record.orders);
        EXPECT_TRUE(list.legacy());
        EXPECT_EQ(codes(list), "05(05) 0A(0A) ");
        // While the list lives the field is in the current form.
        EXPECT_EQ(std::string(reinterpret_cast<char*>(s.record.orders), 8), std::string("\x00\xFF\xFF\x00\x00\x00\x00\x00", 8));
        list.Permit(0x15);
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.record.orders), 100), legacy);
    EXPECT_EQ(test::recordsIn(bytes("orders"), 256), 0);

    int32_t setAt = 0;
    {
        OrdersTableList list(db.files(), names, s.record.orders);
        list.Permit(0x15);
        ASSERT_EQ(list.Save(), 0);
        EXPECT_FALSE(list.legacy());
        setAt = test::int32At(std::string(reinterpret_cast<char*>(s.record.orders), 8), 4);
    }
    EXPECT_EQ(setAt, 32);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.record.orders), 8),
              std::string("\x00\xFF\xFF\x00\x20\x00\x00\x00", 8));
    const std::string set = bytes("orders").substr(32);
    std::string expected(256, '\0');
    expected[0x05] = 0x05;
    expected[0x0A] = 0x0A;
    expected[0x15] = 0x15;
    EXPECT_EQ(set, expected);
}

TEST_F(OrdersTest, ChangingASentCodeTouchesOneByteOfTheSet) {
    Sbscrbr s(db, ByNumber{1}); // current form, no set yet
    {
        OrdersTableList list(db.files(), names, s.record.orders);
        EXPECT_EQ(list.Count(), 0);
        list.PermitAll();
        list.Rebuild();
        ASSERT_EQ(list.Save(), 0);
    }
    const std::string before = bytes("orders");
    {
        OrdersTableList list(db.files(), names, s.record.orders);
        EXPECT_EQ(codes(list), "05(05) 0A(0A) 15(15) 25(25) 30(30) ");
        ASSERT_EQ(list.SetSentCode(0, 0x15), 0);
        ASSERT_EQ(list.SetSentCode(0, 0x25), 0);
        EXPECT_EQ(list.SetSentCode(0, 0x100), -1);
        EXPECT_EQ(list.SetSentCode(0, 0), -1);
        EXPECT_EQ(shown(), (std::vector<std::string>{" Numer rozkazu spoza zakresu", " Numer rozkazu spoza zakresu"}));
        // A confirmation of 0x25 belongs to the first order sent as 0x25.
        EXPECT_EQ(list.ShownCode(0x25), 0x05);
        EXPECT_EQ(list.ShownCode(0x0A), 0x0A);
        EXPECT_EQ(list.ShownCode(0x44), 0x44);
        ASSERT_EQ(list.Save(), 0); // rewritten in place
    }
    std::string expected = before;
    expected[32 + 5] = 0x25;
    EXPECT_EQ(bytes("orders"), expected);

    {
        OrdersTableList list(db.files(), names, s.record.orders);
        list.Forbid(0x0A);
        list.Rebuild();
        EXPECT_EQ(codes(list), "05(25) 15(15) 25(25) 30(30) ");
        list.ForbidAll();
        list.Rebuild();
        EXPECT_EQ(list.Count(), 0);
    }
    // An order that is not defined is not permitted, whatever the set says.
    ASSERT_EQ(names.StoreOrder(0x30, 0x31, "Nowy kod"), 0);
    OrdersTableList list(db.files(), names, s.record.orders);
    EXPECT_EQ(codes(list), "05(25) 0A(0A) 15(15) 25(25) ");
    OrdersTableList all(db.files(), names, nullptr);
    EXPECT_EQ(codes(all), "05(05) 0A(0A) 15(15) 25(25) 31(31) ");
}

TEST_F(OrdersTest, OrderNamesAreEditedInMemoryAndInTheFileTogether) {
    const std::string fileBefore = bytes("rozkazy");
    EXPECT_EQ(fileBefore.size(), 10u + 256 * 61);
    EXPECT_EQ(fileBefore.substr(0, 10), std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x3D\x00\x00\x01", 10));
    EXPECT_EQ(fileBefore.substr(10 + 5 * 61, 7), std::string("\x05Rozkaz"));

    EXPECT_EQ(names.StoreOrder(0, 0, "Zero"), -1);
    EXPECT_EQ(names.StoreOrder(0, 256, "Za duzy"), -1);
    ui.answers = {BoxAnswer::No};
    EXPECT_EQ(names.StoreOrder(0x05, 0x0A, "Na zajety kod"), 1);
    EXPECT_EQ(bytes("rozkazy"), fileBefore);
    EXPECT_EQ(shown(), (std::vector<std::string>{" Numer rozkazu spoza zakresu", " Numer rozkazu spoza zakresu",
                                                 " Rozkaz o podanym kodzie juz istnieje.Zastąpić go aktualnie wpisanym?"}));

    // A new code for an entry: the old entry goes from the file too.
    const std::string longName(70, 'N');
    ASSERT_EQ(names.StoreOrder(0x05, 0x06, longName), 0);
    const std::string after = bytes("rozkazy");
    EXPECT_EQ(after.substr(10 + 5 * 61, 61), std::string(61, '\0'));
    EXPECT_EQ(after.substr(10 + 6 * 61, 61), "\x06" + std::string(60, 'N'));
    EXPECT_FALSE(names.IsDefined(0x05));

    OrderNamesTable reloaded(db.dataDir(), messages);
    ASSERT_EQ(reloaded.Load(), 0);
    EXPECT_FALSE(reloaded.IsDefined(0x05));
    EXPECT_TRUE(reloaded.IsDefined(0x06));

    ui.boxes.clear();
    ui.answers = {BoxAnswer::Yes};
    EXPECT_EQ(names.DeleteOrder(0x0A), 0);
    EXPECT_EQ(ui.boxes.back().text, " Usunąć rozkaz 0A ?");
    EXPECT_EQ(bytes("rozkazy").substr(10 + 10 * 61, 61), std::string(61, '\0'));
    ASSERT_EQ(names.DefinedCodes().Count(), 4);
    EXPECT_EQ(names.DefinedCodes().Get(0), 0x06);
}

TEST(ServiceSteps, ReadsEightStepsInTheirDeclaredCodePage) {
    test::TempDir tmp;
    DataDir dir(tmp.path());
    ServiceSteps steps;
    // CP1250 "Łączność" and a line longer than a step can be.
    std::string text = "4\r\n\xA3\xB9\x63zno\x9C\xE6\r\n" + std::string(90, 'x') + "\r\n";
    for (int i = 3; i <= 8; ++i) text += "Krok " + std::to_string(i) + "\r\n";
    tmp.write("obsluga.txt", text);
    ASSERT_EQ(steps.Load(dir), 0);
    EXPECT_EQ(Utf8FromMazovia(steps.text(0)), "Łączność");
    EXPECT_EQ(steps.windowsText(0), "\xA3\xB9\x63zno\x9C\xE6");
    EXPECT_EQ(steps.text(1), std::string(79, 'x'));
    EXPECT_EQ(steps.text(2), "Krok 3");
    EXPECT_EQ(steps.text(7), "Krok 8");

    for (const char* page : {"3", "0", "x", ""}) {
        tmp.write("obsluga.txt", std::string(page) + "\nA\nB\nC\nD\nE\nF\nG\nH\n");
        EXPECT_EQ(steps.Load(dir), -1) << page;
        EXPECT_FALSE(steps.loaded());
    }
    tmp.write("obsluga.txt", "2\nA\nB\nC\n");
    EXPECT_EQ(steps.Load(dir), -1);
    tmp.write("obsluga.txt", "2\nA\nB\nC\nD\nE\nF\nG\nH"); // no line end after the last
    EXPECT_EQ(steps.Load(dir), 0);
    EXPECT_EQ(steps.text(7), "H");
}

} // namespace
} // namespace k4
