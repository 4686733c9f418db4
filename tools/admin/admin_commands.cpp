#include "admin/admin_commands.h"

#include "admin/admin_database.h"

#include <exception>
#include <ostream>

namespace k4::admin {

namespace {
void usage(std::ostream& out) {
    out << "kestrel4-admin POLECENIE ...\n"
           "  init KATALOG [--force]            świeża instalacja\n"
           "  conf show [KATALOG]               pola konfiguracji i parametry systemu\n"
           "  conf set POLE=WARTOŚĆ... [KATALOG]  tryb, porty, prędkości, opcje\n"
           "  conf base N POLE=WARTOŚĆ... [KATALOG]  baza odbiorcza N centrum nadawczego\n"
           "  convert --from N --to M [PLIK]    przekodowanie tekstu między stronami kodowymi\n"
           "  history [PLIK] [FILTR] [--raw]    wpisy historii jako wiersze zdarzeń\n"
           "  history export [PLIK] [FILTR] --dir KATALOG  plik tekstowy okna historii\n"
           "  events [KATALOG]                  tabela zdarzeń standardowych\n"
           "  db check [KATALOG]                pliki rekordów i indeksy bazy\n"
           "  subscribers import PLIK.csv [KATALOG] | export [KATALOG]  abonenci jako CSV\n"
           "  find --number N | --name TEKST | --phone CYFRY [KATALOG]  wyszukanie abonenta\n"
           "  demo KATALOG PLIK.csv             instalacja demonstracyjna\n"
           "  index rebuild [KATALOG]           odbudowa indeksów abonentów\n"
           "  backup KATALOG [DANE]             kopia bazy do katalogu\n"
           "  restore KATALOG [DANE]            odtworzenie bazy z kopii (poprzednia w BAZA.000)\n"
           "  dc09 accounts list | add | remove ...  konta central nadających przez IP\n"
           "Każde polecenie zna --help.\n";
}
} // namespace

namespace {
int dispatch(const Args& args, std::istream& in, std::ostream& out, std::ostream& err);
} // namespace

// A damaged file ends a command with its message and status 1, never with
// an abort: whatever a command did not catch itself is caught here.
int runAdmin(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        return dispatch(args, in, out, err);
    } catch (const IndexBroken&) {
        return 1; // told by the index failure itself
    } catch (const std::exception& e) {
        err << "kestrel4-admin: przerwano: " << e.what() << '\n';
        return 1;
    }
}

namespace {

int dispatch(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
        usage(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    Args rest(args.begin() + 1, args.end());
    if (command == "init") return initCommand(rest, out, err);
    if (command == "convert") return convertCommand(rest, in, out, err);
    if (command == "history") return historyCommand(rest, out, err);
    if (command == "events") return eventsCommand(rest, out, err);
    if (command == "db") return dbCommand(rest, out, err);
    if (command == "subscribers") return subscribersCommand(rest, out, err);
    if (command == "find") return findCommand(rest, out, err);
    if (command == "index") return indexCommand(rest, out, err);
    if (command == "dc09") return dc09Command(rest, out, err);
    if (command == "demo") return demoCommand(rest, out, err);
    if (command == "backup") return backupCommand(rest, false, out, err);
    if (command == "restore") return backupCommand(rest, true, out, err);
    if (command == "conf") {
        if (!rest.empty() && rest[0] == "show") return confShowCommand(Args(rest.begin() + 1, rest.end()), out, err);
        if (!rest.empty() && rest[0] == "set") return confSetCommand(Args(rest.begin() + 1, rest.end()), out, err);
        if (!rest.empty() && rest[0] == "base") return confBaseCommand(Args(rest.begin() + 1, rest.end()), out, err);
        if (!rest.empty() && rest[0] == "--help") return confShowCommand({"--help"}, out, err);
        err << "conf: znane są: conf show [KATALOG], conf set POLE=WARTOŚĆ... [KATALOG], conf base N POLE=WARTOŚĆ...\n";
        return 2;
    }
    err << "nieznane polecenie: " << command << '\n';
    usage(err);
    return 2;
}

} // namespace

} // namespace k4::admin
