#include "sim/base_scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <sstream>

namespace k4::sim {

namespace {

bool parseHex(const std::string& word, unsigned& value, unsigned max) {
    if (word.empty() || word.size() > 8) return false;
    for (char c : word)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    value = static_cast<unsigned>(std::stoul(word, nullptr, 16));
    return value <= max;
}

bool allDigits(const std::string& word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void appendChars(std::vector<uint8_t>& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

std::string hexChars(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// "report SUB CODE [SUBSYSTEM [SECTOR]] [phone D] [time T|now]"
bool parseReport(std::istringstream& words, BaseStep& step, std::string& error) {
    std::string sub, code;
    if (!(words >> sub >> code)) {
        error = "oczekiwano: abonent i kod";
        return false;
    }
    std::string subscriberChars;
    if (sub.size() == 4 && !allDigits(sub)) {
        unsigned v;
        if (!parseHex(sub, v, 0xFFFF)) {
            error = "zły numer abonenta " + sub;
            return false;
        }
        subscriberChars = hexChars(v, 4);
    } else {
        if (sub.empty() || sub.size() > 4 || !allDigits(sub)) {
            error = "zły numer abonenta " + sub;
            return false;
        }
        char text[8];
        std::snprintf(text, sizeof text, "%04d", std::stoi(sub));
        subscriberChars = text;
    }
    unsigned codeValue = 0, subsystem = 0, sector = 0;
    if (!parseHex(code, codeValue, 0xFFF)) {
        error = "zły kod " + code;
        return false;
    }
    std::string phone, stamp;
    std::string word;
    int positional = 0;
    while (words >> word) {
        if (word == "phone") {
            if (!(words >> phone) || phone.size() > 9) {
                error = "phone: do 9 cyfr";
                return false;
            }
        } else if (word == "time") {
            if (!(words >> stamp) || (stamp != "now" && stamp.size() != 12)) {
                error = "time: YYMMDDhhmmss albo now";
                return false;
            }
        } else if (positional < 2) {
            unsigned& target = positional == 0 ? subsystem : sector;
            if (!parseHex(word, target, positional == 0 ? 0xFF : 0xFFF)) {
                error = "zła wartość " + word;
                return false;
            }
            ++positional;
        } else {
            error = "nieznane słowo " + word;
            return false;
        }
    }
    std::vector<uint8_t> records;
    if (!phone.empty()) {
        records.push_back(0x10);
        std::string padded = phone;
        padded.resize(9, '\0');
        records.insert(records.end(), padded.begin(), padded.end());
    }
    if (!stamp.empty()) {
        records.push_back(0x13);
        if (stamp == "now") {
            step.stampNow = true;
            appendChars(records, "000000000000");
        } else {
            appendChars(records, stamp);
        }
    }
    records.push_back(0x11);
    records.push_back('2');
    appendChars(records, subscriberChars);
    records.push_back(0x14);
    appendChars(records, hexChars(codeValue, 3) + hexChars(subsystem, 2) + hexChars(sector, 3));
    step.bytes = records; // framed by the caller
    return true;
}

bool parseHexBytes(std::istringstream& words, std::vector<uint8_t>& bytes, std::string& error) {
    std::string word;
    while (words >> word) {
        unsigned v;
        if (!parseHex(word, v, 0xFF)) {
            error = "zły bajt " + word;
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

} // namespace

std::vector<uint8_t> baseFrameBytes(const std::vector<uint8_t>& records, int checksumSkew) {
    std::vector<uint8_t> frame{0x0A, static_cast<uint8_t>(records.size())};
    frame.insert(frame.end(), records.begin(), records.end());
    frame.push_back(0x0D);
    unsigned sum = 0;
    for (uint8_t b : frame) sum += b;
    frame.push_back(static_cast<uint8_t>(sum + static_cast<unsigned>(checksumSkew)));
    return frame;
}

std::string stampDigitsNow() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", tm.tm_year % 100, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

std::optional<std::vector<BaseStep>> parseBaseScenario(std::istream& in, std::string& error) {
    std::vector<BaseStep> steps;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string command;
        if (!(words >> command)) continue;
        BaseStep step;
        step.text = line.substr(line.find_first_not_of(" \t"));
        while (!step.text.empty() && std::isspace(static_cast<unsigned char>(step.text.back()))) step.text.pop_back();
        std::string problem;
        bool ok = true;
        if (command == "report" || command == "badsum") {
            ok = parseReport(words, step, problem);
            if (ok) {
                step.checksumSkew = command == "badsum" ? 1 : 0;
                step.bytes = baseFrameBytes(step.bytes, step.checksumSkew);
                step.expect = command == "badsum" ? BaseStep::Expect::Refuse : BaseStep::Expect::Accept;
            }
        } else if (command == "test") {
            step.bytes = baseFrameBytes({});
            step.expect = BaseStep::Expect::Accept;
        } else if (command == "filler") {
            std::vector<uint8_t> records{0x11};
            records.insert(records.end(), 5, 'A');
            records.push_back(0x14);
            records.insert(records.end(), 8, 'A');
            step.bytes = baseFrameBytes(records);
            step.expect = BaseStep::Expect::Accept;
        } else if (command == "frame") {
            std::vector<uint8_t> records;
            ok = parseHexBytes(words, records, problem) && records.size() <= 158;
            if (ok) {
                step.bytes = baseFrameBytes(records);
                step.expect = BaseStep::Expect::Accept;
            } else if (problem.empty()) {
                problem = "najwyżej 158 bajtów rekordów";
            }
        } else if (command == "raw") {
            step.kind = BaseStep::Kind::Raw;
            ok = parseHexBytes(words, step.bytes, problem) && !step.bytes.empty();
            if (!ok && problem.empty()) problem = "raw: podaj bajty";
        } else if (command == "noise") {
            step.kind = BaseStep::Kind::Noise;
            ok = static_cast<bool>(words >> step.count) && step.count > 0 && step.count <= 10000;
            if (!ok) problem = "noise: liczba bajtów 1..10000";
        } else if (command == "wait") {
            step.kind = BaseStep::Kind::Wait;
            ok = static_cast<bool>(words >> step.seconds) && step.seconds >= 0;
            if (!ok) problem = "wait: liczba sekund";
        } else if (command == "loop") {
            step.kind = BaseStep::Kind::Loop;
        } else {
            ok = false;
            problem = "nieznane polecenie " + command;
        }
        if (!ok) {
            error = "wiersz " + std::to_string(number) + ": " + (problem.empty() ? "błąd" : problem);
            return std::nullopt;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

} // namespace k4::sim
