#include "maintenance/database_backup.h"

#include "database/service_steps.h"
#include "database/text_edge.h"
#include "maintenance/ask_directory.h"
#include "maintenance/backup_set.h"
#include "platform/file.h"

#include <cstdio>
#include <filesystem>

namespace k4 {

namespace fs = std::filesystem;

namespace {

const char* const kTempSuffix = ".odzysk";

std::string canonical(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(path), ec);
    if (ec) return path;
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

} // namespace

DatabaseBackup::DatabaseBackup(const Parts& p)
    : dir_(p.dir), messages_(p.messages), serviceSteps_(p.serviceSteps), live_(p.live),
      copier_(p.messages, p.volumes, p.receptionSuspended, p.history) {}

std::string DatabaseBackup::resolve(const std::string& directory) const {
    if (directory.empty() || directory.front() == '/') return directory;
    return dir_.file(directory);
}

bool DatabaseBackup::isBaseDirectory(const std::string& directory) const {
    return canonical(resolve(directory)) == canonical(dir_.path());
}

int DatabaseBackup::Backup(const std::string& directory, bool silent, bool wholeSetOptional) {
    if (isBaseDirectory(directory)) {
        messages_.ShowNotice(mz("Niedozwolony zapis do katalogu bazowego"), kNoticeInfo);
        return -1;
    }
    const std::string target = resolve(directory);
    std::error_code ec;
    if (!fs::is_directory(target, ec)) {
        fs::create_directories(target, ec);
        if (ec) {
            messages_.ShowNotice(mz("utworzenia katalogu\n" + target + ": " + copyFailureReason(ec.value())),
                                 kNoticeError);
            return -1;
        }
    }
    for (const std::string& name : backupSet()) {
        // "blokady" too is made at the first start; a copy without it is
        // refused by the restore's probe, so a copy of a centre that never
        // ran cannot pass for a database.
        if ((wholeSetOptional || mayBeAbsent(name) || name == "blokady") && !fileExists(dir_.file(name))) {
            // An older copy of it in the target would come back with the rest.
            std::remove(pathIn(target, name).c_str());
            continue;
        }
        if (copier_.CopyOut(name, target, dir_.file(name), silent) != 0) return -1;
    }
    return 0;
}

int DatabaseBackup::Restore(const std::string& directory, bool absentRemoves) {
    const std::string source = resolve(directory);
    for (const std::string& name : restoreSet()) {
        if (name == kServiceTextsFile) continue;
        if ((absentRemoves || mayBeAbsent(name)) && !fileExists(pathIn(source, name))) {
            std::error_code ec;
            fs::remove(dir_.file(name), ec);
            if (ec) {
                messages_.ShowNotice(mz("Błąd otwarcia pliku " + name + "\n" + copyFailureReason(ec.value())),
                                     kNoticeInfo);
                return -1;
            }
            continue;
        }
        // Each file is made whole beside the working one and then put in its
        // place, so a crash leaves every file either old or new.
        const std::string made = dir_.file(name + kTempSuffix);
        if (copier_.CopyIn(made, name, source) != 0) {
            std::remove(made.c_str());
            return -1;
        }
        std::string why;
        if (!renameDurably(made, dir_.file(name), &why)) {
            std::remove(made.c_str());
            messages_.ShowNotice(mz("Błąd otwarcia pliku " + name + "\n" + why), kNoticeInfo);
            return -1;
        }
    }
    if (absentRemoves && !fileExists(pathIn(source, kServiceTextsFile))) {
        std::remove(dir_.file(kServiceTextsFile).c_str());
        serviceSteps_.Clear();
        return 0;
    }
    return restoreServiceTexts(source);
}

int DatabaseBackup::restoreServiceTexts(const std::string& source) {
    if (!fileExists(pathIn(source, kServiceTextsFile))) {
        messages_.ShowNotice(mz("Brak pliku obsluga.txt"), kNoticeInfo);
        return 0;
    }
    const std::string made = dir_.file(std::string(kServiceTextsFile) + kTempSuffix);
    if (copier_.CopyIn(made, kServiceTextsFile, source) != 0) {
        std::remove(made.c_str());
        return -1;
    }
    std::string why;
    if (!renameDurably(made, dir_.file(kServiceTextsFile), &why)) {
        std::remove(made.c_str());
        messages_.ShowNotice(mz(std::string("Błąd otwarcia pliku ") + kServiceTextsFile + "\n" + why), kNoticeInfo);
        return -1;
    }
    if (serviceSteps_.Load(dir_) != 0) {
        messages_.ShowNotice(mz("Błąd wczytania pliku obsluga.txt"), kNoticeInfo);
        return -1;
    }
    return 0;
}

bool DatabaseBackup::emptyDirectory(const std::string& path) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(path, ec)) {
        std::error_code one;
        if (!e.is_directory(one)) fs::remove(e.path(), one);
        if (one) return false;
    }
    return !ec;
}

