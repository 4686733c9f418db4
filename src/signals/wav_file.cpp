#include "signals/wav_file.h"

#include <fstream>

namespace k4 {
namespace {

void put16(std::string& s, uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
void put32(std::string& s, uint32_t v) {
    put16(s, static_cast<uint16_t>(v & 0xFFFF));
    put16(s, static_cast<uint16_t>(v >> 16));
}
uint32_t get16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8);
}
uint32_t get32(std::string_view b, size_t at) { return get16(b, at) | (get16(b, at + 2) << 16); }

} // namespace

std::string wavBytes(const std::vector<int16_t>& samples, int sampleRate) {
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string s = "RIFF";
    put32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1); // PCM
    put16(s, 1); // mono
    put32(s, static_cast<uint32_t>(sampleRate));
    put32(s, static_cast<uint32_t>(sampleRate) * 2);
    put16(s, 2);
    put16(s, 16);
    s += "data";
    put32(s, dataBytes);
    for (int16_t v : samples) put16(s, static_cast<uint16_t>(v));
    return s;
}

std::string wavBytes8(const std::vector<int16_t>& samples, int sampleRate) {
    const auto dataBytes = static_cast<uint32_t>(samples.size());
    std::string s = "RIFF";
    put32(s, 36 + dataBytes + (dataBytes & 1));
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, 1);
    put32(s, static_cast<uint32_t>(sampleRate));
    put32(s, static_cast<uint32_t>(sampleRate));
    put16(s, 1);
    put16(s, 8);
    s += "data";
    put32(s, dataBytes);
    // 8-bit PCM is unsigned, silence at 128.
    for (int16_t v : samples) s.push_back(static_cast<char>(128 + v / 256));
    if (dataBytes & 1) s.push_back('\x80');
    return s;
}

bool readWavInfo(std::string_view b, WavInfo& info) {
    if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") return false;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string_view id = b.substr(at, 4);
        const uint32_t size = get32(b, at + 4);
        const size_t body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > b.size()) return false;
            if (get16(b, body) != 1) return false; // only PCM
            info.channels = static_cast<int>(get16(b, body + 2));
            info.sampleRate = static_cast<int>(get32(b, body + 4));
            info.bitsPerSample = static_cast<int>(get16(b, body + 14));
            haveFormat = info.channels > 0 && info.sampleRate > 0 && info.bitsPerSample > 0;
        } else if (id == "data") {
            info.dataBytes = size;
            return haveFormat;
        }
        // Chunks are padded to an even size.
        const uint64_t next = static_cast<uint64_t>(body) + size + (size & 1);
        if (next > b.size()) return false;
        at = static_cast<size_t>(next);
    }
    return false;
}

bool readWavFileInfo(const std::string& path, WavInfo& info) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // The header and the chunks before the data fit in the first kilobytes.
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return readWavInfo(head, info);
}

} // namespace k4
