#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "admin/admin_lock.h"
#include "admin/dane_records.h"
#include "database/index_check.h"
#include "database/sbscrbr.h"
#include "platform/file.h"

#include <ostream>

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
    IndexHandle& numer = data.indexes().handle(kIndexNumber);
    if (numer.CreateIndex(data.dataDir(), "numer", false) != 0) {
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
    numer.CloseIndex();
    out << "numer: utworzony z pliku dane, abonentów: " << added << '\n';
    return true;
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
        const IndexCheckReport numer = checkIndexFile(data.dataDir().file("numer"));
        if (numer.ok()) {
            out << "numer: sprawny, pozostawiony (kluczy: " << numer.keys << ")\n";
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
