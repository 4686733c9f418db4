#include "admin/admin_commands.h"

#include "admin/admin_lock.h"
#include "admin/dane_records.h"
#include "database/database_files.h"
#include "database/index_check.h"
#include "database/subscriber_indexes.h"
#include "database/record_file_audit.h"
#include "platform/data_dir.h"
#include "platform/file.h"

#include <cstdio>
#include <map>
#include <ostream>
#include <set>
#include <string>

namespace k4::admin {

namespace {

void checkHelp(std::ostream& out) {
    out << "kestrel4-admin db check [KATALOG]\n"
           "  Sprawdza każdy plik rekordów bazy (dane, osoby, linie, sektory, alarmy, opis,\n"
           "  uzbroj, orders): nagłówek, pełne rekordy i cały łańcuch wolnych rekordów.\n"
           "  Jeden wiersz na plik: rekordy w użyciu, wolne i znalezione problemy.\n"
           "  Potem każdy plik indeksowy (numer, nazwa, miejsc, adres, telefon, indeks):\n"
           "  porządek kluczy, poziomy, zapełnienie stron, wolne i zgubione strony;\n"
           "  przy indeksie numer także to, czy każdy rekord dane w użyciu jest w nim.\n"
           "  Niczego nie zapisuje. Kod wyjścia 1, gdy znaleziono problem.\n";
}

std::string problemsText(const std::vector<std::string>& problems) {
    if (problems.empty()) return "brak";
    std::string text = std::to_string(problems.size()) + " (";
    for (size_t i = 0; i < problems.size(); ++i) text += (i ? "; " : "") + problems[i];
    return text + ")";
}
std::string problemsText(const RecordFileAudit& audit) { return problemsText(audit.problems); }

// Every record of "dane" in use must be found through "numer", and every
// key of "numer" must lead to a record in use: a subscriber outside the
// index gets no reports, a key on a freed record gives them to a stranger.
void checkReachable(const DataDir& dir, const IndexCheckReport& numer, std::vector<std::string>& problems) {
    std::vector<admin::DaneRecord> records;
    std::string error;
    if (!admin::inUseSubscriberRecords(dir.file("dane"), records, error)) return; // told on the dane line
    std::map<int32_t, int> inUse;
    for (const auto& r : records) inUse[r.offset] = r.number;
    std::set<int32_t> indexed;
    constexpr size_t kNamed = 10; // the first ones by name, then a count
    size_t unnamed = 0;
    auto add = [&](std::string text) {
        if (problems.size() < kNamed)
            problems.push_back(std::move(text));
        else
            ++unnamed;
    };
    for (const auto& [text, value] : numer.entries) {
        indexed.insert(value);
        if (!inUse.count(value)) add("klucz " + text + " wskazuje rekord " + std::to_string(value) + " nie w użyciu");
    }
    for (const auto& [offset, number] : inUse) {
        if (indexed.count(offset)) continue;
        char text[96];
        std::snprintf(text, sizeof text, "rekord %d (abonent %4.4d) nieosiągalny z indeksu", offset, number);
        add(text);
    }
    if (unnamed) problems.push_back("i " + std::to_string(unnamed) + " innych");
}

bool checkIndexes(const DataDir& dir, std::ostream& out) {
    bool problem = false;
    for (int i = 0; i < kSubscriberIndexCount; ++i) {
        const char* name = indexDescriptor(i).name;
        char line[160];
        if (!fileExists(dir.file(name))) {
            std::snprintf(line, sizeof line, "%-8s problemy: 1 (brak pliku)", name);
            out << line << '\n';
            problem = true;
            continue;
        }
        IndexCheckReport report = checkIndexFile(dir.file(name), i == kIndexNumber);
        if (i == kIndexNumber && report.ok()) checkReachable(dir, report, report.problems);
        problem = problem || !report.ok();
        std::snprintf(line, sizeof line, "%-8s klucze: %lld, wysokość: %d, strony: %d, wolne strony: %d, problemy: ",
                      name, static_cast<long long>(report.keys), report.height, report.treePages, report.freePages);
        out << line << problemsText(report.problems) << '\n';
    }
    return problem;
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
    noteLiveDirectory(args.empty() ? "." : args[0], err);
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
    if (missing == kDbFileCount) {
        out << "Baza danych nie została jeszcze utworzona w " << dir.path() << '\n';
        return 1;
    }
    if (checkIndexes(dir, out)) problem = true;
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
