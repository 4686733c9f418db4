#pragma once
// The lines of "Parametry systemu": a summary of the configuration for the
// operator, at most 20 lines of stored (Mazovia) text.
#include "config/config_block.h"
#include "platform/data_dir.h"

#include <string>
#include <vector>

namespace k4 {

class ParamSys {
public:
    ParamSys(const ConfigBlock& block, const DataDir& dir);
    const std::vector<std::string>& lines() const& { return lines_; }
    // Taken from a temporary (a loop over ParamSys(...).lines()).
    std::vector<std::string> lines() && { return std::move(lines_); }

private:
    std::vector<std::string> lines_;
};

// The free-space text: KB below 999999 KB, MB from there.
std::string freeSpaceText(const std::string& volume, uint64_t freeBytes);

} // namespace k4
