#include "sim/module_scenario.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace k4::sim {

namespace {

bool parseNumber(const std::string& word, int base, int max, int& value) {
    if (word.empty() || word.size() > 8) return false;
    for (char c : word) {
        const bool ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    value = static_cast<int>(std::stol(word, nullptr, base));
    return value <= max;
}

bool isKind(int kind) { return kind >= 0x10 && kind <= 0xB0 && (kind & 0x0F) == 0; }

bool digitsOnly(const std::string& s) {
    return !s.empty() && s.size() <= 9 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

const char* simKindName(int kind) {
    switch (kind) {
    case 0x10: return "OTR";
    case 0x20: return "OTT";
    case 0x30: return "NTT";
    case 0x40: return "OTS";
    case 0x50: return "ADE";
    case 0x60: return "ONT";
    case 0x70: return "CID";
    case 0x80: return "OTG";
    case 0x90: return "ONG";
    case 0xA0: return "LTR";
    case 0xB0: return "GPR";
    default: return "???";
    }
}

std::optional<ModuleScenario> parseModuleScenario(std::istream& in, std::string& error) {
    ModuleScenario scenario;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "wiersz " + std::to_string(number) + ": " + what;
        return std::nullopt;
    };
    while (std::getline(in, line)) {
        ++number;
        const auto hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb)) continue;
        ModuleStep step;
        step.text = line.substr(line.find_first_not_of(" \t"));
        while (!step.text.empty() && std::isspace(static_cast<unsigned char>(step.text.back()))) step.text.pop_back();
        if (verb == "wait") {
            std::string s;
            if (!(words >> s)) return fail("oczekiwano: liczba sekund");
            try {
                step.seconds = std::stod(s);
            } catch (...) {
                return fail("zła liczba sekund " + s);
            }
            step.kind = ModuleStep::Kind::Wait;
            scenario.steps.push_back(step);
            continue;
        }
        std::string slotWord;
        int slot = 0;
        if (!(words >> slotWord) || !parseNumber(slotWord, 10, 7, slot) || slot < 1)
            return fail("oczekiwano: gniazdo 1..7");
        step.slot = slot - 1;
        auto& module = scenario.modules[static_cast<size_t>(step.slot)];
        if (verb == "module") {
            std::string kindWord;
            int kind = 0;
            if (!(words >> kindWord) || !parseNumber(kindWord, 16, 0xFF, kind) || !isKind(kind))
                return fail("zły rodzaj pakietu " + kindWord);
            module = SimModule{kind, {}};
            continue;
        }
        if (!module) return fail("w gnieździe " + slotWord + " nie ma pakietu");
        std::vector<std::string> rest;
        for (std::string w; words >> w;) rest.push_back(w);
        auto takePhone = [&](std::string& phone) {
            const auto at = std::find(rest.begin(), rest.end(), "phone");
            if (at == rest.end()) return true;
            if (at + 1 == rest.end() || !digitsOnly(*(at + 1))) return false;
            phone = *(at + 1);
            rest.erase(at, at + 2);
            return true;
        };
        if (verb == "answers" || verb == "silent") {
            ProbeAnswerer a;
            a.answers = verb == "answers";
            if (!takePhone(a.phone)) return fail("zły numer telefonu");
            if (rest.size() != 1 || !parseNumber(rest[0], 10, 9999, a.subscriber)) return fail("zły numer abonenta");
            module->probed.push_back(a);
            continue;
        }
        if (verb == "partner") {
            ForwardPartner partner;
            const auto silent = std::find(rest.begin(), rest.end(), "silent");
            if (silent != rest.end()) {
                partner.confirms = false;
                rest.erase(silent);
            }
            if (module->kind == 0x90) {
                // Nine digits: the caller's number a GSM module reports.
                if (rest.size() != 1 || !digitsOnly(rest[0]) || rest[0].size() != 9)
                    return fail("oczekiwano: numer GSM bazy, 9 cyfr");
                partner.gsmNumber = rest[0];
            } else if (rest.size() != 1 || !parseNumber(rest[0], 16, 0xF, partner.radioAddress) ||
                       partner.radioAddress == 0) {
                return fail("oczekiwano: adres radiowy bazy 1..F");
            }
            module->partners.push_back(partner);
            continue;
        }
        if (verb == "deaf") {
            if (!rest.empty()) return fail("deaf nie ma argumentów");
            step.kind = ModuleStep::Kind::Deaf;
            scenario.steps.push_back(step);
            continue;
        }
        if (verb == "refuse") {
            if (rest.size() != 1 || !parseNumber(rest[0], 10, 1000, step.count)) return fail("oczekiwano: liczba");
            step.kind = ModuleStep::Kind::Refuse;
            scenario.steps.push_back(step);
            continue;
        }
        if (verb == "report") {
            if (!takePhone(step.phone)) return fail("zły numer telefonu");
            const auto bad = std::find(rest.begin(), rest.end(), "badsum");
            if (bad != rest.end()) {
                step.badsum = true;
                rest.erase(bad);
            }
            if (rest.size() < 2 || rest.size() > 4) return fail("oczekiwano: abonent kod [podsystem [sektor]]");
            if (!parseNumber(rest[0], 10, 9999, step.subscriber)) return fail("zły numer abonenta " + rest[0]);
            if (!parseNumber(rest[1], 16, 0xFFF, step.code)) return fail("zły kod " + rest[1]);
            if (rest.size() > 2 && !parseNumber(rest[2], 16, 0xFF, step.subsystem)) return fail("zły podsystem");
            if (rest.size() > 3 && !parseNumber(rest[3], 16, 0xFFF, step.sector)) return fail("zły sektor");
            step.kind = ModuleStep::Kind::Report;
        } else if (verb == "call") {
            if (rest.size() != 1 || !digitsOnly(rest[0])) return fail("oczekiwano: numer telefonu");
            step.phone = rest[0];
            step.kind = ModuleStep::Kind::Call;
        } else if (verb == "linefault" || verb == "garbage") {
            if (rest.size() != 1 || !parseNumber(rest[0], 10, 1000, step.count)) return fail("oczekiwano: liczba");
            step.kind = verb == "linefault" ? ModuleStep::Kind::LineFault : ModuleStep::Kind::Garbage;
        } else {
            return fail("nieznany krok " + verb);
        }
        scenario.steps.push_back(step);
    }
    return scenario;
}

} // namespace k4::sim
