#pragma once
// "nadawcy.txt" in the data directory: when the technician writes it, the
// networks (CIDR, "10.1.0.0/16", or a single address) whose transmitters
// may report over the binary channels. One network a line; "#" starts a
// comment. Without the file every sender is taken, as transmitters on
// changing GPRS addresses need.
#include "net/ip_text.h"
#include "platform/data_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace k4 {

class AllowedSenders {
public:
    static constexpr const char* kFileName = "nadawcy.txt";
    static constexpr size_t kMaxNetworks = 256;

    // Reads the file again. The lines that are not a network, in the
    // order met (the technician hears of them), are returned.
    std::vector<std::string> load(const DataDir& dir);
    // From text, for tests and for load.
    std::vector<std::string> parse(const std::string& text);

    bool listed() const { return listed_; }
    bool allows(const std::string& sender) const;
    size_t networks() const { return networks_.size(); }

private:
    struct Network {
        uint32_t base = 0;
        uint32_t mask = 0;
    };
    bool listed_ = false;
    std::vector<Network> networks_;
};

} // namespace k4
