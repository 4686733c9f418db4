// The table of IP panels: which account reports for which subscriber, with
// which key. Listing reads a live directory; adding and removing take the
// directory's lock like every writing command.
#include "admin/admin_commands.h"

#include "admin/admin_lock.h"
#include "net/dc09_accounts.h"
#include "platform/data_dir.h"

#include <cstdlib>
#include <ostream>

namespace k4::admin {

namespace {

void dc09Help(std::ostream& out) {
    out << "kestrel4-admin dc09 accounts list [KATALOG]\n"
           "kestrel4-admin dc09 accounts add KONTO ABONENT KLUCZ|- [KATALOG]\n"
           "kestrel4-admin dc09 accounts remove KONTO [KATALOG]\n"
           "  Konta central alarmowych nadających przez IP (plik dc09_accounts, prawa 0600).\n"
           "  KONTO: 3..16 cyfr szesnastkowych, ABONENT: numer abonenta bazy,\n"
           "  KLUCZ: 32, 48 lub 64 cyfry szesnastkowe (AES-128/192/256) albo \"-\" bez\n"
           "  szyfrowania. Konto z kluczem musi szyfrować: ramki jawne są odrzucane.\n"
           "  Lista pokazuje tylko rodzaj klucza i jego cztery ostatnie cyfry.\n";
}

int list(const std::string& dir, std::ostream& out, std::ostream& err) {
    noteLiveDirectory(dir, err);
    Dc09AccountTable table;
    std::string error;
    std::vector<int> bad;
    if (!table.load(DataDir(dir), &error, &bad)) {
        err << Dc09AccountTable::kFileName << ": " << error << '\n';
        return 1;
    }
    for (int line : bad) err << Dc09AccountTable::kFileName << ": wiersz " << line << " nieczytelny, pominięty\n";
    for (const auto& [name, a] : table.accounts()) {
        out << name << ' ' << a.subscriber << ' ' << Dc09AccountTable::keyHint(a) << '\n';
    }
    return bad.empty() ? 0 : 1;
}

int change(const Args& args, std::ostream& out, std::ostream& err) {
    const bool adding = args[1] == "add";
    const size_t words = adding ? 5 : 3;
    if (args.size() != words && args.size() != words + 1) {
        dc09Help(err);
        return 2;
    }
    const std::string dir = args.size() == words + 1 ? args[words] : ".";
    WriteLock lock;
    if (!lock.take(dir, err)) return kRefusedByLock;
    Dc09AccountTable table;
    std::string error;
    std::vector<int> bad;
    if (!table.load(DataDir(dir), &error, &bad)) {
        err << Dc09AccountTable::kFileName << ": " << error << '\n';
        return 1;
    }
    if (!bad.empty()) {
        // Writing back would drop the lines that did not read.
        err << Dc09AccountTable::kFileName << ": wiersz " << bad.front() << " nieczytelny; popraw plik przed zmianą\n";
        return 1;
    }
    if (adding) {
        char* end = nullptr;
        const long subscriber = std::strtol(args[3].c_str(), &end, 10);
        std::string reason;
        if (args[3].empty() || *end != '\0' || subscriber < 0 || subscriber > 9999) {
            err << "Numer abonenta: od 0 do 9999.\n";
            return 2;
        }
        if (!table.add(args[2], static_cast<int32_t>(subscriber), args[4], &reason)) {
            err << reason << '\n';
            return 2;
        }
    } else if (!table.remove(args[2])) {
        err << "Brak konta " << args[2] << ".\n";
        return 1;
    }
    if (!table.save(DataDir(dir), &error)) {
        err << Dc09AccountTable::kFileName << ": " << error << '\n';
        return 1;
    }
    out << (adding ? "Dodano konto " : "Usunięto konto ") << args[2] << '\n';
    return 0;
}

} // namespace

int dc09Command(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || (args.size() >= 2 && args[1] == "--help")) {
        dc09Help(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    if (args[0] != "accounts" || args.size() < 2) {
        dc09Help(err);
        return 2;
    }
    if (args[1] == "list") {
        if (args.size() > 3) {
            dc09Help(err);
            return 2;
        }
        return list(args.size() == 3 ? args[2] : ".", out, err);
    }
    if (args[1] == "add" || args[1] == "remove") return change(args, out, err);
    dc09Help(err);
    return 2;
}

} // namespace k4::admin
