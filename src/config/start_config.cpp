#include "config/start_config.h"

#include "baselink/path_types.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace k4 {

namespace {

// The directory as the 60-byte field can hold it.
std::string fieldForm(const std::string& dir) {
    return dir.substr(0, sizeof(ConfigBlock::base_dir) - 1);
}

bool belongsHere(const ConfigBlock& block, const std::string& dir) {
    char stored[sizeof block.base_dir + 1] = {};
    std::memcpy(stored, block.base_dir, sizeof block.base_dir);
    return ::strncasecmp(fieldForm(dir).c_str(), stored, sizeof block.base_dir) == 0;
}

} // namespace

int StartConfig(Config& config, int first, SerialStartStep& serial, PathTypeTable& pathTypes) {
    ConfigBlock& block = config.block();
    if (first && config.LoadConfig(1) != 0) return kStartConfigFileFailed;

    // An installation moved to another directory takes the new one.
    const std::string here = config.dataDir().path();
    if (!belongsHere(block, here)) {
        std::memset(block.base_dir, 0, sizeof block.base_dir);
        const std::string field = fieldForm(here);
        std::memcpy(block.base_dir, field.data(), field.size());
        if (config.SaveConfig(first) != 0 || config.LoadConfig(first) != 0)
            return kStartConfigFileFailed;
    }

    for (auto& base : block.bases) base.flags &= static_cast<uint8_t>(~kBaseRunTimeFlags);

    if (serial.openSerialPorts(block) != 0) {
        serial.closeSerialPorts(block);
        return kStartConfigPortsFailed;
    }
    serial.setLinkDelays(block.send_delay, block.recv_delay);

    int result = kStartConfigOk;
    if (block.periods.tk != 0) {
        pathTypes.applyConfigPeriods(block.periods, block.periods_irregular != 0);
    } else {
        pathTypes.storeConfigPeriods(block.periods);
        if (config.SaveConfig(0) != 0) result = kStartConfigFileFailed;
    }

    if (block.tones[0][0] == 0) {
        for (auto& profile : block.tones)
            std::copy(std::begin(kDefaultToneProfile), std::end(kDefaultToneProfile), profile);
        if (config.SaveConfig(0) != 0) return kStartConfigFileFailed;
    }
    return result;
}

} // namespace k4
