#pragma once
// The three UDP channels' ports, and where they listen. The ports are the
// devices' own (the bases answer on 7024, the transmitters on 8024 and
// 1024); KESTREL4_UDP_PORTS moves them for tests and for a simulator that
// runs beside a live station on one host: "TEXT,VGPRS,ETHERNET" with an
// optional "@ADDRESS" to listen on one address only, e.g.
// "27024,21024,28024@127.0.0.2". Each channel sends to its own port number
// at the far end, as the devices expect.
#include <cstdint>
#include <optional>
#include <string>

namespace k4 {

struct UdpSettings {
    static constexpr const char* kEnvironmentVariable = "KESTREL4_UDP_PORTS";

    std::string bindAddress; // empty: every IPv4 address of the host
    uint16_t textPort = 7024;
    uint16_t vgprsPort = 1024;
    uint16_t ethernetPort = 8024;

    // The settings a value of the variable gives; nothing (and why) when
    // the value is not of the form.
    static std::optional<UdpSettings> parse(const std::string& value, std::string* error);
    // The variable's settings, the standard ones when it is not set.
    static std::optional<UdpSettings> fromEnvironment(std::string* error);
};

} // namespace k4
