#pragma once
// The rows of the IP base table dialog and the entries of "pakiety" they
// stand for: an address, the base's GSM operator (";P", ";O", ";E") and the
// transmitter mark "N" ("; N" without an operator).
#include "baselink/path_files.h"

#include <array>
#include <string>

namespace k4 {

struct IpBaseRow {
    std::string address; // as the field holds it (blanks allowed)
    int gsmOperator = 0; // 0 none, 1 Plus, 2 Orange, 3 Era
    bool transmitter = false;
};

constexpr int kIpBaseRows = 12;
constexpr size_t kIpBaseEntryChars = 19;

IpBaseRow rowOfEntry(const std::string& entry);
std::string entryOfRow(const IpBaseRow& row);

// The address in the fixed-width form of the edit field: every octet in
// three places, blanks after its digits ("10 .1  .0  .2  ").
std::string fieldOfAddress(const std::string& normalised);

// Writes "pakiety" with the rows and both switches, the modules as they
// were found. The file is opened for appending first: when it cannot be,
// the operator hears "otwarcia pliku" and nothing is saved. 0 or -1.
int saveIpBaseTable(const DataDir& dir, Messages& messages, const PathSetup& read,
                    const std::array<IpBaseRow, kIpBaseRows>& rows, bool vgprs, bool ethernet);

} // namespace k4
