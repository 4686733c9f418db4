#include "sim/base_player.h"

#include <cstdio>
#include <ostream>
#include <random>
#include <thread>

namespace k4::sim {

namespace {

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char part[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text.empty() ? "-" : text;
}

// The time record of a "time now" step gets the moment it is sent.
std::vector<uint8_t> withStampNow(const BaseStep& step) {
    std::vector<uint8_t> records(step.bytes.begin() + 2, step.bytes.end() - 2);
    for (size_t i = 0; i + 12 < records.size(); ++i) {
        if (records[i] == 0x13) {
            const std::string now = stampDigitsNow();
            std::copy(now.begin(), now.end(), records.begin() + static_cast<long>(i) + 1);
            break;
        }
    }
    return baseFrameBytes(records, step.checksumSkew);
}

} // namespace

PlayResult playBaseScenario(PtyLink& link, const std::vector<BaseStep>& steps, const PlayOptions& options,
                            std::ostream& log) {
    PlayResult result;
    std::mt19937 random(4242);
    int loopsLeft = options.loops;
    for (size_t i = 0; i < steps.size(); ++i) {
        const BaseStep& step = steps[i];
        switch (step.kind) {
        case BaseStep::Kind::Wait:
            std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(step.seconds * 1000)));
            continue;
        case BaseStep::Kind::Loop:
            if (loopsLeft != 0) {
                if (loopsLeft > 0) --loopsLeft;
                i = static_cast<size_t>(-1);
            }
            continue;
        case BaseStep::Kind::Noise: {
            std::vector<uint8_t> noise;
            std::uniform_int_distribution<int> byte(0, 255);
            while (static_cast<int>(noise.size()) < step.count) {
                const int b = byte(random);
                if (b != 0x0A) noise.push_back(static_cast<uint8_t>(b));
            }
            link.write(noise);
            log << "szum: " << step.count << " B\n";
            break;
        }
        case BaseStep::Kind::Raw: {
            link.write(step.bytes);
            const auto answer = link.readUntilQuiet(std::chrono::milliseconds(options.answerTimeoutMs / 4),
                                                    std::chrono::milliseconds(150));
            log << step.text << " -> " << hex(answer) << '\n';
            break;
        }
        case BaseStep::Kind::Frame: {
            const std::vector<uint8_t> accepted{0x0A, 0x0D}, refused{0x0E, 0x0D};
            std::vector<uint8_t> answer;
            for (int attempt = 0;; ++attempt) {
                const std::vector<uint8_t> bytes = step.stampNow ? withStampNow(step) : step.bytes;
                link.write(bytes);
                ++result.sends;
                answer = link.readAnswer(std::chrono::milliseconds(options.answerTimeoutMs));
                if (answer == accepted || step.expect != BaseStep::Expect::Accept || attempt >= options.repeats) break;
                log << step.text << " -> " << (answer == refused ? "odrzucona" : "brak odpowiedzi")
                    << ", powtórzenie " << attempt + 1 << '\n';
                if (options.intervalMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
            }
            ++result.frames;
            if (answer == accepted) ++result.accepted;
            const char* verdict = answer == accepted ? "przyjęta" : answer == refused ? "odrzucona" : "brak odpowiedzi";
            const bool ok = (step.expect == BaseStep::Expect::Accept && answer == accepted) ||
                            (step.expect == BaseStep::Expect::Refuse && answer == refused);
            if (ok) ++result.asExpected;
            else ++result.failed;
            if (!options.quiet || !ok)
                log << step.text << " -> " << verdict << " (" << hex(answer) << ")" << (ok ? "" : "  !! NIEZGODNE") << '\n';
            break;
        }
        }
        log.flush();
        if (options.intervalMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMs));
    }
    return result;
}

} // namespace k4::sim
