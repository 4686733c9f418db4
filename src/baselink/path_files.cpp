#include "baselink/path_files.h"

#include "database/text_edge.h"
#include "platform/file.h"

#include <cstdio>
#include <sstream>

namespace k4 {

namespace {

constexpr const char* kZeroAddress = "0.0.0.0";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool isOption(const std::string& line, const char* word) { return line.rfind(word, 0) == 0; }

} // namespace

std::string normaliseAddress(const std::string& line) {
    std::string raw = line.substr(0, line.find_first_of(";\r\n"));
    if (raw.size() > 16) raw.resize(16);
    std::string out;
    std::string part;
    auto flush = [&] {
        const auto first = part.find_first_not_of('0');
        out += first == std::string::npos ? std::string("0") : part.substr(first);
        part.clear();
    };
    for (char c : raw) {
        if (c == '.') {
            flush();
            out += '.';
        } else if (c != ' ' && c != '\t') {
            part += c;
        }
    }
    flush();
    return out;
}

PathFiles::PathFiles(const DataDir& dir, Messages& messages) : dir_(dir), messages_(messages) {}

int PathFiles::readPackip(PathSetup& setup) {
    const std::string path = dir_.file("packip");
    std::string text;
    if (!fileExists(path)) {
        for (int i = 0; i < kPackipLines; ++i) text += std::string(kZeroAddress) + "\n";
        std::string error;
        if (!replaceFileDurably(path, text, &error)) {
            messages_.ShowNotice(mz("\x03otwarcia pliku"), kNoticeError);
            return -1;
        }
    } else if (!readWholeFile(path, text, nullptr)) {
        messages_.ShowNotice(mz("\x03otwarcia pliku"), kNoticeError);
        return -1;
    }
    setup.addresses.clear();
    for (const std::string& line : splitLines(text)) {
        if (isOption(line, "ptarvik")) setup.vgprs = true;
        else if (isOption(line, "ethernet")) setup.ethernet = true;
        else if (static_cast<int>(setup.addresses.size()) < kPackipLines) setup.addresses.push_back(normaliseAddress(line.substr(0, 19)));
    }
    setup.inUse = 0;
    for (int i = 0; i < static_cast<int>(setup.addresses.size()); ++i)
        if (setup.addresses[static_cast<size_t>(i)] != kZeroAddress) setup.inUse = i + 1;
    return 0;
}

int PathFiles::read(PathSetup& setup) {
    const std::string path = dir_.file("pakiety");
    if (!fileExists(path)) {
        PathSetup fromPackip;
        if (readPackip(fromPackip) != 0) return -1;
        fromPackip.addresses.resize(kAddressLines, kZeroAddress);
        fromPackip.kinds.fill(0);
        if (write(fromPackip) != 0) return -1;
    }
    std::string text;
    if (!readWholeFile(path, text, nullptr)) {
        messages_.ShowNotice(mz("\x03otwarcia pliku pakiety"), kNoticeError);
        return -1;
    }
    const std::vector<std::string> lines = splitLines(text);
    int version = 0, modules = 0, addressLines = 0;
    if (lines.empty() || std::sscanf(lines[0].c_str(), "%d %d %d", &version, &modules, &addressLines) < 2 ||
        modules < 0 || modules > 100) {
        messages_.ShowNotice(mz("\x03odczytu pliku pakiety"), kNoticeError);
        return -1;
    }
    setup = PathSetup{};
    size_t at = 1;
    for (int s = 0; s < modules && at < lines.size(); ++s, ++at) {
        int number = 0;
        unsigned kind = 0;
        if (s < kModuleLines && std::sscanf(lines[at].c_str(), "%d %X", &number, &kind) == 2)
            setup.kinds[static_cast<size_t>(s)] = static_cast<int>(kind & 0xFF);
    }
    bool counting = true;
    for (; at < lines.size(); ++at) {
        const std::string& line = lines[at];
        if (isOption(line, "ptarvik")) setup.vgprs = true;
        else if (isOption(line, "ethernet")) setup.ethernet = true;
        else if (static_cast<int>(setup.addresses.size()) < kAddressLines) {
            std::string address = normaliseAddress(line);
            // Addresses after the first unused line are not reached.
            if (address == kZeroAddress) counting = false;
            else if (counting) ++setup.inUse;
            setup.addresses.push_back(std::move(address));
            setup.entries.push_back(line.substr(0, 19));
        }
    }
    return 0;
}

int PathFiles::write(const PathSetup& setup) {
    std::string text;
    char line[64];
    std::snprintf(line, sizeof line, "1 %d %d\n", kModuleLines, kAddressLines);
    text += line;
    for (int s = 0; s < kModuleLines; ++s) {
        const int kind = setup.kinds[static_cast<size_t>(s)];
        if (kind) std::snprintf(line, sizeof line, "%d %X\n", s + 1, kind);
        else std::snprintf(line, sizeof line, "%d BRAK\n", s + 1);
        text += line;
    }
    for (int k = 0; k < kAddressLines; ++k) {
        // The lines as the IP base table dialog wrote them, with their marks.
        const auto at = static_cast<size_t>(k);
        text += at < setup.entries.size()     ? setup.entries[at]
                : at < setup.addresses.size() ? setup.addresses[at]
                                              : std::string(kZeroAddress);
        text += '\n';
    }
    if (setup.vgprs) text += "ptarvik\n";
    if (setup.ethernet) text += "ethernet\n";
    std::string error;
    if (!replaceFileDurably(dir_.file("pakiety"), text, &error)) {
        messages_.ShowNotice(mz("\x03zapisu pliku pakiety"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
