#include "admin/admin_commands.h"

#include "admin/admin_lock.h"
#include "admin/dane_records.h"
#include "database/database_files.h"
#include "database/index_check.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
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
           "  przy indeksie numer także to, czy każdy rekord dane w użyciu jest w nim,\n"
           "  a przy pozostałych, czy mają dokładnie klucze abonentów indeksu numer.\n"
           "  Plik dane czyta małymi porcjami.\n"
           "  Niczego nie zapisuje. Kod wyjścia 1, gdy znaleziono problem.\n";
}

std::string problemsText(const std::vector<std::string>& problems) {
    if (problems.empty()) return "brak";
    std::string text = std::to_string(problems.size()) + " (";
    for (size_t i = 0; i < problems.size(); ++i) text += (i ? "; " : "") + problems[i];
    return text + ")";
}
std::string problemsText(const RecordFileAudit& audit) { return problemsText(audit.problems); }

// Problems named one by one up to a few, then counted.
class ProblemList {
public:
    explicit ProblemList(std::vector<std::string>& problems) : problems_(problems) {}
    ~ProblemList() {
        if (unnamed_) problems_.push_back("i " + std::to_string(unnamed_) + " innych");
    }
    void add(std::string text) {
        if (named_++ < kNamed)
            problems_.push_back(std::move(text));
        else
            ++unnamed_;
    }

private:
    static constexpr int kNamed = 10;
    std::vector<std::string>& problems_;
    int named_ = 0;
    int unnamed_ = 0;
};

using RecordsByOffset = std::map<int32_t, const DaneRecord*>;

// Every record of "dane" in use must be found through "numer", and every
// key of "numer" must lead to a record in use: a subscriber outside the
// index gets no reports, a key on a freed record gives them to a stranger.
void checkReachable(const RecordsByOffset& inUse, const IndexCheckReport& numer, std::vector<std::string>& problems) {
    ProblemList list(problems);
    std::set<int32_t> indexed;
    for (const auto& [text, value] : numer.entries) {
        indexed.insert(value);
        if (!inUse.count(value)) list.add("klucz " + text + " wskazuje rekord " + std::to_string(value) + " nie w użyciu");
    }
    for (const auto& [offset, record] : inUse) {
        if (indexed.count(offset)) continue;
        char text[96];
        std::snprintf(text, sizeof text, "rekord %d (abonent %4.4d) nieosiągalny z indeksu", offset, record->number);
        list.add(text);
    }
}

using KeySet = std::multiset<std::pair<std::string, int32_t>>;

// The keys a derived index must hold: those of every subscriber "numer"
// leads to, made as the station makes them.
KeySet expectedKeys(int index, const RecordsByOffset& inUse, const IndexCheckReport& numer) {
    KeySet keys;
    for (const auto& entry : numer.entries) {
        auto it = inUse.find(entry.second);
        if (it == inUse.end()) continue;
        const SubscriberKeys& k = it->second->keys;
        switch (index) {
        case kIndexName: keys.emplace(IndexHandle::keyText(k.name), k.record); break;
        case kIndexTown: keys.emplace(IndexHandle::keyText(k.town), k.record); break;
        case kIndexAddress: keys.emplace(IndexHandle::keyText(k.address), k.record); break;
        case kIndexPassword: keys.emplace(IndexHandle::keyText(passwordKey(k.passwd)), k.record); break;
        case kIndexPhone:
            for (const std::string& phone : {phoneKey(k.tel), phoneKey(k.telGsm)})
                if (!phone.empty()) keys.emplace(IndexHandle::keyText(phone), k.number);
            break;
        default: break;
        }
    }
    return keys;
}

// A derived index must hold exactly the keys of the subscribers of "numer":
// a missing key hides a subscriber from the search, a stale one shows one
// that is gone (or under another name).
void checkAgainstNumber(int index, const IndexCheckReport& report, const RecordsByOffset& inUse,
                        const IndexCheckReport& numer, std::vector<std::string>& problems) {
    KeySet expected = expectedKeys(index, inUse, numer);
    KeySet extra;
    for (const auto& entry : report.entries) {
        auto it = expected.find(entry);
        if (it == expected.end())
            extra.insert(entry);
        else
            expected.erase(it);
    }
    ProblemList list(problems);
    const char* valueName = index == kIndexPhone ? "abonent" : "rekord";
    for (const auto& [text, value] : expected)
        list.add("brak klucza \"" + Utf8FromMazovia(text) + "\" (" + valueName + " " + std::to_string(value) + ")");
    for (const auto& [text, value] : extra)
        list.add("klucz \"" + Utf8FromMazovia(text) + "\" (" + valueName + " " + std::to_string(value) +
                 ") bez abonenta w indeksie numer");
}

bool checkIndexes(const DataDir& dir, std::ostream& out) {
    std::vector<DaneRecord> records;
    std::string error;
    // Without a readable "dane" (told on its own line) the indexes are
    // checked on their own.
    const bool haveRecords = inUseSubscriberRecords(dir.file("dane"), records, error);
    RecordsByOffset inUse;
    for (const auto& r : records) inUse[r.offset] = &r;

    bool problem = false;
    IndexCheckReport numer;
    bool numerSound = false;
    for (int i = 0; i < kSubscriberIndexCount; ++i) {
        const char* name = indexDescriptor(i).name;
        char line[160];
        if (!fileExists(dir.file(name))) {
            std::snprintf(line, sizeof line, "%-8s problemy: 1 (brak pliku)", name);
            out << line << '\n';
            problem = true;
            continue;
        }
        IndexCheckReport report = checkIndexFile(dir.file(name), true);
        if (i == kIndexNumber) {
            numerSound = report.ok();
            if (numerSound && haveRecords) checkReachable(inUse, report, report.problems);
            numer = report;
        } else if (report.ok() && haveRecords && numerSound) {
            checkAgainstNumber(i, report, inUse, numer, report.problems);
        }
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
