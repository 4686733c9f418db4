#include "net/udp_settings.h"

#include "net/ip_text.h"

#include <cstdlib>
#include <sstream>

namespace k4 {

std::optional<UdpSettings> UdpSettings::parse(const std::string& value, std::string* error) {
    UdpSettings s;
    std::string ports = value;
    if (const auto at = value.find('@'); at != std::string::npos) {
        ports = value.substr(0, at);
        s.bindAddress = value.substr(at + 1);
        if (!parseDottedIp(s.bindAddress)) {
            if (error) *error = "nieprawidłowy adres \"" + s.bindAddress + "\"";
            return std::nullopt;
        }
    }
    uint16_t* fields[3] = {&s.textPort, &s.vgprsPort, &s.ethernetPort};
    std::istringstream in(ports);
    std::string part;
    int n = 0;
    while (std::getline(in, part, ',')) {
        if (n >= 3 || part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(part) < 1 || std::stoi(part) > 65535) {
            n = -1;
            break;
        }
        *fields[n++] = static_cast<uint16_t>(std::stoi(part));
    }
    if (n != 3) {
        if (error) *error = "oczekiwane trzy porty \"TEKST,VGPRS,ETHERNET[@ADRES]\", jest \"" + value + "\"";
        return std::nullopt;
    }
    return s;
}

std::optional<UdpSettings> UdpSettings::fromEnvironment(std::string* error) {
    const char* value = std::getenv(kEnvironmentVariable);
    if (!value || !*value) return UdpSettings{};
    return parse(value, error);
}

} // namespace k4
