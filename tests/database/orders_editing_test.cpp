// The order windows' rules without the windows: a typed code read as "%x"
// reads it, the refusals of "Rozkaz", the sent code of "Kod wysyłanego
// rozkazu:" and the printout of the table.
#include "database/orders_editing.h"

#include "database/text_edge.h"
#include "database_fixture.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

using test::DatabaseTest;

TEST(ReadHexCode, ReadsAsTheLibrarysHexConversionDoesAndNeverWrapsIntoACode) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"1F", 0x1F},     {" 0a", 0x0A},   {"0x15", 0x15}, {"12zz", 0x12},        {"+7", 7},
        {"", std::nullopt}, {"  ", std::nullopt}, {"zz", std::nullopt}, {"0x", 0},  {"-1", -1},
        {"-0", 0},        {"100", 0x100},  {"10000000001", -1}, {"FFFFFFFF", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(readHexCode(c.text), c.value) << '"' << c.text << '"';
}

struct OrdersEditing : DatabaseTest {
    OrderNamesTable& names = db.orderNames();
    OrdersEditing() { EXPECT_EQ(names.Load(), 0); }
};

TEST_F(OrdersEditing, TheOrderDialogRefusesOutOfRangeAndKeepsAnOrderTheOperatorWouldNotReplace) {
    ASSERT_EQ(storeOrderDefinition(names, 0, "05", "Otwórz bramę"), 0);
    EXPECT_EQ(names.OrderRecord(5).name, mz("Otwórz bramę"));
    const std::string stored = bytes("rozkazy");
    for (const char* bad : {"0", "", "xy", "-5"}) EXPECT_EQ(storeOrderDefinition(names, 0, bad, "Nic"), 1) << bad;
    ui.answers = {BoxAnswer::No};
    EXPECT_EQ(storeOrderDefinition(names, 0, "5", "Zamknij"), 1);
    EXPECT_EQ(bytes("rozkazy"), stored);
    EXPECT_EQ(shown().size(), 5u);
    EXPECT_EQ(shown().front(), " Numer rozkazu spoza zakresu");
    EXPECT_EQ(shown().back(), " Rozkaz o podanym kodzie juz istnieje.Zastąpić go aktualnie wpisanym?");
    // A description longer than the field keeps its first 60 characters.
    ASSERT_EQ(storeOrderDefinition(names, 0, "a1", std::string(70, 'x')), 0);
    EXPECT_EQ(orderNameLine(names, 0xA1), "A1 " + std::string(60, 'x'));
    EXPECT_EQ(orderNameLine(names, 5), mz("05 Otwórz bramę"));
}

TEST_F(OrdersEditing, TheSentCodeDialogChangesOneOrderOrNothing) {
    ASSERT_EQ(storeOrderDefinition(names, 0, "05", "Otwórz bramę"), 0);
    ASSERT_EQ(storeOrderDefinition(names, 0, "0A", "Zamknij"), 0);
    Sbscrbr s(db, ByNumber{1});
    OrdersTableList list(db.files(), names, s.record.orders);
    list.PermitAll();
    list.Rebuild();
    EXPECT_EQ(sentCodeText(list, 0), "05");
    ASSERT_EQ(changeSentCode(list, 0, "15"), 0);
    ASSERT_EQ(changeSentCode(list, 0, "25"), 0);
    for (const char* bad : {"0", "", "100", "zz"}) EXPECT_EQ(changeSentCode(list, 0, bad), -1) << bad;
    EXPECT_EQ(subscriberOrderLine(list, 0), mz("05 (25) Otwórz bramę") + std::string(60 - 12, ' '));
    EXPECT_EQ(subscriberOrderLine(list, 1).substr(0, 15), "0A (0A) Zamknij");
    EXPECT_EQ(shown(), std::vector<std::string>(4, " Numer rozkazu spoza zakresu"));
}

TEST_F(OrdersEditing, ThePrintoutListsEveryDefinedOrderBetweenItsFrames) {
    ASSERT_EQ(storeOrderDefinition(names, 0, "3", "Odpowiedź na test"), 0);
    ASSERT_EQ(storeOrderDefinition(names, 0, "2b", std::string(65, 'y')), 0);
    const std::string hashes(20, '#');
    EXPECT_EQ(Utf8FromMazovia(orderNamesPrintout(names)),
              "\r\n" + hashes + std::string(13, ' ') + "LISTA ROZKAZÓW" + std::string(13, ' ') + hashes + "\r\n" +
                  "03 Odpowiedź na test" + std::string(60 - 17, ' ') + "\r\n" + "2b " + std::string(60, 'y') +
                  "\r\n" + hashes + hashes + hashes + hashes + "\r\n");
}

} // namespace
} // namespace k4
