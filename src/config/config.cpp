#include "config/config.h"

#include "platform/file.h"

#include <cstring>

namespace k4 {

namespace {

// The previous generation kept 35-byte base entries; they move to 43-byte
// spacing, each keeping its 35 bytes.
void upgradePreviousLayout(const uint8_t* previous, ConfigBlock& block) {
    auto* bytes = reinterpret_cast<uint8_t*>(&block);
    std::memcpy(bytes, previous, kConfigGeneralSize);
    for (int i = 0; i < kBaseEntries; ++i) {
        uint8_t* entry = bytes + kConfigGeneralSize + i * sizeof(BaseEntry);
        std::memcpy(entry, previous + kConfigGeneralSize + i * kPreviousBaseEntrySize,
                    kPreviousBaseEntrySize);
        // The old entries had no Ethernet fields; whatever stood there would
        // read as an Ethernet address of the base.
        std::memset(entry + kPreviousBaseEntrySize, 0,
                    sizeof(BaseEntry) - kPreviousBaseEntrySize);
    }
}

} // namespace

Config::Config(const DataDir& dir) : dir_(dir) {}

int Config::LoadConfig(int full) {
    std::string data;
    if (!readWholeFile(path(), data, &error_)) return -1;
    if (full) {
        ConfigBlock loaded = block_;
        if (data.size() >= kConfigSize) {
            std::memcpy(&loaded, data.data(), kConfigSize);
            previousLayout_ = false;
        } else if (data.size() >= kConfigPreviousSize) {
            upgradePreviousLayout(reinterpret_cast<const uint8_t*>(data.data()), loaded);
            previousLayout_ = true;
        } else {
            error_ = "conf: " + std::to_string(data.size()) + " B, za krótki";
            return -1;
        }
        block_ = loaded;
        return 0;
    }
    if (data.size() < kConfigGeneralSize) {
        error_ = "conf: " + std::to_string(data.size()) + " B, za krótki";
        return -1;
    }
    std::memcpy(&block_, data.data(), kConfigGeneralSize);
    return 0;
}

int Config::SaveConfig(int full) {
    // "conf" is installed with the system and never created here; what the
    // file holds beyond the written part stays as it is.
    std::string image;
    if (!readWholeFile(path(), image, &error_)) return -1;
    const size_t written = full ? kConfigSize : kConfigGeneralSize;
    if (image.size() < written) image.resize(written);
    std::memcpy(image.data(), &block_, written);
    if (!replaceFileDurably(path(), image, &error_)) return -1;
    return 0;
}

} // namespace k4
