#include "config/holiday.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

HolidaySetting holidayOf(const ConfigBlock& block, const Clock& clock) {
    const Stamp stamp = static_cast<int32_t>(block.holiday_date);
    const LocalDateTime d = stamp != 0 ? LocalFromStamp(stamp) : localNow(clock);
    return {d.year, d.month, d.day, static_cast<int16_t>(block.holiday_flag) != 0};
}

int saveHoliday(Config& config, const HolidaySetting& holiday, Messages& messages) {
    LocalDateTime midnight;
    midnight.year = holiday.year;
    midnight.month = holiday.month;
    midnight.day = holiday.day;
    const Stamp stamp = StampFromLocal(midnight);
    const LocalDateTime back = LocalFromStamp(stamp);
    if (holiday.year < 1980 || holiday.year > 2100 || back.year != holiday.year || back.month != holiday.month ||
        back.day != holiday.day) {
        messages.ShowNotice(mz("\x03Nieprawidłowa data"), kNoticeInfo);
        return -1;
    }
    ConfigBlock& block = config.block();
    const ConfigBlock before = block;
    block.holiday_date = stamp;
    block.holiday_flag = static_cast<int16_t>(holiday.twoDays ? 1 : 0);
    if (config.SaveConfig(1) != 0) {
        block = before;
        messages.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
