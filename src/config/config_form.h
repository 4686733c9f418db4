#pragma once
// "Konfiguracja" without its widgets: the values of its controls, read from
// a block and written into the working copy as "&Ustaw" does, the menu
// restrictions of "menus", and the step that brings a changed copy to life.
#include "config/config_block.h"
#include "platform/data_dir.h"

#include <array>
#include <string>
#include <vector>

namespace k4 {

class Config;
class Messages;
class PathTypeTable;
class SerialStartStep;

enum ConfigTab : int { kTabStandard = 0, kTabSending = 1, kTabReceiving = 2, kTabStdRecv = 3 };

// The controls of the dialog, as plain values. Port choices are 0..3 for
// COM1..COM4; base choices 0 ("BRAK") to 4; speed indexes 0..2 (2400, 4800,
// 9600).
struct ConfigFormState {
    int tab = 0;
    int interPort = 0, dataPort = 0;
    int base1 = 0, base2 = 0;
    int speed1 = 0, speed2 = 0;
    bool gsm = false, otr = false;
    bool optionBox = false; // "Konw. wewn." (tabs 0, 3) or "Typ testu (AA)" (tabs 1, 2)
    bool noIncomplete = false, linkNa = false, multiAlarmBlock = false;
    std::string recvDelay, sendDelay, noLineDelay, repeatDelay; // edit texts
    bool autosave = false;
    std::string autosaveDir; // Mazovia
    std::string town;        // Mazovia
    std::string recvIp;      // dotted text
    bool recvMarkF = false;
    bool synopt = false;

    static ConfigFormState fromBlock(const ConfigBlock& block);
    // The choices of a tab as the dialog shows them when the tab is selected.
    void layOutTab(int newTab, const ConfigBlock& block);
    // Steps 2 to 6 of "&Ustaw" into the working copy.
    void applyTo(ConfigBlock& copy) const;
};

// "%d.%d.%d.%d" of a value whose first octet is the most significant byte,
// and back; an octet that is not a number reads as 0.
std::string intToIp(uint32_t value);
uint32_t ipToInt(const std::string& dotted);

// The "Zwłoka pow." edit when left: 60 unless a number from 0 to 255.
std::string correctedRepeatDelay(const std::string& text);

// The menu copy: for each counted top menu its items (separators left out),
// true when checked, i.e. unlocked.
using MenuChecks = std::vector<std::vector<bool>>;

// The menu copy as the dialog shows it: each counted top menu with its items
// (separators left out); a hidden item keeps its bit but is not shown.
struct MenuCopyItem {
    std::string caption; // UTF-8
    bool checked = true;
    bool hidden = false;
};
struct MenuCopyTop {
    std::string caption;
    std::vector<MenuCopyItem> items;
};
MenuChecks checksOf(const std::vector<MenuCopyTop>& menus);
std::array<uint8_t, 12> menusBytes(const MenuChecks& menus);
// Writes "menus" in one durable step; false when it cannot.
bool writeMenus(const DataDir& dir, const MenuChecks& menus);

// Whether the settings that need the serial ports reopened differ.
bool portSettingsDiffer(const ConfigBlock& a, const ConfigBlock& b);

// Steps 7 to 9 of "&Ustaw": the working copy into the live block, saved,
// the ports restarted when their settings changed. Gives true when the ports
// were restarted (the caller then rebuilds its paths).
bool applyWorkingCopy(Config& config, const ConfigBlock& copy, SerialStartStep& serial, PathTypeTable& pathTypes,
                      Messages& messages);

} // namespace k4
