#include "sim/far_base.h"

#include <chrono>
#include <cstdio>
#include <ostream>

namespace k4::sim {

namespace {

using Clock = std::chrono::steady_clock;

std::string chars(const std::vector<uint8_t>& f, size_t from, size_t count) {
    std::string s;
    for (size_t i = from; i < from + count && i < f.size(); ++i) s += static_cast<char>(f[i]);
    return s;
}

} // namespace

std::string describeForwardFrame(const std::vector<uint8_t>& f) {
    if (f.size() == 4 && f[1] == 0) return "ramka pusta (test)";
    if (f.size() >= 19 && f[1] == 15 && f[2] == 0x11 && f[8] == 0x14) {
        const std::string subscriber = chars(f, 4, 4);
        if (subscriber == "AAAA") return "ramka wypełniająca (test AA)";
        return "abonent " + subscriber + " kod " + chars(f, 9, 3) + " podsystem " + chars(f, 12, 2) + " sektor " +
               chars(f, 14, 3);
    }
    return "ramka o nieznanej treści";
}

FarBaseResult playFarBase(PtyLink& link, FarBaseAnswer answer, double seconds, const std::atomic<bool>* stop,
                          std::ostream& log) {
    FarBaseResult result;
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    std::vector<uint8_t> frame;
    while ((seconds <= 0 || Clock::now() < end) && !(stop && stop->load())) {
        const auto b = link.read(std::chrono::milliseconds(200));
        if (!b) {
            if (!frame.empty()) {
                ++result.badFrames;
                log << "ramka urwana po " << frame.size() << " B" << std::endl;
                frame.clear();
            }
            continue;
        }
        if (frame.empty() && *b != 0x0A) continue;
        frame.push_back(*b);
        if (frame.size() < 2 || frame.size() < static_cast<size_t>(frame[1]) + 4) continue;
        uint8_t sum = 0;
        for (size_t i = 0; i + 1 < frame.size(); ++i) sum = static_cast<uint8_t>(sum + frame[i]);
        const bool right = sum == frame.back() && frame[frame.size() - 2] == 0x0D;
        const std::string text = describeForwardFrame(frame);
        if (!right) {
            ++result.badFrames;
            log << "zła suma kontrolna: " << text << std::endl;
            link.write({0x0E, 0x0D});
        } else {
            ++result.frames;
            if (text.rfind("abonent", 0) == 0) ++result.forwards;
            else ++result.tests;
            switch (answer) {
            case FarBaseAnswer::Accept: link.write({0x0A, 0x0D}); break;
            case FarBaseAnswer::Refuse: link.write({0x0E, 0x0D}); break;
            case FarBaseAnswer::Silent: break;
            }
            log << text << (answer == FarBaseAnswer::Accept ? " -> przyjęta" : answer == FarBaseAnswer::Refuse ? " -> odrzucona" : " -> bez odpowiedzi") << std::endl;
        }
        frame.clear();
    }
    return result;
}

} // namespace k4::sim
