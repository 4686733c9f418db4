#pragma once
// The copy of the main menu that "Konfiguracja" presents for the menu
// restrictions: the restricted top menus that are visible, their items
// checked unless "menus" locks them.
#include "config/config_form.h"
#include "platform/data_dir.h"

#include <vector>

namespace k4 {

std::vector<MenuCopyTop> menuCopy(const DataDir& dir);

} // namespace k4
