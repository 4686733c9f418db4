#include "admin/admin_commands.h"

#include "admin/admin_lock.h"
#include "admin/installation.h"

#include <filesystem>
#include <system_error>

#include <ostream>

namespace k4::admin {

int initCommand(const Args& args, std::ostream& out, std::ostream& err) {
    bool force = false;
    std::string dir;
    for (const auto& arg : args) {
        if (arg == "--help") {
            out << "kestrel4-admin init KATALOG [--force]\n"
                   "  Tworzy świeżą instalację stacji: conf, obsluga.txt i tabelę zdarzeń zdarzen.\n"
                   "  Istniejącej instalacji nie zastępuje bez --force.\n";
            return 0;
        }
        if (arg == "--force") {
            force = true;
        } else if (dir.empty()) {
            dir = arg;
        } else {
            err << "init: nieznany argument " << arg << '\n';
            return 2;
        }
    }
    if (dir.empty()) {
        err << "init: podaj katalog instalacji\n";
        return 2;
    }
    // The directory first, so that its lock can be taken before anything
    // else goes in.
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    WriteLock lock;
    if (!lock.take(dir, err)) return kRefusedByLock;
    std::string error;
    if (!writeFreshInstallation(dir, force, error)) {
        err << "init: " << error << '\n';
        return 1;
    }
    out << "Utworzono instalację w " << dir << " (hasło nadzoru: " << kFreshSupervisorPassword << ")\n";
    return 0;
}

} // namespace k4::admin
