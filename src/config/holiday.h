#pragma once
// The next holiday of the configuration: the day whose arming schedule is
// the holiday entry instead of the weekday's, and whether the holiday lasts
// two days. The operator sets it ahead of each holiday.
#include "config/config.h"
#include "platform/clock.h"

namespace k4 {

class Messages;

struct HolidaySetting {
    int year = 0;
    int month = 0;
    int day = 0;
    bool twoDays = false;
};

// As the block holds it; a block that never had one gives the date of now.
HolidaySetting holidayOf(const ConfigBlock& block, const Clock& clock);
// Into the block (the stamp of the day's midnight) and "conf" at once. A
// date that does not exist is refused with a message; a save that fails is
// shown. 0 or -1; on -1 the block is as it was.
int saveHoliday(Config& config, const HolidaySetting& holiday, Messages& messages);

} // namespace k4
