#pragma once
// The configuration block of one station and the file "conf" behind it. The
// block lives from start to stop; every part reads its settings here, and a
// dialog that changes a setting writes the block back at once.
#include "config/config_block.h"
#include "platform/data_dir.h"

#include <string>

namespace k4 {

class Config {
public:
    explicit Config(const DataDir& dir);

    ConfigBlock& block() { return block_; }
    const ConfigBlock& block() const { return block_; }
    const DataDir& dataDir() const { return dir_; }
    std::string path() const { return dir_.file("conf"); }

    // full = 1: the whole block (or the 979-byte previous layout, upgraded);
    // full = 0: only the general part. 0 or -1; on -1 the block is unchanged.
    int LoadConfig(int full);
    // full = 1: the whole block, full = 0: only the general part. "conf" must
    // exist. The file is replaced in one durable step. 0 or -1.
    int SaveConfig(int full);

    // Whether the last full load found the previous layout.
    bool loadedPreviousLayout() const { return previousLayout_; }
    // What went wrong in the last failed load or save.
    const std::string& lastError() const { return error_; }

private:
    DataDir dir_;
    ConfigBlock block_{};
    bool previousLayout_ = false;
    std::string error_;
};

} // namespace k4
