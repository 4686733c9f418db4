#pragma once
// The scenario of the simulated module bus: which module sits in which slot,
// and what the modules do, one step a line.
//
//   module SLOT KIND                 a module of KIND (hex: 10 20 30 40 50 60
//                                    70 80 90 A0 B0) in slot 1..7
//   answers SLOT SUB [phone DIGITS]  the subscriber answers probe orders sent
//                                    through that module (dial-up and GSM
//                                    orders name the phone, not the number)
//   silent SLOT SUB [phone DIGITS]   the subscriber never answers
//   report SLOT SUB CODE [SUBSYSTEM [SECTOR]] [phone DIGITS] [badsum]
//                                    the module delivers a report at its next
//                                    normal poll; badsum spoils the checksum
//   call SLOT DIGITS                 a GSM call without data (GSM modules)
//   linefault SLOT N                 the next N polls answered with status 15
//   garbage SLOT N                   the next poll answered with N stray bytes
//   refuse SLOT N                    the next N orders (and forwards) are not
//                                    taken: the module answers 0 to them
//   deaf SLOT                        the module stops answering altogether
//   partner SLOT ADDR [silent]       a receiving base of another centre with
//                                    radio address ADDR listens on this radio
//                                    module: each alarm forwarded to it is
//                                    confirmed at the next poll, or never
//   partner SLOT DIGITS [silent]     on a GSM module: the base of another
//                                    centre with that GSM number answers the
//                                    alarms forwarded to it by SMS with its
//                                    confirmation, or never
//   wait SECONDS                     the bus is served meanwhile
//
// SUB is decimal, CODE, SUBSYSTEM and SECTOR hexadecimal; each module packs
// the values as its kind does (decimal digits where its block has them).
// '#' starts a comment.
#include <array>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace k4::sim {

struct ProbeAnswerer {
    int subscriber = 0;
    std::string phone;
    bool answers = true;
};

// A base of another centre reached over a radio module (by its radio
// address) or a GSM module (by its GSM number).
struct ForwardPartner {
    int radioAddress = 0;
    std::string gsmNumber;
    bool confirms = true;
};

struct SimModule {
    int kind = 0;
    std::vector<ProbeAnswerer> probed;
    std::vector<ForwardPartner> partners;
};

struct ModuleStep {
    enum class Kind { Report, Call, LineFault, Garbage, Wait, Refuse, Deaf };
    Kind kind = Kind::Report;
    int slot = 0; // 0..6
    int subscriber = 0;
    int code = 0;
    int subsystem = 0;
    int sector = 0;
    std::string phone;
    bool badsum = false;
    int count = 0;
    double seconds = 0;
    std::string text; // the line, for the log
};

struct ModuleScenario {
    std::array<std::optional<SimModule>, 7> modules;
    std::vector<ModuleStep> steps;
};

std::optional<ModuleScenario> parseModuleScenario(std::istream& in, std::string& error);

// The name a kind has in the station's module list.
const char* simKindName(int kind);

} // namespace k4::sim
