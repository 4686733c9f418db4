#include "net/allowed_senders.h"

#include "platform/file.h"

#include <sstream>

namespace k4 {

namespace {

uint32_t valueOf(const Ipv4& a) {
    return (uint32_t{a[0]} << 24) | (uint32_t{a[1]} << 16) | (uint32_t{a[2]} << 8) | a[3];
}

std::string trimmed(std::string s) {
    if (const auto hash = s.find('#'); hash != std::string::npos) s.resize(hash);
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

} // namespace

std::vector<std::string> AllowedSenders::load(const DataDir& dir) {
    const std::string path = dir.file(kFileName);
    networks_.clear();
    listed_ = false;
    if (!fileExists(path)) return {};
    std::string text;
    if (!readWholeFile(path, text, nullptr)) {
        // A list that cannot be read lets nobody in: the technician wrote it
        // to keep senders out, not to be ignored.
        listed_ = true;
        return {std::string(kFileName)};
    }
    return parse(text);
}

std::vector<std::string> AllowedSenders::parse(const std::string& text) {
    networks_.clear();
    listed_ = true;
    std::vector<std::string> bad;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::string entry = trimmed(line);
        if (entry.empty()) continue;
        const auto slash = entry.find('/');
        const auto address = parseDottedIp(entry.substr(0, slash));
        int bits = 32;
        bool ok = address.has_value();
        if (ok && slash != std::string::npos) {
            const std::string b = entry.substr(slash + 1);
            ok = !b.empty() && b.size() <= 2 && b.find_first_not_of("0123456789") == std::string::npos;
            if (ok) bits = std::stoi(b);
            ok = ok && bits <= 32;
        }
        if (!ok || networks_.size() >= kMaxNetworks) {
            bad.push_back(entry);
            continue;
        }
        const uint32_t mask = bits == 0 ? 0 : ~uint32_t{0} << (32 - bits);
        networks_.push_back({valueOf(*address) & mask, mask});
    }
    return bad;
}

bool AllowedSenders::allows(const std::string& sender) const {
    if (!listed_) return true;
    const auto ip = parseDottedIp(sender);
    if (!ip) return false;
    const uint32_t v = valueOf(*ip);
    for (const Network& n : networks_)
        if ((v & n.mask) == n.base) return true;
    return false;
}

} // namespace k4
