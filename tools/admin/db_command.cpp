#include "admin/admin_commands.h"

#include "database/database_files.h"
#include "database/record_file_audit.h"
#include "platform/data_dir.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace k4::admin {

namespace {

void checkHelp(std::ostream& out) {
    out << "kestrel4-admin db check [KATALOG]\n"
           "  Sprawdza każdy plik rekordów bazy (dane, osoby, linie, sektory, alarmy, opis,\n"
           "  uzbroj, orders): nagłówek, pełne rekordy i cały łańcuch wolnych rekordów.\n"
           "  Jeden wiersz na plik: rekordy w użyciu, wolne i znalezione problemy.\n"
           "  Niczego nie zapisuje. Kod wyjścia 1, gdy znaleziono problem.\n";
}

std::string problemsText(const RecordFileAudit& audit) {
    if (audit.problems.empty()) return "brak";
    std::string text = std::to_string(audit.problems.size()) + " (";
    for (size_t i = 0; i < audit.problems.size(); ++i) text += (i ? "; " : "") + audit.problems[i];
    return text + ")";
}

int dbCheckCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "--help") {
        checkHelp(out);
        return 0;
    }
    if (args.size() > 1) {
        err << "db check: za dużo argumentów\n";
        return 2;
    }
    const DataDir dir(args.empty() ? "." : args[0]);
    bool problem = false;
    int missing = 0;
    for (const RecordFileDescriptor& d : kRecordFileSet) {
        const RecordFileAudit audit = AuditRecordFile(dir.file(d.name), d.name, d.recordSize);
        if (!audit.exists) ++missing;
        problem = problem || !audit.sound();
        char counts[96];
        std::snprintf(counts, sizeof counts, "%-8s w użyciu: %lld, wolne: %lld, problemy: ", d.name,
                      static_cast<long long>(audit.inUse()), static_cast<long long>(audit.freeRecords));
        out << counts << problemsText(audit) << '\n';
    }
    if (missing == kDbFileCount) out << "Baza danych nie została jeszcze utworzona w " << dir.path() << '\n';
    return problem ? 1 : 0;
}

} // namespace

int dbCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "check") return dbCheckCommand(Args(args.begin() + 1, args.end()), out, err);
    if (!args.empty() && args[0] == "--help") {
        checkHelp(out);
        return 0;
    }
    err << "db: znane jest tylko: db check [KATALOG]\n";
    return 2;
}

} // namespace k4::admin
