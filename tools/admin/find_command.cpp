#include "admin/admin_commands.h"

#include "admin/admin_database.h"
#include "admin/admin_lock.h"
#include "database/codepage.h"
#include "database/sbscrbr.h"

#include <cstdio>
#include <ostream>
#include <set>

namespace k4::admin {

namespace {

void findHelp(std::ostream& out) {
    out << "kestrel4-admin find --number N | --name TEKST | --phone CYFRY [KATALOG]\n"
           "  --number: abonent o tym numerze (indeks numer).\n"
           "  --name: każdy abonent, którego nazwa zaczyna się od tekstu, w porządku\n"
           "          polskim, bez względu na wielkość liter (indeks nazwa).\n"
           "  --phone: abonenci z tym numerem telefonu (indeks telefon).\n"
           "  Jeden wiersz na abonenta: numer, nazwa, miejscowość. Kod wyjścia 1, gdy\n"
           "  nie znaleziono nikogo.\n";
}

// "0005 NAME-PADDED TOWN", padded in the stored text so that Polish letters
// take one column each.
void printSubscriber(const Sbscrbr& s, std::ostream& out) {
    char line[96];
    std::snprintf(line, sizeof line, "%4.4d %-29.29s %.19s", static_cast<int>(s.record.object), s.record.name,
                  s.record.town);
    out << Utf8FromMazovia(line) << '\n';
}

// Lists the subscriber at a record offset; false when it cannot be read.
bool listRecord(SubscriberDatabase& db, int32_t offset, std::ostream& out, std::ostream& err) {
    Sbscrbr s(db, AtOffset{offset});
    if (!s.valid) {
        err << "nie można odczytać rekordu " << offset << '\n';
        return false;
    }
    printSubscriber(s, out);
    return true;
}

int byNumber(AdminDatabase& data, const std::string& text, std::ostream& out, std::ostream& err) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < 0 || number > 9999) {
        err << "find: numer abonenta to liczba od 0 do 9999\n";
        return 2;
    }
    const auto record = data.indexes().recordOfNumber(static_cast<int>(number));
    if (!record) return 1;
    return listRecord(data.database(), *record, out, err) ? 0 : 1;
}

int byName(AdminDatabase& data, const std::string& text, std::ostream& out, std::ostream& err) {
    std::string prefix = MazoviaFromUtf8(text);
    UpperMazovia(prefix);
    IndexHandle& nazwa = data.indexes().handle(kIndexName);
    if (nazwa.OpenIndex(data.dataDir(), indexDescriptor(kIndexName).name, true) != 0) {
        err << "Błąd otwarcia pliku indeksowego\n";
        return 2;
    }
    int found = 0;
    IndexKey key;
    for (int r = nazwa.FindFrom(prefix, key); r == kIndexFound; r = nazwa.Next(key)) {
        // Keys follow in Polish order, so the first that does not begin
        // with the text ends the matches.
        if (CompareMazoviaN(key.text.c_str(), prefix.c_str(), static_cast<int>(prefix.size())) != 0) break;
        found += listRecord(data.database(), key.value, out, err);
    }
    nazwa.CloseIndex();
    return found ? 0 : 1;
}

int byPhone(AdminDatabase& data, const std::string& digits, std::ostream& out, std::ostream& err) {
    IndexHandle& telefon = data.indexes().handle(kIndexPhone);
    std::set<int> numbers;
    IndexKey key;
    // Every subscriber that gave this number, not only the first.
    for (int r = telefon.FindKey(digits, key); r == kIndexFound && key.text == IndexHandle::keyText(digits);
         r = telefon.Next(key))
        numbers.insert(key.value);
    int found = 0;
    for (int number : numbers) {
        const auto record = data.indexes().recordOfNumber(number);
        if (!record) {
            err << "abonent " << number << " z numerem telefonu " << digits << " nie ma wpisu w indeksie numer\n";
            continue;
        }
        found += listRecord(data.database(), *record, out, err);
    }
    return found ? 0 : 1;
}

} // namespace

int findCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "--help") {
        findHelp(out);
        return 0;
    }
    if (args.size() < 2 || args.size() > 3 || (args[0] != "--number" && args[0] != "--name" && args[0] != "--phone")) {
        findHelp(err);
        return 2;
    }
    if (args[0] == "--phone" && args[1].empty()) {
        err << "find: podaj cyfry numeru telefonu\n";
        return 2;
    }
    noteLiveDirectory(args.size() == 3 ? args[2] : ".", err);
    AdminDatabase data(args.size() == 3 ? args[2] : ".", err);
    if (!data.open(false)) return 2;
    try {
        int status;
        if (args[0] == "--number")
            status = byNumber(data, args[1], out, err);
        else if (args[0] == "--name")
            status = byName(data, args[1], out, err);
        else
            status = byPhone(data, args[1], out, err);
        data.close();
        return status;
    } catch (const IndexBroken&) {
        return 1;
    }
}

} // namespace k4::admin
