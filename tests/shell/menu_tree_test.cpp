#include "shell/menu_tree.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>

namespace k4 {
namespace {

TEST(MenuTree, EveryCommandWithItsCaptionAndHelpContext) {
    struct Item {
        const char* top;
        const char* name;
        const char* caption;
        int help;
    };
    const Item expected[] = {
        {"Badania1", "Okres1", "&Okres", 1011},        {"Badania1", "Obiekt1", "O&biekt", 1014},
        {"Badania1", "Lista1", "&Lista", 1012},        {"Badania1", "Wycz1", "&Wyłącz", 1013},
        {"Badania1", "Licznik1", "&Archiwizacja", 0},  {"Badania1", "Czasy1", "&Harmonogram", 0},
        {"Blokady1", "Obiekt2", "&Obiekt", 1071},      {"Blokady1", "Lista2", "&Lista", 1072},
        {"Abonent1", "Obiekt3", "&Obiekt", 1200},      {"Abonent1", "Lista3", "&Lista", 1021},
        {"Abonent1", "Nowy1", "&Nowy", 1022},          {"Abonent1", "Zmiananumeru1", "&Zmiana numeru", 1029},
        {"Abonent1", "Historia1", "&Historia", 1027},  {"Archiwum1", "Historia2", "&Historia", 1031},
        {"Archiwum1", "Archiwalne1", "&Archiwalne", 1036}, {"Archiwum1", "Zrzut1", "&Zrzut", 1034},
        {"Archiwum1", "Odzysk1", "&Odzysk", 1035},     {"Archiwum1", "Automat1", "A&utomat.", 1037},
        {"System1", "Czas2", "Czas", 0},               {"System1", "Operator1", "&Operator", 1051},
        {"System1", "Drukarki1", "&Drukarki", 1053},   {"System1", "Swieto1", "Świ&ęto", 1059},
        {"System1", "Pakiety1", "&Pakiety", 1057},     {"System1", "Parametry1", "Pa&rametry", 1058},
        {"System1", "Wydruk1", "&Wydruk", 1054},       {"System1", "Demo1", "De&mo", 1055},
        {"System1", "Ekran1", "&Ekran", 1056},         {"System1", "Testyodbioru1", "&Testy odbioru", 1081},
        {"System1", "Diody1", "&Diody", 1082},         {"System1", "Sterowanie1", "&Sterowanie", 0},
        {"Nadzr1", "Czas1", "&Czas", 1061},            {"Nadzr1", "Zdarzenia2", "&Zdarzenia", 1063},
        {"Nadzr1", "Listyzdarze1", "&Listy zdarzeń", 1069}, {"Nadzr1", "Dzwieki1", "&Dźwięki alarmów", 1094},
        {"Nadzr1", "Rozkazy1", "&Rozkazy", 1064},      {"Nadzr1", "Testy1", "&Testy", 1091},
        {"Nadzr1", "Operatorzy1", "&Operatorzy", 1065}, {"Nadzr1", "Haso1", "&Hasło", 1066},
        {"Nadzr1", "Indeksy1", "&Indeksy", 1092},      {"Nadzr1", "Konfiguracja1", "&Konfiguracja", 0},
        {"Nadzr1", "Powrt1", "Za&bezpiecz", 1067},     {"Nadzr1", "Minimalizacja1", "&Minimalizacja", 1095},
        {"Nadzr1", "Wyjcie1", "&Wyjście", 0},
    };
    std::map<std::string, std::pair<std::string, const MenuItemDef*>> found;
    for (const TopMenuDef& top : mainMenuTree())
        for (const MenuItemDef& item : top.items)
            if (!item.separator) found[item.name] = {top.name, &item};
    EXPECT_EQ(found.size(), std::size(expected));
    for (const Item& e : expected) {
        auto it = found.find(e.name);
        ASSERT_NE(it, found.end()) << e.name;
        EXPECT_EQ(it->second.first, e.top) << e.name;
        EXPECT_STREQ(it->second.second->caption, e.caption) << e.name;
        EXPECT_EQ(it->second.second->help, e.help) << e.name;
    }

    std::vector<std::string> tops;
    for (const TopMenuDef& top : mainMenuTree()) tops.push_back(top.caption);
    EXPECT_EQ(tops, (std::vector<std::string>{"&Badania", "&Pomiary", "B&lokady", "&Abonent", "A&rchiwum", "&System",
                                              "&Nadzorowane", "&Nadzór"}));
}

TEST(MenuRestrictions, MasksGoToTheVisibleMenusAndSkipSeparators) {
    test::TempDir dir;
    // Byte 6: "&Badania" (first and third item); "&Pomiary" is hidden, so
    // byte 7 is "B&lokady"; byte 8 "&Abonent".
    dir.write("menus", std::string("\0\0\0\0\0\0\x05\x02\x10\0\0\0", 12));
    MenuRestrictions r;
    r.load(DataDir(dir.path()));
    std::vector<bool> hidden(8, false);
    hidden[1] = true;
    hidden[6] = true;
    const bool badania[] = {false, true, false, true, true, true, true}; // item 4 is the separator
    for (int i = 0; i < 7; ++i) EXPECT_EQ(r.enabled(hidden, 0, i), badania[i]) << "Badania item " << i;
    EXPECT_TRUE(r.enabled(hidden, 2, 0));
    EXPECT_FALSE(r.enabled(hidden, 2, 1));
    EXPECT_FALSE(r.enabled(hidden, 3, 4)) << "Abonent/Historia";
    EXPECT_TRUE(r.enabled(hidden, 7, 0)) << "the last two are never restricted";

    dir.write("menus", std::string("\0\0\0\0\0\0\xFF\xFF", 8));
    r.load(DataDir(dir.path()));
    EXPECT_TRUE(r.enabled(hidden, 0, 0)) << "a short file restricts nothing";
}

} // namespace
} // namespace k4
