// "backup" and "restore" for a technician without the window: the same copy
// of the database set as "Zrzut" and "Odzysk" of the station, with the data
// directory's lock held, so no station works on the files meanwhile.
#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "admin/admin_lock.h"
#include "database/service_steps.h"
#include "maintenance/database_backup.h"
#include "maintenance/target_volume.h"

#include <iostream>
#include <ostream>
#include <unistd.h>

namespace k4::admin {

namespace {

void backupHelp(std::ostream& out) {
    out << "kestrel4-admin backup KATALOG [DANE] [--tak]\n"
           "  Kopiuje bazę z katalogu danych DANE (domyślnie .) do KATALOG (tworzony, gdy go nie\n"
           "  ma): tabele, obsluga.txt, operator, osiem plików rekordów i sześć indeksów. Historia\n"
           "  logf, dziennik odbioru i konfiguracja nie należą do kopii. Pliki kopii w KATALOG są\n"
           "  zastępowane; przy pracy z terminala każde nadpisanie jest potwierdzane, a plik\n"
           "  za duży dla nośnika wymiennego (pendrive, karta) jest dzielony na części na\n"
           "  kolejnych nośnikach (znaczniki NAZWA.rNN). Każdy plik jest zapisany na nośnik\n"
           "  (fsync) przed zakończeniem. Odmawia, gdy stacja pracuje na DANE.\n"
           "kestrel4-admin restore KATALOG [DANE] [--tak]\n"
           "  Odtwarza bazę z kopii w KATALOG: najpierw zapisuje obecną bazę do DANE/BAZA.000\n"
           "  (jego dotychczasowa zawartość jest usuwana po potwierdzeniu; --tak potwierdza),\n"
           "  sprawdza kopię na pliku blokady, potem zastępuje pliki bazy; gdy odtwarzanie się\n"
           "  nie uda, przywraca bazę z BAZA.000. Plik blokady Kestrel4.lock, historia logf\n"
           "  i dziennik odbioru zostają nietknięte: raporty przyjęte i jeszcze nieprzetworzone\n"
           "  przetworzy następny start stacji, już na odtworzonej bazie.\n"
           "  Kod wyjścia 0 po udanej operacji, 1 po błędzie (opisanym na wyjściu błędów).\n";
}

// The technician at a terminal answers the questions; without one the
// default answer (No) holds unless --tak answers Yes to every question.
class TerminalOperatorUi final : public OperatorUi {
public:
    TerminalOperatorUi(std::ostream& err, bool interactive, bool yesToAll)
        : err_(err), interactive_(interactive), yesToAll_(yesToAll) {}

    BoxAnswer showBox(const BoxRequest& box) override {
        err_ << box.text << '\n';
        if (box.buttons == BoxButtons::Ok || box.buttons == BoxButtons::OkCancel) {
            // Changing the medium takes the technician's time.
            if (interactive_ && box.text.find("Włóż") != std::string::npos) {
                err_ << "(Enter, gdy nośnik jest gotowy) " << std::flush;
                std::string line;
                std::getline(std::cin, line);
            }
            return BoxAnswer::Ok;
        }
        if (yesToAll_) return BoxAnswer::Yes;
        if (!interactive_) return box.defaultButton;
        const bool cancel = box.buttons == BoxButtons::YesNoCancel;
        err_ << (cancel ? "[t]ak / [n]ie / [a]nuluj: " : "[t]ak / [n]ie: ") << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return cancel ? BoxAnswer::Cancel : BoxAnswer::No;
        if (!line.empty() && (line[0] == 't' || line[0] == 'T')) return BoxAnswer::Yes;
        if (cancel && !line.empty() && (line[0] == 'a' || line[0] == 'A')) return BoxAnswer::Cancel;
        return BoxAnswer::No;
    }
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }

private:
    std::ostream& err_;
    bool interactive_;
    bool yesToAll_;
};

// After the files were replaced: the restored set must open as the station
// would open it, or the restore is rolled back.
class RestoredSetCheck final : public LiveDatabase {
public:
    RestoredSetCheck(const std::string& dir, std::ostream& err) : dir_(dir), err_(err) {}
    void releaseForRestore() override {}
    int reopenAfterRestore() override {
        AdminDatabase data(dir_, err_);
        if (!data.open(false)) return -1;
        data.close();
        return 0;
    }

private:
    std::string dir_;
    std::ostream& err_;
};

struct NoHistorySink final : HistorySink {
    int LogSystemEvent(int, int, int, int, int) override { return 0; }
};

} // namespace

int backupCommand(const Args& args, bool restore, std::ostream& out, std::ostream& err) {
    Args positional;
    bool yes = false;
    for (const std::string& a : args) {
        if (a == "--help") {
            backupHelp(out);
            return 0;
        }
        if (a == "--tak") yes = true;
        else positional.push_back(a);
    }
    if (positional.empty() || positional.size() > 2) {
        backupHelp(err);
        return 2;
    }
    const std::string copyDir = positional[0];
    const std::string dataDir = positional.size() > 1 ? positional[1] : ".";
    WriteLock lock;
    if (!lock.take(dataDir, err)) return kRefusedByLock;

    const bool interactive = ::isatty(STDIN_FILENO) == 1;
    TerminalOperatorUi ui(err, interactive, yes);
    Messages messages(ui);
    SystemVolumes volumes;
    bool receptionSuspended = true;
    NoHistorySink history;
    ServiceSteps serviceSteps;
    RestoredSetCheck check(dataDir, err);
    DatabaseBackup backup({DataDir(dataDir), messages, volumes, receptionSuspended, history, serviceSteps,
                           restore ? &check : nullptr});
    // A directory named relative to where the command runs, as a shell user
    // expects (the station's own relative names are in its data directory).
    std::string target = copyDir;
    if (!target.empty() && target.front() != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) target = std::string(cwd) + "/" + target;
    }
    if (restore) {
        if (backup.RestoreDatabase(target) != 0) return 1;
        out << "Baza odtworzona z katalogu " << copyDir << " (poprzednia zachowana w "
            << backup.safetyCopyPath() << ")\n";
        return 0;
    }
    if (backup.Backup(target, !interactive || yes) != 0) return 1;
    out << "Baza zapisana w katalogu " << copyDir << '\n';
    return 0;
}

} // namespace k4::admin
