// "conf base N POLE=WARTOŚĆ...": one receiving-base entry of "conf", set by
// the same rules as the base entry dialog, for a transmitting centre set up
// from the command line.
#include "admin/admin_commands.h"

#include "admin/admin_lock.h"
#include "config/base_entry_fields.h"
#include "config/config.h"
#include "platform/data_dir.h"

#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>

namespace k4::admin {

namespace {

// A.B.C.D in the dialog's fixed groups of three.
bool maskedAddress(const std::string& dotted, std::string& masked) {
    unsigned a[4];
    char end = 0;
    if (dotted.empty()) {
        masked = "   .   .   .   ";
        return true;
    }
    if (std::sscanf(dotted.c_str(), "%u.%u.%u.%u%c", &a[0], &a[1], &a[2], &a[3], &end) != 4) return false;
    char text[24];
    std::snprintf(text, sizeof text, "%3u.%3u.%3u.%3u", a[0] % 1000, a[1] % 1000, a[2] % 1000, a[3] % 1000);
    masked = text;
    return a[0] <= 255 && a[1] <= 255 && a[2] <= 255 && a[3] <= 255;
}

bool ackItem(const std::string& v, int& item) {
    if (v.size() != 1 || v[0] < '1' || v[0] > '5') return false;
    item = v[0] - '1';
    return true;
}

} // namespace

int confBaseCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help") {
        (args.empty() ? err : out)
            << "kestrel4-admin conf base N POLE=WARTOŚĆ... [KATALOG]\n"
               "  Ustawia bazę odbiorczą N (1..16) centrum nadawczego: name, radio (dwie cyfry:\n"
               "  numer pakietu radiowego i adres radiowy bazy), gprs (A.B.C.D), gsm (cyfry),\n"
               "  gsm_ack (1..5), eth (A.B.C.D), eth_ack (1..5), conversion (0/1), rs (1 łącze\n"
               "  szeregowe 1, 2 łącze 2, 0 brak).\n";
        return args.empty() ? 2 : 0;
    }
    int number = 0;
    try {
        number = std::stoi(args[0]);
    } catch (...) {
    }
    if (number < 1 || number > kBaseEntries) {
        err << "conf base: numer bazy 1..16, jest " << args[0] << '\n';
        return 2;
    }
    std::string dirName = ".";
    std::vector<std::pair<std::string, std::string>> changes;
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos) {
            if (i + 1 != args.size()) {
                err << "conf base: oczekiwano POLE=WARTOŚĆ, jest " << args[i] << '\n';
                return 2;
            }
            dirName = args[i];
            continue;
        }
        changes.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    }
    WriteLock lock;
    if (!lock.take(dirName, err)) return kRefusedByLock;
    DataDir dir(dirName);
    Config config(dir);
    if (config.LoadConfig(1) != 0) {
        err << "conf base: nie można wczytać " << config.path() << ": " << config.lastError() << '\n';
        return 1;
    }
    BaseEntry& entry = config.block().bases[number - 1];
    BaseEntryFields f = baseEntryFields(entry);
    int rsLink = entry.rsLink;
    for (const auto& [field, value] : changes) {
        bool ok = true;
        auto digits = [&](size_t most) {
            return !value.empty() && value.size() <= most && value.find_first_not_of("0123456789") == std::string::npos;
        };
        if (field == "name") {
            f.name = value;
        } else if (field == "radio") {
            ok = value.size() == 2 && digits(2);
            f.radio = value;
        } else if (field == "gprs") {
            ok = maskedAddress(value, f.gprsAddress);
        } else if (field == "eth") {
            ok = maskedAddress(value, f.ethAddress);
        } else if (field == "gsm") {
            ok = value.empty() || digits(9);
            f.gsmNumber = value;
        } else if (field == "gsm_ack") {
            ok = ackItem(value, f.gsmAck);
        } else if (field == "eth_ack") {
            ok = ackItem(value, f.ethAck);
        } else if (field == "conversion") {
            ok = value == "0" || value == "1";
            f.conversion = value == "1";
        } else if (field == "rs") {
            // Only the two serial base links exist; anything else is refused,
            // not stored as a link the forwarding could never use.
            ok = value == "0" || value == "1" || value == "2";
            rsLink = value == "1" ? 2 : value == "2" ? 3 : 255;
        } else {
            err << "conf base: nieznane pole " << field << '\n';
            return 2;
        }
        if (!ok) {
            err << "conf base: zła wartość " << field << "=" << value << '\n';
            return 2;
        }
    }
    if (const auto refusal = storeBaseEntryFields(f, entry)) {
        err << "conf base: " << *refusal << '\n';
        return 2;
    }
    entry.rsLink = static_cast<uint8_t>(rsLink);
    if (config.SaveConfig(1) != 0) {
        err << "conf base: nie można zapisać " << config.path() << ": " << config.lastError() << '\n';
        return 1;
    }
    out << "baza " << number << " zapisana\n";
    return 0;
}

} // namespace k4::admin