int DatabaseBackup::RestoreDatabase(const std::string& directory) {
    if (isBaseDirectory(directory)) {
        messages_.ShowNotice(mz("Niedozwolony odczyt z katalogu bazowego"), kNoticeInfo);
        return -1;
    }
    const std::string source = resolve(directory);
    const std::string safety = safetyCopyPath();
    // The safety copy is made anew first: restoring from it directly would
    // empty it before it is read.
    if (canonical(source) == canonical(safety)) {
        messages_.ShowNotice(mz("Katalog BAZA.000 jest zapisywany od nowa przed odzyskiem - skopiuj go najpierw "
                                "do innego katalogu i odzyskaj bazę stamtąd"),
                             kNoticeInfo);
        return -1;
    }
    std::error_code ec;
    if (fs::exists(safety, ec)) {
        if (messages_.AskYesNo(mz("Istnieje już katalog BAZA.000 w którym  zachowywana jest istniejąca baza. Usunąć "
                                  "aktualną zawartość katalogu?")) != kResultYes) {
            messages_.ShowNotice(mz("Operacja została przerwana"), kNoticeInfo);
            return -1;
        }
        if (!emptyDirectory(safety)) {
            messages_.ShowNotice(mz("usunięcia zawartości katalogu BAZA.000\n" + safety), kNoticeError);
            return -1;
        }
    }
    fs::create_directories(safety, ec);
    if (ec) {
        messages_.ShowNotice(mz("utworzenia katalogu\n" + safety + ": " + copyFailureReason(ec.value())),
                             kNoticeError);
        return -1;
    }
    // A new installation that has no database yet is restored too: its
    // safety copy records the files it lacks.
    if (Backup(safety, true, true) != 0) {
        messages_.ShowNotice(mz("kopiowania istniejącej bazy"), kNoticeError);
        emptyDirectory(safety);
        fs::remove(safety, ec);
        return -1;
    }

    // The probe: a copy whose "blokady" cannot be read is no copy of a
    // database, and nothing is touched.
    const std::string probe = dir_.file("bloktmp");
    if (copier_.CopyIn(probe, "blokady", source) != 0) {
        std::remove(probe.c_str());
        return -1;
    }
    if (live_) live_->releaseForRestore();
    auto reopen = [this] { return live_ ? live_->reopenAfterRestore() : 0; };
    std::string why;
    if (!renameDurably(probe, dir_.file("blokady"), &why)) {
        std::remove(probe.c_str());
        messages_.ShowNotice(mz("Błąd otwarcia pliku 'blokady'\n" + why), kNoticeInfo);
        if (reopen() == 0) return -1;
    } else if (Restore(source) == 0 && reopen() == 0) {
        return 0;
    }
    // Whatever went wrong, the database as it was comes back from the
    // safety copy.
    if (live_) live_->releaseForRestore();
    if (Restore(safety, true) == 0 && reopen() == 0) {
        messages_.ShowNotice(mz("Odzysk bazy nie powiódł się - przywrócona została baza sprzed odzysku (z katalogu "
                                "BAZA.000)"),
                             kNoticeInfo);
        return -1;
    }
    messages_.ShowNotice(mz("Wystąpił poważny błąd w odzysku bazy. Zalecane jest wyjście z programu, "
                            "przekopiowanie zawartości katalogu BAZA.000 do katalogu programu i ponowne uruchomienie "
                            "programu."),
                         kNoticeAlarm);
    return -1;
}

int DatabaseBackup::Zrzut() {
    std::string directory;
    const int asked = AskDirectory(messages_, "Zapis bazy", "Nazwa katalogu kopii zapasowej bazy:", directory, true);
    if (asked != 0) return asked > 0 ? 1 : -1;
    if (Backup(directory, false) != 0) return -1;
    messages_.ShowNotice(mz("Baza została zapisana w katalogu " + directory), kNoticeInfo);
    return 0;
}

int DatabaseBackup::Odzysk() {
    std::string directory;
    const int asked = AskDirectory(messages_, "Odczyt bazy", "Nazwa katalogu kopii zapasowej bazy:", directory, false);
    if (asked != 0) return asked > 0 ? 1 : -1;
    if (RestoreDatabase(directory) != 0) return -1;
    messages_.ShowNotice(mz("Baza została odczytana z katalogu " + directory), kNoticeInfo);
    return 0;
}

} // namespace k4
