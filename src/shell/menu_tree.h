#pragma once
// The main menu of the station window: every item with its caption, name
// and help context, which items start hidden, and the restrictions the file
// "menus" puts on the operator outside supervisor mode.
#include "platform/data_dir.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace k4 {

struct MenuItemDef {
    const char* name;    // component name; the handler is name + "Click"
    const char* caption; // UTF-8
    int help;            // help context in "alarm.hlp", 0 none
    bool separator = false;
    bool hidden = false; // hidden from the start whatever the mode
};

struct TopMenuDef {
    const char* name;
    const char* caption;
    int help;
    std::vector<MenuItemDef> items; // empty: the top entry is itself a command
    bool hidden = false;
};

// The eight top entries in their order; the last two ("&Nadzorowane" and
// "&Nadzór") switch with supervisor mode and are never restricted.
const std::vector<TopMenuDef>& mainMenuTree();
constexpr int kUnrestrictedTopMenus = 2;
constexpr int kWindowHelpContext = 1001;

// "menus": 12 bytes, of which bytes 6 to 11 are one mask per top menu.
class MenuRestrictions {
public:
    static constexpr int kMasks = 6;
    static constexpr int kFirstMaskByte = 6;
    static constexpr int kFileSize = 12;

    // A missing or short file restricts nothing.
    void load(const DataDir& dir);
    void setMasks(const std::array<uint8_t, kMasks>& masks) { masks_ = masks; }

    // Whether item `item` (0-based, over all items of the menu including
    // separators) of top menu `top` (index in the tree) is enabled outside
    // supervisor mode. topHidden: which top menus are hidden now; the masks
    // go to the visible restricted menus in order, bit n to the n-th item
    // that is not a separator.
    bool enabled(const std::vector<bool>& topHidden, int top, int item) const;

private:
    std::array<uint8_t, kMasks> masks_{};
};

} // namespace k4
