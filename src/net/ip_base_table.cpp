#include "net/ip_base_table.h"

#include "database/text_edge.h"

#include <cstdio>

namespace k4 {

namespace {

constexpr char kOperatorLetters[] = {0, 'P', 'O', 'E'};

} // namespace

IpBaseRow rowOfEntry(const std::string& entry) {
    IpBaseRow row;
    row.address = normaliseAddress(entry);
    const auto semicolon = entry.find(';');
    if (semicolon == std::string::npos) return row;
    const char letter = semicolon + 1 < entry.size() ? entry[semicolon + 1] : '\0';
    for (int i = 1; i <= 3; ++i)
        if (letter == kOperatorLetters[i]) row.gsmOperator = i;
    row.transmitter = semicolon + 2 < entry.size() && entry[semicolon + 2] == 'N';
    return row;
}

std::string entryOfRow(const IpBaseRow& row) {
    std::string a;
    for (char c : row.address)
        if (c != ' ') a += c;
    if (!a.empty() && a[0] == '.') a = "0" + a;
    std::string address;
    for (size_t i = 0; i < a.size(); ++i) {
        address += a[i];
        // An empty octet (a "." followed by "." or the end) is written 0.
        if (a[i] == '.' && (i + 1 == a.size() || a[i + 1] == '.')) address += '0';
    }
    if (address.empty()) address = "0.0.0.0";
    std::string entry = address;
    if (row.gsmOperator >= 1 && row.gsmOperator <= 3) entry += std::string(";") + kOperatorLetters[row.gsmOperator];
    if (row.transmitter) entry += row.gsmOperator >= 1 && row.gsmOperator <= 3 ? "N" : "; N";
    if (entry.size() > kIpBaseEntryChars) entry.resize(kIpBaseEntryChars);
    return entry;
}

std::string fieldOfAddress(const std::string& normalised) {
    std::string field;
    size_t start = 0;
    for (int k = 0; k < 4; ++k) {
        const size_t dot = normalised.find('.', start);
        std::string octet = normalised.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (octet.size() > 3) octet.resize(3);
        octet.resize(3, ' ');
        field += octet;
        if (k < 3) field += '.';
        if (dot == std::string::npos) start = normalised.size();
        else start = dot + 1;
    }
    return field;
}

int saveIpBaseTable(const DataDir& dir, Messages& messages, const PathSetup& read,
                    const std::array<IpBaseRow, kIpBaseRows>& rows, bool vgprs, bool ethernet) {
    std::FILE* probe = std::fopen(dir.file("pakiety").c_str(), "a");
    if (!probe) {
        messages.ShowNotice(mz("\x03otwarcia pliku"), kNoticeError);
        return -1;
    }
    std::fclose(probe);
    PathSetup setup;
    setup.kinds = read.kinds;
    for (const IpBaseRow& row : rows) {
        setup.entries.push_back(entryOfRow(row));
        setup.addresses.push_back(normaliseAddress(setup.entries.back()));
    }
    setup.vgprs = vgprs;
    setup.ethernet = ethernet;
    return PathFiles(dir, messages).write(setup);
}

} // namespace k4
