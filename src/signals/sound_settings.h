#pragma once
// What the "Dźwięki" and "Dźwięki alarmu" dialogs read and store.
#include "config/config_block.h"

#include <array>
#include <string>
#include <vector>

namespace k4 {

// "Sygnał błędu" for category 0, "Alarm" for the others. UTF-8.
std::string soundCategoryText(int category);
// The seven profile bytes as the tone back end's list shows them.
std::string toneProfileLine(const ConfigBlock& config, int category);

// "Koniec" of the file back end: "Graj raz" ticked clears the continuous
// byte, unticked with none sets 84. true when anything changed.
bool storePlayOnce(ConfigBlock& config, const std::vector<bool>& playOnce);

// "Zapisz" of the tone editor: each field read as a number; an empty or
// invalid field gives 84 for frequencies and 24 for durations. true when a
// byte changed.
bool storeToneFields(ConfigBlock& config, int category, const std::array<std::string, 7>& fields);

} // namespace k4
