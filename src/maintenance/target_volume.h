#pragma once
// What a copy needs to know of the medium it writes to: how many bytes it
// still takes, and whether it is a removable medium that the operator can
// swap for another (a USB stick, a memory card, a floppy), so that a file
// too big for it goes on in parts on the next one. A fixed disk that is too
// small refuses the file instead.
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

class TargetVolume {
public:
    virtual ~TargetVolume() = default;
    // Free bytes for an ordinary user of the file system holding dir (or
    // its nearest existing parent); nothing when it cannot be found out.
    virtual std::optional<uint64_t> freeBytes(const std::string& dir) = 0;
    virtual bool removable(const std::string& dir) = 0;
};

// statvfs for the free space; the block device's "removable" flag in sysfs
// (that of the whole disk for a partition) for the kind of medium.
class SystemVolumes final : public TargetVolume {
public:
    std::optional<uint64_t> freeBytes(const std::string& dir) override;
    bool removable(const std::string& dir) override;
};

// The nearest directory at or above dir that exists (dir itself when it
// does); "/" at worst.
std::string existingAncestor(const std::string& dir);

} // namespace k4
