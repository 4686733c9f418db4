#pragma once
// The blocks a simulated module sends, built from a subscriber, a code, a
// subsystem and a sector the way each module kind packs them; and the
// reading of the orders the station sends to a module.
#include <cstdint>
#include <string>
#include <vector>

namespace k4::sim {

struct SimBlock {
    int status = 1; // the status byte that announces it
    std::vector<uint8_t> bytes;
};

SimBlock simReportBlock(int kind, int subscriber, int code, int subsystem, int sector, const std::string& phone);
// The answer to a probe order: the order code echoed as the kind does.
SimBlock simProbeAnswer(int kind, int subscriber, int order, const std::string& phone);
// A GSM call with no data: the caller's number alone.
SimBlock simBareCall(const std::string& phone);
// The confirmation a receiving base sends by SMS for an alarm forwarded to
// it over GSM: status 5, its own number, the subscriber, the parameter of
// the forward.
SimBlock simGsmConfirmation(const std::string& baseNumber, int subscriber, int gsmParam);

// What a forwarded alarm (the 11 bytes of a GSM forward) names.
struct SimGsmForward {
    std::string number; // the base's GSM number
    int gsmParam = 0;
    int subscriber = 0;
};
SimGsmForward readGsmForward(const std::vector<uint8_t>& order);

// How many order bytes (without the checksum) follow status 2, once the
// first ones have come; 0 while that is not known yet.
int simOrderLength(int kind, int mode, const std::vector<uint8_t>& soFar);

struct SimOrder {
    int subscriber = -1; // when the order names it
    std::string phone;   // when the order names a telephone number
    int code = 0;
};
SimOrder readSimOrder(int kind, int mode, const std::vector<uint8_t>& order);

} // namespace k4::sim
