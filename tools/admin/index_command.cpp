#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "admin/admin_lock.h"
#include "admin/dane_records.h"
#include "database/index_check.h"
#include "database/sbscrbr.h"
#include "platform/file.h"

#include <cstdio>
#include <ostream>
#include <set>

namespace k4::admin {

namespace {

void indexHelp(std::ostream& out) {
    out << "kestrel4-admin index rebuild [KATALOG]\n"
           "  Tworzy od nowa indeksy nazwa, miejsc, adres, telefon i indeks z abonentów\n"
           "  indeksu numer. Gdy sam indeks numer jest uszkodzony, najpierw tworzy go\n"
           "  z rekordów pliku dane w użyciu (numery 1..9999); powtórzony numer jest\n"
           "  pomijany z wierszem dla każdego powtórzenia. Kod wyjścia 1, gdy coś pominięto\n"
           "  albo odbudowa się nie udała.\n";
}

// "numer" anew from the records of "dane". false when it cannot be made;
// skipped counts the records left out.
bool rebuildNumberIndex(AdminDatabase& data, std::ostream& out, std::ostream& err, int& skipped) {
    std::vector<DaneRecord> records;
    std::string error;
    if (!inUseSubscriberRecords(data.dataDir().file("dane"), records, error)) {
        err << "dane: " << error << '\n';
        return false;
    }
    // Made beside the old file, in one pass synced at the end, and put in
    // its place only when whole.
    IndexHandle& numer = data.indexes().handle(kIndexNumber);
    const std::string made = data.dataDir().file("numer.nowy");
    data.indexes().beginBulk();
    if (numer.CreateIndex(data.dataDir(), "numer.nowy", false) != 0) {
        err << "Błąd utworzenia indeksu!numer\n";
        return false;
    }
    int added = 0;
    for (const DaneRecord& r : records) {
        // A record in use whose number is 0 or outside the range is no
        // subscriber the station could find; it is named, not indexed.
        if (r.number <= 0 || r.number > 9999) {
            out << "rekord " << r.offset << ": numer " << r.number << " poza zakresem 1..9999, pominięty\n";
            ++skipped;
            continue;
        }
        const std::string key = numberKey(r.number);
        if (numer.InsertKey(key, r.offset) == 1) {
            ++added;
            continue;
        }
        IndexKey first;
        numer.FindKey(key, first);
        out << "rekord " << r.offset << ": numer " << key << " powtórzony (jest już rekord " << first.value
            << "), pominięty\n";
        ++skipped;
    }
    const bool synced = data.indexes().endBulk() == 0;
    numer.CloseIndex();
    if (!synced || !renameDurably(made, data.dataDir().file("numer"), &error)) {
        err << "Błąd utworzenia indeksu!numer " << error << '\n';
        std::remove(made.c_str());
        return false;
    }
    out << "numer: utworzony z pliku dane, abonentów: " << added << '\n';
    return true;
}

// Why a sound "numer" does not serve the records of "dane": a record in use
// it does not lead to (a crash in the middle of an import leaves such), or
// a key on a record that is not in use. Empty when they agree.
std::string disagreement(const std::string& danePath, const IndexCheckReport& numer) {
    std::vector<DaneRecord> records;
    std::string error;
    if (!inUseSubscriberRecords(danePath, records, error)) return {};
    std::set<int32_t> inUse, indexed;
    for (const DaneRecord& r : records) inUse.insert(r.offset);
    for (const auto& entry : numer.entries) {
        indexed.insert(entry.second);
        if (!inUse.count(entry.second)) return "klucz " + entry.first + " wskazuje rekord nie w użyciu";
    }
    for (const DaneRecord& r : records)
        if (!indexed.count(r.offset)) return "rekord " + std::to_string(r.offset) + " nieosiągalny z indeksu";
    return {};
}

int rebuildCommand(const std::string& dir, std::ostream& out, std::ostream& err) {
    WriteLock lock;
    if (!lock.take(dir, err)) return kRefusedByLock;
    AdminDatabase data(dir, err);
    if (!fileExists(data.dataDir().file("dane"))) {
        err << "Baza danych nie została jeszcze utworzona w " << data.dataDir().path() << '\n';
        return 2;
    }
    int skipped = 0;
    try {
        const IndexCheckReport numer = checkIndexFile(data.dataDir().file("numer"), true);
        const std::string differs = numer.ok() ? disagreement(data.dataDir().file("dane"), numer) : std::string();
        if (numer.ok() && differs.empty()) {
            out << "numer: sprawny, pozostawiony (kluczy: " << numer.keys << ")\n";
        } else if (numer.ok()) {
            out << "numer: niezgodny z plikiem dane (" << differs << "), odbudowa z pliku dane\n";
            if (!rebuildNumberIndex(data, out, err, skipped)) return 1;
        } else {
            out << "numer: uszkodzony (" << numer.problems.front() << "), odbudowa z pliku dane\n";
            if (!rebuildNumberIndex(data, out, err, skipped)) return 1;
        }
        // A lost derived index is made anew below like the others; only the
        // set's opening wants the file to be there.
        for (int index : {kIndexName, kIndexTown, kIndexAddress, kIndexPhone, kIndexPassword}) {
            const IndexDescriptor& d = indexDescriptor(index);
            if (fileExists(data.dataDir().file(d.name))) continue;
            IndexHandle& h = data.indexes().handle(index);
            if (h.CreateIndex(data.dataDir(), d.name, d.duplicates) != 0) {
                err << "Błąd utworzenia indeksu!" << d.name << '\n';
                return 1;
            }
            h.CloseIndex();
        }
        if (!data.open(false)) return 2;
        int subscribers = 0;
        const int r = data.indexes().rebuildDerived([&](int32_t record) -> std::optional<SubscriberKeys> {
            Sbscrbr s(data.database(), AtOffset{record});
            if (!s.valid) return std::nullopt;
            ++subscribers;
            return subscriberKeysOf(s);
        });
        data.close();
        if (r != 0) {
            out << "nazwa, miejsc, adres, telefon, indeks: odbudowa nieudana\n";
            return 1;
        }
        out << "nazwa, miejsc, adres, telefon, indeks: utworzone od nowa, abonentów: " << subscribers << '\n';
    } catch (const IndexBroken&) {
        return 1;
    }
    return skipped ? 1 : 0;
}

} // namespace

int indexCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || (args.size() > 1 && args[1] == "--help"))) {
        indexHelp(out);
        return 0;
    }
    if (!args.empty() && args[0] == "rebuild" && args.size() <= 2)
        return rebuildCommand(args.size() == 2 ? args[1] : ".", out, err);
    err << "index: znane jest tylko: index rebuild [KATALOG]\n";
    return 2;
}

} // namespace k4::admin
