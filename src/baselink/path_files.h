#pragma once
// The two set-up files of the path table: "packip", the addresses of the
// Ethernet receiving bases, and "pakiety", what the last module check found
// and which addresses and virtual channels are wanted.
#include "messages/messages.h"
#include "platform/data_dir.h"

#include <array>
#include <string>
#include <vector>

namespace k4 {

constexpr int kModuleLines = 7;
constexpr int kAddressLines = 12;
constexpr int kPackipLines = 10;

// An address line as it is used: up to the first ';' or line end, at most
// 16 characters, every part without its leading zeros ("010" is 10, "000"
// is 0, an empty part 0).
std::string normaliseAddress(const std::string& line);

struct PathSetup {
    std::array<int, kModuleLines> kinds{}; // 0 for an empty slot
    std::vector<std::string> addresses;    // the lines as read, normalised
    std::vector<std::string> entries;      // the same lines as written (operator and transmitter marks)
    int inUse = 0;                         // up to the first "0.0.0.0"
    bool vgprs = false;                    // "ptarvik"
    bool ethernet = false;                 // "ethernet"
};

class PathFiles {
public:
    PathFiles(const DataDir& dir, Messages& messages);

    // "pakiety", created from "packip" (itself created when missing) when it
    // is not there. 0, or -1 after the operator was told.
    int read(PathSetup& setup);
    // Writes "pakiety" with the modules found and the addresses given.
    int write(const PathSetup& setup);

private:
    int readPackip(PathSetup& setup);

    DataDir dir_;
    Messages& messages_;
};

} // namespace k4
