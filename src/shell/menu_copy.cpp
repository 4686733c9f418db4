#include "shell/menu_copy.h"

#include "shell/menu_tree.h"

namespace k4 {

// Read from "menus" rather than from the window's items: in supervisor mode,
// where the dialog is opened, the window has every item enabled, and a copy
// of that would lift every restriction at the next "&Ustaw".
std::vector<MenuCopyTop> menuCopy(const DataDir& dir) {
    MenuRestrictions restrictions;
    restrictions.load(dir);
    const auto& tree = mainMenuTree();
    std::vector<bool> topHidden;
    for (const TopMenuDef& top : tree) topHidden.push_back(top.hidden);
    std::vector<MenuCopyTop> copy;
    const int restricted = static_cast<int>(tree.size()) - kUnrestrictedTopMenus;
    for (int t = 0; t < restricted && copy.size() < size_t(MenuRestrictions::kMasks - 1); ++t) {
        const TopMenuDef& top = tree[size_t(t)];
        if (top.hidden) continue;
        MenuCopyTop shown{top.caption, {}};
        for (size_t i = 0; i < top.items.size(); ++i) {
            const MenuItemDef& item = top.items[i];
            if (item.separator) continue;
            shown.items.push_back({item.caption, restrictions.enabled(topHidden, t, int(i)), item.hidden});
        }
        copy.push_back(std::move(shown));
    }
    return copy;
}

} // namespace k4
