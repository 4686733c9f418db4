#include "shell/menu_tree.h"

#include <fstream>
#include <iterator>

namespace k4 {

const std::vector<TopMenuDef>& mainMenuTree() {
    static const std::vector<TopMenuDef> tree = {
        {"Badania1", "&Badania", 1010,
         {
             {"Okres1", "&Okres", 1011},
             {"Obiekt1", "O&biekt", 1014},
             {"Lista1", "&Lista", 1012},
             {"Wycz1", "&Wyłącz", 1013},
             {"N1", "-", 0, true, true},
             {"Licznik1", "&Archiwizacja", 0, false, true},
             {"Czasy1", "&Harmonogram", 0, false, true},
         }},
        {"Obiekty1", "&Pomiary", 0, {}, true},
        {"Blokady1", "B&lokady", 1070,
         {
             {"Obiekt2", "&Obiekt", 1071},
             {"Lista2", "&Lista", 1072},
         }},
        {"Abonent1", "&Abonent", 1020,
         {
             {"Obiekt3", "&Obiekt", 1200},
             {"Lista3", "&Lista", 1021},
             {"Nowy1", "&Nowy", 1022},
             {"Zmiananumeru1", "&Zmiana numeru", 1029},
             {"Historia1", "&Historia", 1027},
         }},
        {"Archiwum1", "A&rchiwum", 1030,
         {
             {"Historia2", "&Historia", 1031},
             {"Archiwalne1", "&Archiwalne", 1036},
             {"Zrzut1", "&Zrzut", 1034},
             {"Odzysk1", "&Odzysk", 1035},
             {"Automat1", "A&utomat.", 1037},
         }},
        {"System1", "&System", 1050,
         {
             {"Czas2", "Czas", 0},
             {"Operator1", "&Operator", 1051},
             {"Drukarki1", "&Drukarki", 1053},
             {"Swieto1", "Świ&ęto", 1059},
             {"Pakiety1", "&Pakiety", 1057},
             {"Parametry1", "Pa&rametry", 1058},
             {"Wydruk1", "&Wydruk", 1054},
             {"Demo1", "De&mo", 1055},
             {"Ekran1", "&Ekran", 1056},
             {"Testyodbioru1", "&Testy odbioru", 1081},
             {"Diody1", "&Diody", 1082},
             {"Sterowanie1", "&Sterowanie", 0, false, true},
         }},
        {"Nadzr1", "&Nadzorowane", 1060,
         {
             {"Czas1", "&Czas", 1061},
             {"Zdarzenia2", "&Zdarzenia", 1063},
             {"Listyzdarze1", "&Listy zdarzeń", 1069},
             {"Dzwieki1", "&Dźwięki alarmów", 1094},
             {"Rozkazy1", "&Rozkazy", 1064},
             {"Testy1", "&Testy", 1091},
             {"Operatorzy1", "&Operatorzy", 1065},
             {"Haso1", "&Hasło", 1066},
             {"Indeksy1", "&Indeksy", 1092},
             {"Konfiguracja1", "&Konfiguracja", 0},
             {"Powrt1", "Za&bezpiecz", 1067},
             {"Minimalizacja1", "&Minimalizacja", 1095},
             {"Wyjcie1", "&Wyjście", 0},
         }},
        {"Nadzr2", "&Nadzór", 1068, {}},
    };
    return tree;
}

void MenuRestrictions::load(const DataDir& dir) {
    masks_ = {};
    std::ifstream in(dir.file("menus"), std::ios::binary);
    if (!in) return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < static_cast<size_t>(kFileSize)) return;
    for (int k = 0; k < kMasks; ++k) masks_[static_cast<size_t>(k)] = static_cast<uint8_t>(bytes[static_cast<size_t>(kFirstMaskByte + k)]);
}

bool MenuRestrictions::enabled(const std::vector<bool>& topHidden, int top, int item) const {
    const auto& tree = mainMenuTree();
    const int restricted = static_cast<int>(tree.size()) - kUnrestrictedTopMenus;
    if (top < 0 || top >= restricted) return true;
    if (top < static_cast<int>(topHidden.size()) && topHidden[static_cast<size_t>(top)]) return true;
    int ordinal = 0;
    for (int t = 0; t < top; ++t)
        if (!(t < static_cast<int>(topHidden.size()) && topHidden[static_cast<size_t>(t)])) ++ordinal;
    if (ordinal >= kMasks) return true;
    const auto& items = tree[static_cast<size_t>(top)].items;
    if (item < 0 || item >= static_cast<int>(items.size()) || items[static_cast<size_t>(item)].separator) return true;
    int bit = 0;
    for (int i = 0; i < item; ++i)
        if (!items[static_cast<size_t>(i)].separator) ++bit;
    if (bit >= 8) return true;
    return !(masks_[static_cast<size_t>(ordinal)] & (1u << bit));
}

} // namespace k4
