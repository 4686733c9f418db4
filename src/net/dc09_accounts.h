#pragma once
// The table of IP panels the centre takes reports from: each panel's
// account, the subscriber it reports for, and its AES key. The file holds
// keys, so it is written readable by its owner alone (0600), and nothing
// prints a key back in full.
//
// "dc09_accounts" in the data directory, one panel a line:
//     ACCOUNT SUBSCRIBER KEY
// ACCOUNT 3 to 16 hex digits, SUBSCRIBER the database's number, KEY 32, 48
// or 64 hex digits (AES-128, -192, -256) or "-" for a panel that sends in
// clear. A panel with a key must encrypt: its clear frames are refused.
// '#' starts a comment.
#include "net/dc09_reception.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

class DataDir;

class Dc09AccountTable {
public:
    static constexpr const char* kFileName = "dc09_accounts";

    // Lines that do not read are skipped; their numbers are returned.
    std::vector<int> parse(std::string_view text);
    std::string text() const;

    // Reads the data directory's file; a missing file is an empty table.
    bool load(const DataDir& dir, std::string* error, std::vector<int>* badLines = nullptr);
    // Writes it durably with permissions 0600.
    bool save(const DataDir& dir, std::string* error) const;

    const Dc09Account* find(std::string_view account) const;
    // Adds or replaces; the reason in Polish when the entry is refused.
    bool add(std::string_view account, int32_t subscriber, std::string_view keyHex, std::string* reason);
    bool remove(std::string_view account);
    const std::map<std::string, Dc09Account, std::less<>>& accounts() const { return accounts_; }

    // "AES-128 ....0E0F": the size and the last four hex digits, or "bez klucza".
    static std::string keyHint(const Dc09Account& account);

private:
    std::map<std::string, Dc09Account, std::less<>> accounts_;
};

// How the receiver is set: "dc09_settings" in the data directory, lines
//     port 7300           the TCP and UDP port panels send to
//     unknown refuse      accounts missing from the table are NAKed
//     unknown receive     ... or taken as unknown subscribers
// The environment variable KESTREL4_DC09_PORT, when set, wins over the file
// (tests and the demo use it); port 0 switches the receiver off.
struct Dc09Settings {
    static constexpr const char* kFileName = "dc09_settings";
    static constexpr uint16_t kDefaultPort = 7300;
    uint16_t port = kDefaultPort;
    bool refuseUnknownAccounts = true;
    static Dc09Settings load(const DataDir& dir);
};

} // namespace k4
